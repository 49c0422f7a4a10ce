#include "vmodem/AtLineAssembler.h"

AtLineAssembler::AtLineAssembler(int capacity)
    : m_capacity(capacity) {}

void AtLineAssembler::reset() {
    m_state = State::Hunting;
    m_body.clear();
    m_overflowed = false;
}

AtLineAssembler::Event AtLineAssembler::feed(char byte, char endOfLine, char backspace) {
    switch (m_state) {
    case State::Hunting:
    case State::SawA:
        // The prefix must be "AT" or "at"; "At" and "aT" are not a prefix, as on most modems.
        if (m_state == State::SawA && byte == (m_lowerCase ? 't' : 'T')) {
            m_state = State::Collecting;
            m_body.clear();
            m_overflowed = false;
        } else if (m_state == State::SawA && byte == '/') {
            m_state = State::Hunting;
            return Event::Repeat;
        } else if (byte == 'A' || byte == 'a') {
            m_state = State::SawA;
            m_lowerCase = byte == 'a';
        } else {
            m_state = State::Hunting;
        }
        return Event::None;
    case State::Collecting:
        break;
    }

    if (byte == endOfLine) {
        m_state = State::Hunting;
        return Event::Line;
    }
    if (byte == backspace) {
        if (!m_body.isEmpty()) {
            m_body.chop(1);
        }
        return Event::None;
    }
    const auto u = static_cast<unsigned char>(byte);
    if (u <= ' ' || u == 0x7f) {
        return Event::None;
    }
    if (m_body.size() < m_capacity) {
        m_body.append(byte);
    } else {
        m_overflowed = true;
    }
    return Event::None;
}
