#pragma once

#include "call/CallControl.h"
#include "history/CallHistory.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <optional>

class Clock;
class QTimer;
class Waiter;

// Keeps the history as calls happen, from what the call's owner announces: a call's row goes in
// when it starts and is brought up to date when it ends, each write on its own, so a crash loses at
// most the end of the call in progress.
//
// A caller not answered is missed; the call ends at the next caller's report or when the modem
// has not rung for eight seconds. A caller on the refused list is recorded as blocked, once for
// its rings. A call out is unanswered until the modem reports its voice connection; a service code
// (Call Fwd, Repeat, Last Caller, Cancel) is a call out to its code.
class CallRecorder : public QObject {
    Q_OBJECT
public:
    // After this long without a RING, a caller has given up.
    static constexpr double RingsOverSeconds = 8;

    CallRecorder(CallControl& calls, CallHistory& history, Waiter& waiter, QObject* parent = nullptr);

private:
    void onCallerReported(const QString& number, const QString& name, CallRecord::Outcome outcome);
    void onRang();
    void onAnswered();
    void onDialled(const QString& number);
    void onConnected();
    void onEnded();
    // Writes the end of the call in progress (its length, when it had a connected part).
    void finish();
    void startRingTimer();
    QDateTime now() const;
    // A call in starting now.
    CallRecord callIn(CallRecord::Outcome outcome, const QString& number, const QString& name) const;

    CallHistory& m_history;
    Waiter& m_waiter;
    // The call in progress (id 0: none), whether it still rings, and when (program time) its
    // connected part began.
    CallRecord m_call;
    bool m_ringing = false;
    std::optional<double> m_connectedAt;
    QPointer<QTimer> m_ringsOver;
};
