#pragma once

#include "vmodem/Persona.h"

// How the virtual modem and its telephone line behave. Times are in milliseconds, so that tests
// can make a six-second ring cadence take a few milliseconds.
struct ModemConfig {
    // What the far end of an outgoing call does once the dialling is over.
    enum class FarEnd { Answer, Busy, NoAnswer };

    Persona::Id persona = Persona::Id::Rockwell;
    FarEnd farEnd = FarEnd::Answer;
    int answerAfterMs = 3000; // negative: the far end answers only when told to
    int busyAfterMs = 1500;   // a busy line is recognised this long after the dialling

    // Incoming calls: one RING per interval; the caller gives up after `rings` of them.
    int ringIntervalMs = 6000;
    int rings = 10;

    // The modem's own clock.
    int secondMs = 1000;     // one second of the S7 (wait for answer) and S8 (comma pause) registers
    int dialDigitMs = 100;   // one dialled digit
    int tenthMs = 100;       // the tenth of a second of #VTS and #VBT
    int busyRepeatMs = 4000; // <DLE>b repeats while the line stays busy after the far end hung up

    // Firmware: a speakerphone modem selects its speakerphone with #VLS=6 and rejects #VLS=5
    // (telephone emulation); firmware without that selection does it the other way round.
    bool speakerphoneVls6 = true;
    int commandBufferSize = 255; // characters after "AT"; a longer line is answered with ERROR
};
