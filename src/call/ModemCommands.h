#pragma once

#include "console/PhoneView.h"
#include "modem/ModemVoice.h"

#include <QString>

struct SharedState;

// The command lines of the attached modem's voice command set, each ending in one carriage
// return. The Rockwell set's are CommandLines' own, byte for byte. The V.253 set's follow what the
// modem listed (its line selections and level ranges) and how the user talks:
//  - through the modem's speakerphone: the call goes off hook on the selection with microphone,
//    speaker and line; hold switches to the line alone and mute to speaker and line (or the
//    microphone gain to its lowest, where the modem lists no such selection), both back to the
//    speakerphone selection afterwards; the sliders map over the modem's +VGS and +VGM ranges.
//  - through a telephone on the same line: the modem only takes the line (dialling, answering,
//    tones); the audio controls have nothing to act on.
// A line the set has no way to send is empty, and the control that wanted it sends nothing.
class ModemCommands {
public:
    ModemCommands(ModemVoice voice, bool throughTelephone);
    // The set the latest attach took and the way of talking the settings choose.
    static ModemCommands of(const SharedState& shared);

    bool v253() const { return m_voice.v253(); }
    // The V.253 set with a telephone on the line: the user lifts it, the modem only dials.
    bool throughTelephone() const { return v253() && m_throughTelephone; }

    // Before the dial line (CommandLines::dial, the same in both sets): off hook, for the V.253 set.
    QString prefix() const;
    QString answer() const;

    // `level` on the speaker slider (0 to 15), `gain` on the microphone slider (0 to 3).
    QString speakerLevel(int level) const;
    QString microphoneGain(int gain) const;
    QString holdOn() const;
    QString holdOff(int speakerLevel) const;
    QString muteOn() const;
    QString muteOff(int gain) const;
    QString flash() const;
    // The touch tone of keypad key `index` (CommandLines::keypadSymbol).
    QString tone(int index) const;
    // The Handset button: the Rockwell set moves the call to the modem's handset; the V.253 set
    // hangs the modem up and leaves the call to a telephone on the same line.
    QString handset() const;
    QString speakerphone(const QString& initialisationLine) const;

    // Why the call's `control` has nothing to act on with this modem and way of talking; empty
    // when it can act.
    QString whyNot(PhoneView::Control control) const;

    // The V.253 set's line selection for the call: the speakerphone, or the line alone (the
    // conventional 1 when the modem listed none).
    int callSelection() const;

private:
    // A V.253 audio line, or empty when the call goes through a telephone on the line.
    QString audio(const QString& command) const;

    ModemVoice m_voice;
    bool m_throughTelephone;
};
