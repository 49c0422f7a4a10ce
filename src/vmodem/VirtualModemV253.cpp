// The V.253 ("+V") commands of the modem, for the personas that speak them.

#include "vmodem/AtCommandParser.h"
#include "vmodem/VirtualModem.h"

namespace {

// V.253 tones count hundredths of a second. Not captured: a bare digit lasts the usual default of
// +VTD, one second, and a bare flash half a second.
constexpr int beepHundredths = 100;
constexpr int flashHundredths = 50;

} // namespace

VirtualModem::Outcome VirtualModem::v253Command(const AtCommand& command) {
    const QByteArray& name = command.name;
    const Persona& p = persona();
    if (name == "+GMI" || name == "+GCAP") {
        if (command.form != AtCommand::Form::Action) {
            return Outcome::Failed;
        }
        informationText(name == "+GMI" ? p.manufacturer : p.capabilities);
        return Outcome::Done;
    }
    if (name == "+FCLASS") {
        return v253ServiceClass(command);
    }
    if (name == "+VCID") {
        // Caller ID works in every class: hosts turn it on before they choose one, and again after
        // each reset.
        return parameter(command, m_profile.callerId, "(0-2)", between(0, 2), store(m_profile.callerId));
    }
    // The voice commands act in voice mode only. What they offer and hold can be read in any
    // class, so that a host may look before it switches: the usual answer, not a captured one.
    if (command.form == AtCommand::Form::Set && m_profile.serviceClass != 8) {
        return Outcome::Failed;
    }
    if (name == "+VLS") {
        return parameter(
            command, m_profile.lineSelect, p.lineLabelList(eol()), [&p](int v) { return p.label(v) != nullptr; },
            [this](int v) { return v253LineSelect(v); });
    }
    if (name == "+VTS") {
        return v253Tones(command);
    }
    // Not captured: the levels and the ringback timers take the usual V.253 range.
    const QByteArray byteRange = "(0-255)";
    const auto byteSetting = [&](int& field) {
        return parameter(command, field, byteRange, between(0, 255), store(field));
    };
    if (name == "+VGS") {
        return byteSetting(m_profile.speakerLevel);
    }
    if (name == "+VGM" && p.microphoneGain) {
        return byteSetting(m_profile.microphoneLevel);
    }
    if (name == "+VSP" && p.speakerphoneSwitch) {
        return parameter(command, m_profile.speakerphoneOn, "(0,1)", between(0, 1), store(m_profile.speakerphoneOn));
    }
    if (name == "+VRN") {
        return byteSetting(m_profile.ringbackNeverCame);
    }
    if (name == "+VRA") {
        return byteSetting(m_profile.ringbackGoneAway);
    }
    return Outcome::Failed;
}

VirtualModem::Outcome VirtualModem::v253ServiceClass(const AtCommand& command) {
    const Persona& p = persona();
    switch (command.form) {
    case AtCommand::Form::Read: {
        const QByteArray value = m_profile.classPointZero ? "1.0" : QByteArray::number(m_profile.serviceClass);
        if (p.classReadUnterminated) {
            // The final result's line end closes this line too: "\r\n0\r\nOK\r\n".
            emitToHost(eol() + value);
        } else {
            informationText(value);
        }
        return Outcome::Done;
    }
    case AtCommand::Form::Test:
        informationText(p.classes);
        return Outcome::Done;
    case AtCommand::Form::Set: {
        if (!p.classes.split(',').contains(command.argument)) {
            return Outcome::Failed;
        }
        const auto number = AtCommandParser::decimal(command.argument.split('.').constFirst());
        const Outcome outcome = serviceClass(number.value_or(0));
        if (outcome == Outcome::Done) {
            m_profile.classPointZero = command.argument.contains('.');
        }
        return outcome;
    }
    case AtCommand::Form::Action:
        break;
    }
    return Outcome::Failed;
}

VirtualModem::Outcome VirtualModem::v253LineSelect(int label) {
    if (!persona().label(label)->holdsLine()) {
        // Without the line the modem is on hook, and a call on it ends.
        if (status().offHook()) {
            goOnHook();
            note(QStringLiteral("hung up (+VLS=%1)").arg(label));
        }
        m_profile.lineSelect = label;
        return Outcome::Done;
    }
    m_profile.lineSelect = label;
    // Switching between selections that hold the line keeps the call; otherwise the modem goes
    // off hook, and answers the call if the line rings.
    if (!status().offHook()) {
        pickUp();
        enterVoice();
        note(m_hasFarEnd ? QStringLiteral("answered the call") : QStringLiteral("off hook, nobody calling"));
    }
    return Outcome::Done;
}

VirtualModem::Outcome VirtualModem::v253Tones(const AtCommand& command) {
    if (command.form == AtCommand::Form::Test) {
        // Captured on the Conexant; the USR5637's answer is taken to be the same.
        informationText("(200-3000),(200-3000),(0-255)");
        return Outcome::Done;
    }
    if (command.form != AtCommand::Form::Set || !status().offHook()) {
        return Outcome::Failed;
    }
    return playTones(command.argument, beepHundredths, flashHundredths, m_config.tenthMs / 10);
}
