#pragma once

#include <QByteArray>

// Gathers command lines out of the byte stream from the host, the way a modem's command buffer
// does: it hunts for the prefix "AT" or "at" (anything before it is line noise and dropped),
// keeps what follows up to the end-of-line character, lets the backspace character edit the
// buffer, and drops blanks, line feeds and other control characters. "A/" (or "a/") repeats the
// previous line without waiting for an end of line. A line longer than the buffer is still read
// to its end, but is marked as overflowed so that the modem answers it with ERROR.
class AtLineAssembler {
public:
    enum class Event { None, Line, Repeat };

    explicit AtLineAssembler(int capacity);

    // Takes one byte; returns Line when `endOfLine` completed a line (then see `line()`).
    Event feed(char byte, char endOfLine, char backspace);

    QByteArray line() const { return m_body; }
    bool overflowed() const { return m_overflowed; }
    bool inLine() const { return m_state == State::Collecting; }
    void reset();

private:
    enum class State { Hunting, SawA, Collecting };

    int m_capacity;
    State m_state = State::Hunting;
    bool m_lowerCase = false;
    QByteArray m_body;
    bool m_overflowed = false;
};
