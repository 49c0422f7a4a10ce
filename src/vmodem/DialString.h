#pragma once

#include <QByteArray>

// The argument of "D": what a modem dials and how long that takes. Digits 0-9, A-D, "*" and "#"
// are dialled, "," pauses (S8 seconds), "!" flashes the hook, a trailing ";" returns to command
// state after dialling. The modifiers T, P, W and "@" and punctuation such as "-", "(" and ")"
// are accepted and change nothing here; anything else is ignored, as modems ignore what they
// cannot dial.
class DialString {
public:
    struct Plan {
        QByteArray shown;            // what was dialled, pauses included: "*67,*70,5551234"
        int digits = 0;              // tones sent
        int pauses = 0;              // commas
        int flashes = 0;             // hook flashes
        bool staysInCommand = false; // ";" was given
    };

    static Plan parse(const QByteArray& argument);
};
