#include "call/ModemCommands.h"

#include "call/CommandLines.h"
#include "console/PhoneFace.h"
#include "console/SharedState.h"

#include <algorithm>
#include <utility>

namespace {

QString line(const QString& command) {
    return command + QLatin1Char('\r');
}

// A slider position carried over the modem's range: lowest to lowest, highest to highest.
int scaled(int position, int top, const ModemVoice::Range& range) {
    return range.low + (range.high - range.low) * std::clamp(position, 0, top) / top;
}

// The selection V.253 modems give the line alone when they list nothing.
constexpr int ConventionalLineSelection = 1;

} // namespace

ModemCommands::ModemCommands(ModemVoice voice, bool throughTelephone)
    : m_voice(std::move(voice))
    , m_throughTelephone(throughTelephone) {}

ModemCommands ModemCommands::of(const SharedState& shared) {
    // The speakerphone only where the modem listed one: a stored choice from another modem does
    // not make this one a speakerphone.
    const bool speakerphone = shared.TalkThrough == Settings::Speakerphone && shared.Voice.speakerphone();
    return ModemCommands(shared.Voice, !speakerphone);
}

int ModemCommands::callSelection() const {
    if (!m_throughTelephone) {
        if (const auto selection = m_voice.speakerphone()) {
            return *selection;
        }
    }
    return m_voice.lineOnly().value_or(ConventionalLineSelection);
}

QString ModemCommands::audio(const QString& command) const {
    return throughTelephone() || command.isEmpty() ? QString() : line(command);
}

QString ModemCommands::prefix() const {
    return v253() ? line(QStringLiteral("AT+VLS=%1").arg(callSelection())) : CommandLines::prefix();
}

QString ModemCommands::answer() const {
    return v253() ? line(QStringLiteral("AT+VLS=%1").arg(callSelection())) : CommandLines::answer();
}

QString ModemCommands::speakerLevel(int level) const {
    if (!v253()) {
        return CommandLines::speakerLevel(level);
    }
    return audio(QStringLiteral("AT+VGS=%1").arg(scaled(level, PhoneFace::MaxSpeakerLevel, m_voice.speaker)));
}

QString ModemCommands::microphoneGain(int gain) const {
    if (!v253()) {
        return CommandLines::microphoneGain(gain);
    }
    if (!m_voice.microphone) {
        return QString();
    }
    return audio(QStringLiteral("AT+VGM=%1").arg(scaled(gain, PhoneFace::MaxMicrophoneGain, *m_voice.microphone)));
}

QString ModemCommands::holdOn() const {
    if (!v253()) {
        return CommandLines::holdOn();
    }
    const auto lineAlone = m_voice.lineOnly();
    return lineAlone ? audio(QStringLiteral("AT+VLS=%1").arg(*lineAlone)) : QString();
}

QString ModemCommands::holdOff(int speakerLevel) const {
    if (!v253()) {
        return CommandLines::holdOff(speakerLevel);
    }
    return m_voice.lineOnly() ? audio(QStringLiteral("AT+VLS=%1").arg(callSelection())) : QString();
}

QString ModemCommands::muteOn() const {
    if (!v253()) {
        return CommandLines::muteOn();
    }
    if (const auto withoutMicrophone = m_voice.speakerAndLine()) {
        return audio(QStringLiteral("AT+VLS=%1").arg(*withoutMicrophone));
    }
    return m_voice.microphone ? audio(QStringLiteral("AT+VGM=%1").arg(m_voice.microphone->low)) : QString();
}

QString ModemCommands::muteOff(int gain) const {
    if (!v253()) {
        return CommandLines::muteOff();
    }
    if (m_voice.speakerAndLine()) {
        return audio(QStringLiteral("AT+VLS=%1").arg(callSelection()));
    }
    return microphoneGain(gain);
}

QString ModemCommands::flash() const {
    return v253() ? line(QStringLiteral("AT+VTS=!")) : CommandLines::flash();
}

QString ModemCommands::tone(int index) const {
    if (!v253()) {
        return CommandLines::tone(index);
    }
    const QChar symbol = CommandLines::keypadSymbol(index);
    return symbol.isNull() ? QString() : line(QStringLiteral("AT+VTS=") + symbol);
}

QString ModemCommands::handset() const {
    return v253() ? CommandLines::hangUp() : CommandLines::handset();
}

QString ModemCommands::speakerphone(const QString& initialisationLine) const {
    return v253() ? QString() : CommandLines::speakerphone(initialisationLine);
}

QString ModemCommands::whyNot(PhoneView::Control control) const {
    using Control = PhoneView::Control;
    static const char* const names[] = {"Hold", "Mute", "Speaker Volume", "Mic Gain"};
    const QString name = QLatin1String(names[static_cast<int>(control)]);
    if (throughTelephone()) {
        return QStringLiteral("%1 does nothing while you talk through a telephone on the line: use that telephone's "
                              "own controls")
            .arg(name);
    }
    // What the control would send tells whether it can act: the reasons below only name why.
    switch (control) {
    case Control::Hold:
        return !holdOn().isEmpty()
                   ? QString()
                   : QStringLiteral("Hold does nothing: this modem lists no selection of the line alone");
    case Control::Mute:
        return !muteOn().isEmpty()
                   ? QString()
                   : QStringLiteral("Mute does nothing: this modem can switch off neither its microphone nor its gain");
    case Control::MicrophoneGain:
        return !microphoneGain(0).isEmpty()
                   ? QString()
                   : QStringLiteral("Mic Gain does nothing: this modem has no microphone gain");
    case Control::SpeakerVolume:
        break;
    }
    return QString();
}
