#pragma once

#include <QElapsedTimer>

// The program's clock for its timed waits: seconds, with fractions, from a monotonic source, so
// a wait that spans midnight or a change of the system time still lasts as long as it should.
// Tests use a faster clock, so that waits of several seconds take milliseconds.
class Clock {
public:
    virtual ~Clock() = default;
    // Program time in seconds; only differences between readings matter.
    virtual double now() const = 0;
    // How many real milliseconds pass while this clock advances by `seconds` (at least 0).
    virtual qint64 realMilliseconds(double seconds) const = 0;
};

class SystemClock : public Clock {
public:
    SystemClock();
    double now() const override;
    qint64 realMilliseconds(double seconds) const override;

private:
    QElapsedTimer m_timer;
};

// Program time runs `speedup` times faster than real time.
class ScaledClock : public Clock {
public:
    explicit ScaledClock(double speedup);
    double now() const override;
    qint64 realMilliseconds(double seconds) const override;
    double speedup() const { return m_speedup; }

private:
    QElapsedTimer m_timer;
    double m_speedup;
};
