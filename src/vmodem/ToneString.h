#pragma once

#include <QByteArray>
#include <optional>

// The argument of "#VTS" or "+VTS": tones separated by commas. A tone is a DTMF character (0-9,
// A-D, *, #) played for the beep time (#VBT), "!" for a hook flash, "{c,d}" for character or
// flash c held d tenths of a second, or "[f1,f2,d]" for one or two frequencies (0 or 200-3000 Hz)
// held d tenths. "+VTS" counts its durations in hundredths instead; then every duration here,
// `tenths` included, is in hundredths.
class ToneString {
public:
    // What playing a valid string amounts to.
    struct Plan {
        int tenths = 0;     // total playing time, in tenths of a second
        QByteArray symbols; // the DTMF characters and flashes ("!") in order; "~" for a frequency tone
    };

    // A bare "!" flashes the hook for half a second.
    static constexpr int flashTenths = 5;

    // `beepTenths` is the current #VBT, `flash` the length of a bare "!". Empty when the string
    // is not grammatical.
    static std::optional<Plan> parse(const QByteArray& argument, int beepTenths, int flash = flashTenths);
};
