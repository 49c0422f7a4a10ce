#include "history/CallRecorder.h"

#include "modem/Clock.h"
#include "modem/Waiter.h"

#include <QTimer>

using Outcome = CallRecord::Outcome;

CallRecorder::CallRecorder(CallControl& calls, CallHistory& history, Waiter& waiter, QObject* parent)
    : QObject(parent)
    , m_history(history)
    , m_waiter(waiter) {
    connect(&calls, &CallControl::callerReported, this,
            [this](const QString& number, const QString& name) { onCallerReported(number, name, Outcome::Missed); });
    connect(&calls, &CallControl::callerBlocked, this,
            [this](const QString& number, const QString& name) { onCallerReported(number, name, Outcome::Blocked); });
    connect(&calls, &CallControl::rang, this, &CallRecorder::onRang);
    connect(&calls, &CallControl::callAnswered, this, &CallRecorder::onAnswered);
    connect(&calls, &CallControl::dialled, this, [this](const QString& number) { onDialled(number); });
    connect(&calls, &CallControl::connected, this, &CallRecorder::onConnected);
    connect(&calls, &CallControl::callEnded, this, &CallRecorder::onEnded);
}

QDateTime CallRecorder::now() const {
    // Whole seconds: the table keeps them so.
    QDateTime utc = QDateTime::currentDateTimeUtc();
    return utc.addMSecs(-utc.time().msec());
}

CallRecord CallRecorder::callIn(Outcome outcome, const QString& number, const QString& name) const {
    return CallRecord{0, now(), CallRecord::Direction::In, outcome, number, name, std::nullopt};
}

void CallRecorder::onCallerReported(const QString& number, const QString& name, Outcome outcome) {
    // The modem repeats a report during the same rings: still the same call.
    if (m_ringing && m_call.number == number && m_call.outcome == outcome) {
        startRingTimer();
        return;
    }
    if (m_ringing) {
        finish();
    } else if (m_call.id != 0) {
        // A caller during a call of the user's (call waiting): that call goes on; the caller is
        // recorded as missed or blocked on their own, as nothing answers them.
        m_history.add(callIn(outcome, number, name));
        return;
    }
    m_call = callIn(outcome, number, name);
    m_call.id = m_history.add(m_call);
    m_ringing = true;
    m_connectedAt.reset();
    startRingTimer();
}

void CallRecorder::onRang() {
    if (m_ringing) {
        startRingTimer();
    }
}

void CallRecorder::startRingTimer() {
    delete m_ringsOver.data();
    m_ringsOver = m_waiter.after(RingsOverSeconds, this, [this] {
        m_ringsOver.clear();
        if (m_ringing) {
            finish();
        }
    });
}

void CallRecorder::onAnswered() {
    // Send with nothing reported: a caller without caller ID, answered all the same. A blocked
    // caller the user picks up with Send is answered too.
    if (!m_ringing) {
        finish();
        m_call = callIn(Outcome::Answered, {}, {});
        m_call.id = m_history.add(m_call);
    } else {
        m_call.outcome = Outcome::Answered;
        m_history.update(m_call);
    }
    m_ringing = false;
    delete m_ringsOver.data();
    m_connectedAt = m_waiter.clock().now();
}

void CallRecorder::onDialled(const QString& number) {
    finish();
    m_call = CallRecord{0, now(), CallRecord::Direction::Out, Outcome::Unanswered, number, {}, std::nullopt};
    m_call.id = m_history.add(m_call);
    m_connectedAt.reset();
}

void CallRecorder::onConnected() {
    if (m_call.id == 0 || m_ringing) {
        return;
    }
    if (m_call.direction == CallRecord::Direction::Out) {
        m_call.outcome = Outcome::Connected;
        m_connectedAt = m_waiter.clock().now();
        m_history.update(m_call);
    }
}

void CallRecorder::onEnded() {
    if (!m_ringing) {
        finish();
    }
}

void CallRecorder::finish() {
    if (m_call.id != 0 && m_connectedAt) {
        // The program's clock: a change of the system time during a call does not change its length.
        m_call.seconds = static_cast<int>(m_waiter.clock().now() - *m_connectedAt + 0.5);
        m_history.update(m_call);
    }
    m_call = CallRecord{};
    m_ringing = false;
    m_connectedAt.reset();
    delete m_ringsOver.data();
}
