#include "modem/Waiter.h"

#include "modem/Clock.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <climits>

Waiter::Waiter(const Clock& clock, QObject* parent)
    : QObject(parent)
    , m_clock(clock) {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        connect(app, &QCoreApplication::aboutToQuit, this, &Waiter::abortAll);
    }
}

bool Waiter::delay(double seconds) {
    return waitUntil({}, std::max(0.0, seconds)) != Result::Aborted;
}

Waiter::Result Waiter::waitUntil(const std::function<bool()>& done, double maxSeconds) {
    if (m_aborting) {
        return Result::Aborted;
    }
    const bool timed = maxSeconds >= 0;
    const double end = m_clock.now() + maxSeconds;

    QEventLoop loop;
    bool endedByUs = false;
    auto finish = [&] {
        endedByUs = true;
        loop.quit();
    };

    QTimer deadline;
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, finish);
    connect(this, &Waiter::abortRequested, &loop, finish);
    if (done) {
        // Runs after each batch of events, in this loop or in any loop nested inside it.
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &loop, [&] {
            if (done()) {
                finish();
            }
        });
    }

    for (;;) {
        if (m_aborting) {
            return Result::Aborted;
        }
        if (done && done()) {
            return Result::Done;
        }
        if (timed) {
            const double now = m_clock.now();
            if (now > end) {
                return Result::TimedOut;
            }
            deadline.start(static_cast<int>(std::clamp<qint64>(m_clock.realMilliseconds(end - now), 1, INT_MAX)));
        }
        endedByUs = false;
        ++m_depth;
        loop.exec();
        --m_depth;
        if (!endedByUs) {
            // Only QCoreApplication::exit() ends our loop behind our back: the program is quitting.
            abortAll();
            return Result::Aborted;
        }
    }
}

QTimer* Waiter::after(double seconds, QObject* context, std::function<void()> action) {
    const double end = m_clock.now() + std::max(0.0, seconds);
    auto* timer = new QTimer(context);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(true);
    const auto startFor = [this, timer](double remaining) {
        timer->start(static_cast<int>(std::clamp<qint64>(m_clock.realMilliseconds(remaining), 0, INT_MAX)));
    };
    connect(timer, &QTimer::timeout, timer, [this, timer, end, startFor, action = std::move(action)] {
        if (m_aborting) {
            timer->deleteLater();
            return;
        }
        // A timer may fire a little before the clock has passed the end; the time is "at least".
        if (const double now = m_clock.now(); now <= end) {
            startFor(std::max(end - now, 0.001));
            return;
        }
        // The action may wait in its turn; it runs from a copy, so that the timer can go meanwhile.
        const std::function<void()> run = action;
        timer->deleteLater();
        run();
    });
    startFor(seconds);
    return timer;
}

void Waiter::abortAll() {
    if (m_aborting) {
        return;
    }
    m_aborting = true;
    emit abortRequested();
}
