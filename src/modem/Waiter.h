#pragma once

#include <QObject>
#include <functional>

class Clock;
class QTimer;

// The program's one way of waiting: `Delay` and every inline wait (the load's second, Send's
// second and its wait for the voice connection, the caller-ID handling's five seconds).
//
// A wait runs a local event loop, so window, timer and serial events keep being handled and any
// handler can run nested inside the wait. It never spins: the loop sleeps until an event arrives
// or a precise timer fires at the deadline. A condition is checked again after every batch of
// events, just before the loop would sleep.
//
// Nested waits unwind last in, first out: an outer wait whose time is up returns only after the
// waits nested inside it have returned.
//
// Once the application is quitting every wait returns at once with Aborted (a loop cannot run
// any more), and callers must unwind instead of waiting again.
class Waiter : public QObject {
    Q_OBJECT
public:
    enum class Result { Done, TimedOut, Aborted };

    explicit Waiter(const Clock& clock, QObject* parent = nullptr);

    const Clock& clock() const { return m_clock; }

    // Waits until the clock has passed now + `seconds`. False when the wait was aborted.
    bool delay(double seconds);

    // Waits until `done()` is true or, when `maxSeconds` is not negative, that many seconds have
    // passed. `done` is checked first, so a condition that already holds returns at once.
    Result waitUntil(const std::function<bool()>& done, double maxSeconds = -1);

    // Runs `action` from the event loop once the clock has passed now + `seconds`; nothing waits
    // for it, so no handler is held up and nothing nests inside another handler's wait. The timer
    // belongs to `context`: deleting it (or `context`) cancels the action. Nothing runs once the
    // program is quitting.
    QTimer* after(double seconds, QObject* context, std::function<void()> action);

    // Ends every wait in progress and makes every later wait return Aborted at once.
    void abortAll();
    bool aborting() const { return m_aborting; }

    // How many waits are in progress, nested in each other.
    int depth() const { return m_depth; }

signals:
    void abortRequested();

private:
    const Clock& m_clock;
    bool m_aborting = false;
    int m_depth = 0;
};
