#include "modem/Clock.h"

#include <cmath>

SystemClock::SystemClock() {
    m_timer.start();
}

double SystemClock::now() const {
    return static_cast<double>(m_timer.nsecsElapsed()) / 1e9;
}

qint64 SystemClock::realMilliseconds(double seconds) const {
    return seconds <= 0 ? 0 : static_cast<qint64>(std::ceil(seconds * 1000.0));
}

ScaledClock::ScaledClock(double speedup)
    : m_speedup(speedup > 0 ? speedup : 1.0) {
    m_timer.start();
}

double ScaledClock::now() const {
    return static_cast<double>(m_timer.nsecsElapsed()) / 1e9 * m_speedup;
}

qint64 ScaledClock::realMilliseconds(double seconds) const {
    return seconds <= 0 ? 0 : static_cast<qint64>(std::ceil(seconds * 1000.0 / m_speedup));
}
