#include "vmodem/VirtualModem.h"

#include "vmodem/AtCommandParser.h"
#include "vmodem/DialString.h"
#include "vmodem/ToneString.h"

#include <algorithm>
#include <optional>

namespace {

// Basic commands that are accepted and change nothing a host could notice here, with the
// highest value each takes.
struct Harmless {
    const char* name;
    int highest;
};
constexpr Harmless harmlessCommands[] = {{"L", 3}, {"M", 3}, {"X", 4}, {"&C", 1}, {"&D", 3}, {"&K", 6}, {"&W", 1}};

const QByteArray dle = QByteArrayLiteral("\x10");

} // namespace

VirtualModem::Profile::Profile() {
    registers[2] = 43; // escape character
    registers[3] = 13; // end of line
    registers[4] = 10; // line feed
    registers[5] = 8;  // backspace
    registers[6] = 2;  // wait for dial tone
    registers[7] = 50; // wait for answer or carrier
    registers[8] = 2;  // comma pause
    registers[9] = 6;
    registers[10] = 14;
    registers[11] = 95;
    registers[12] = 50;
}

VirtualModem::VirtualModem(const ModemConfig& config, QObject* parent)
    : QObject(parent)
    , m_config(config)
    , m_assembler(config.commandBufferSize)
    , m_now([] { return QDateTime::currentDateTime(); }) {
    m_profile = defaultProfile();
    for (QTimer* timer : {&m_commandTimer, &m_dialTimer, &m_farEndTimer, &m_waitTimer, &m_callerIdTimer}) {
        timer->setSingleShot(true);
    }
    connect(&m_commandTimer, &QTimer::timeout, this, &VirtualModem::continueLine);
    connect(&m_dialTimer, &QTimer::timeout, this, &VirtualModem::dialled);
    connect(&m_farEndTimer, &QTimer::timeout, this, [this] { decideFarEnd(m_farEndPlan); });
    connect(&m_waitTimer, &QTimer::timeout, this, [this] {
        if (m_phase == CallPhase::Ringback) {
            failCall("NO ANSWER", QStringLiteral("nobody answered within S7 seconds"));
        } else {
            failCall("NO CARRIER", QStringLiteral("no carrier within S7 seconds"));
        }
    });
    connect(&m_ringTimer, &QTimer::timeout, this, &VirtualModem::ringTick);
    connect(&m_callerIdTimer, &QTimer::timeout, this, &VirtualModem::sendCallerId);
    connect(&m_busyToneTimer, &QTimer::timeout, this, [this] { emitToHost(dle + 'b'); });
}

// ---- The host's side ----

void VirtualModem::receive(const QByteArray& bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char byte = bytes.at(i);
        if (m_executing) {
            // Tones play to the end before the modem reads on, as real ones do.
            m_queued.append(bytes.mid(i));
            break;
        }
        if (inCallProgress()) {
            // A line feed after the dial line's carriage return is part of that line, not a
            // key pressed to abandon the call.
            if (byte != static_cast<char>(m_profile.registers[4])) {
                abortCallProgress(byte);
            }
            continue;
        }
        if (m_discardToEndOfLine) {
            m_discardToEndOfLine = byte != endOfLine();
            continue;
        }
        if (m_profile.echo) {
            m_echo.append(byte);
        }
        switch (m_assembler.feed(byte, endOfLine(), static_cast<char>(m_profile.registers[5]))) {
        case AtLineAssembler::Event::Line:
            runLine(m_assembler.line(), m_assembler.overflowed());
            break;
        case AtLineAssembler::Event::Repeat:
            runLine(m_lastLine, false);
            break;
        case AtLineAssembler::Event::None:
            break;
        }
    }
    flushEcho();
}

void VirtualModem::runLine(const QByteArray& body, bool overflowed) {
    const AtCommandLine line = AtCommandParser::parse(body);
    if (overflowed || !line.isValid()) {
        resultCode("ERROR");
        return;
    }
    m_lastLine = body;
    m_pending = line.commands;
    m_finalCode = "OK";
    continueLine();
}

void VirtualModem::continueLine() {
    while (!m_pending.isEmpty()) {
        switch (execute(m_pending.takeFirst())) {
        case Outcome::Done:
            break;
        case Outcome::Failed:
            m_pending.clear();
            finishLine("ERROR");
            return;
        case Outcome::Playing:
            m_executing = true;
            return;
        case Outcome::Detached:
            m_pending.clear();
            finishLine({});
            return;
        }
    }
    finishLine(m_finalCode);
}

void VirtualModem::finishLine(const QByteArray& code) {
    m_executing = false;
    if (!code.isEmpty()) {
        resultCode(code);
    }
    emit statusChanged();
    if (!m_queued.isEmpty()) {
        const QByteArray queued = std::exchange(m_queued, {});
        receive(queued);
    }
}

VirtualModem::Outcome VirtualModem::execute(const AtCommand& command) {
    const QByteArray& name = command.name;
    if (name.startsWith('#') || name.startsWith('+')) {
        // A modem speaks one voice command set; the other set's commands are unknown to it.
        if (persona().v253) {
            return name.startsWith('+') ? v253Command(command) : Outcome::Failed;
        }
        return rockwellCommand(command);
    }
    if (name.startsWith('S')) {
        return registerCommand(command);
    }
    return basicCommand(command);
}

VirtualModem::Outcome VirtualModem::rockwellCommand(const AtCommand& command) {
    const QByteArray& name = command.name;
    if (name == "#CLS") {
        return parameter(
            command, m_profile.serviceClass, "0,1,2,8", [](int v) { return v <= 2 || v == 8; },
            [this](int v) { return serviceClass(v); });
    }
    if (name == "#VLS") {
        return parameter(command, m_profile.lineSelect, "0-9", between(0, 9), [this](int v) { return lineSelect(v); });
    }
    if (name == "#CID") {
        return parameter(command, m_profile.callerId, "0-2", between(0, 2), store(m_profile.callerId));
    }
    if (name == "#VBT") {
        return parameter(command, m_profile.beepTenths, "0-40", between(0, 40), store(m_profile.beepTenths));
    }
    if (name == "#VRN") {
        return parameter(command, m_profile.ringbackNeverCame, "0-255", between(0, 255),
                         store(m_profile.ringbackNeverCame));
    }
    if (name == "#VRA") {
        return parameter(command, m_profile.ringbackGoneAway, "0-255", between(0, 255),
                         store(m_profile.ringbackGoneAway));
    }
    if (name == "#SPK") {
        return speakerphone(command);
    }
    if (name == "#VTS") {
        return tones(command);
    }
    return Outcome::Failed;
}

std::function<bool(int)> VirtualModem::between(int low, int high) {
    return [low, high](int v) { return v >= low && v <= high; };
}

std::function<VirtualModem::Outcome(int)> VirtualModem::store(int& field) {
    return [&field](int v) {
        field = v;
        return Outcome::Done;
    };
}

VirtualModem::Outcome VirtualModem::serviceClass(int value) {
    // A call in progress keeps the class it was set up in.
    if (status().offHook() && value != m_profile.serviceClass) {
        return Outcome::Failed;
    }
    m_profile.serviceClass = value;
    if (value != 8 && !status().offHook()) {
        m_voiceOnline = false;
    }
    return Outcome::Done;
}

VirtualModem::Outcome VirtualModem::parameter(const AtCommand& command, int value, const QByteArray& range,
                                              const std::function<bool(int)>& valid,
                                              const std::function<Outcome(int)>& apply) {
    switch (command.form) {
    case AtCommand::Form::Read:
        informationText(QByteArray::number(value));
        return Outcome::Done;
    case AtCommand::Form::Test:
        informationText(range);
        return Outcome::Done;
    case AtCommand::Form::Set: {
        const auto v = command.argument.isEmpty() ? std::nullopt : AtCommandParser::decimal(command.argument);
        return v && valid(*v) ? apply(*v) : Outcome::Failed;
    }
    case AtCommand::Form::Action:
        break;
    }
    return Outcome::Failed;
}

VirtualModem::Outcome VirtualModem::basicCommand(const AtCommand& command) {
    const QByteArray& name = command.name;
    if (name == "A") {
        return answer();
    }
    if (name == "D") {
        return dial(command.argument);
    }
    const std::optional<int> value = AtCommandParser::decimal(command.argument);
    if (!value) {
        return Outcome::Failed;
    }
    const int n = *value;
    if (name == "E" && n <= 1) {
        m_profile.echo = n == 1;
    } else if (name == "Q" && n <= 1) {
        m_profile.quiet = n == 1;
    } else if (name == "V" && n == 1) {
        // Verbose result codes only: hosts of voice modems read words such as VCON.
    } else if (name == "H" && n == 0) {
        return hangUp();
    } else if (name == "H" && n == 1) {
        if (m_phase == CallPhase::Ringing) {
            endRinging(QStringLiteral("off hook while ringing: the caller is cut off"));
        }
        if (!status().offHook()) {
            setPhase(CallPhase::OffHook);
        }
    } else if (name == "I" && n <= 9) {
        if (n == 0) {
            informationText(persona().identity);
        } else if (n == 3) {
            informationText(persona().firmware);
        }
    } else if ((name == "Z" || name == "&F") && n == 0) {
        if (name == "Z" && status().offHook()) {
            goOnHook();
            note(QStringLiteral("ATZ hung up"));
        }
        const int callerId = m_profile.callerId;
        m_profile = defaultProfile();
        if (name == "Z" && persona().callerIdSurvivesReset) {
            m_profile.callerId = callerId;
        }
        m_profile.registers[1] = m_phase == CallPhase::Ringing ? m_ringsSent : 0; // the line keeps ringing
        if (!status().offHook()) {
            m_voiceOnline = false;
        }
    } else {
        const auto known = std::find_if(std::begin(harmlessCommands), std::end(harmlessCommands),
                                        [&](const Harmless& h) { return name == h.name && n <= h.highest; });
        if (known == std::end(harmlessCommands)) {
            return Outcome::Failed;
        }
    }
    return Outcome::Done;
}

VirtualModem::Outcome VirtualModem::registerCommand(const AtCommand& command) {
    const auto number = AtCommandParser::decimal(command.name.mid(1));
    if (!number || *number > 255) {
        return Outcome::Failed;
    }
    int& reg = m_profile.registers[static_cast<std::size_t>(*number)];
    // The characters that frame lines stay 7-bit.
    const int highest = *number >= 3 && *number <= 5 ? 127 : 255;
    if (command.form == AtCommand::Form::Read) {
        informationText(QByteArray::number(reg).rightJustified(3, '0'));
        return Outcome::Done;
    }
    const QByteArray range = "0-" + QByteArray::number(highest);
    return parameter(command, reg, range, between(0, highest), store(reg));
}

VirtualModem::Outcome VirtualModem::lineSelect(int device) {
    const bool offHook = status().offHook();
    if ((device == 5 || device == 6) && (device != speakerphoneSelection() || m_profile.serviceClass != 8)) {
        return Outcome::Failed;
    }
    // Mute and recording relay act on a voice connection only.
    if ((device == 7 || device == 8) && !(m_voiceOnline && offHook)) {
        return Outcome::Failed;
    }
    m_profile.lineSelect = device;
    // Handset, speaker and microphone alone do not need the line, so the modem is in online
    // voice command mode at once and says so.
    if (device >= 1 && device <= 3) {
        m_finalCode = "VCON";
        m_voiceOnline = true;
    } else if (!offHook) {
        m_voiceOnline = false;
    }
    return Outcome::Done;
}

VirtualModem::Outcome VirtualModem::speakerphone(const AtCommand& command) {
    if (command.form == AtCommand::Form::Read) {
        informationText(QByteArray::number(m_profile.microphone) + ',' +
                        QByteArray::number(m_profile.speakerAttenuation) + ',' +
                        QByteArray::number(m_profile.microphoneGain));
        return Outcome::Done;
    }
    if (command.form == AtCommand::Form::Test) {
        informationText("(0-2),(0-16),(0-3)");
        return Outcome::Done;
    }
    if (command.form != AtCommand::Form::Set || !m_voiceOnline || !status().offHook() ||
        m_profile.lineSelect != speakerphoneSelection()) {
        return Outcome::Failed;
    }
    // Empty fields keep their setting ("#SPK=,5,," changes the speaker only); a fourth, empty
    // field is tolerated, as firmware in the field does.
    const QList<QByteArray> fields = command.argument.split(',');
    if (fields.size() > 4 || (fields.size() == 4 && !fields.at(3).isEmpty())) {
        return Outcome::Failed;
    }
    std::array<int, 3> values{m_profile.microphone, m_profile.speakerAttenuation, m_profile.microphoneGain};
    constexpr std::array<int, 3> highest{2, 16, 3};
    for (std::size_t i = 0; i < 3 && i < static_cast<std::size_t>(fields.size()); ++i) {
        const QByteArray& field = fields.at(static_cast<qsizetype>(i));
        if (field.isEmpty()) {
            continue;
        }
        const auto v = AtCommandParser::decimal(field);
        if (!v || *v > highest.at(i)) {
            return Outcome::Failed;
        }
        values.at(i) = *v;
    }
    m_profile.microphone = values[0];
    m_profile.speakerAttenuation = values[1];
    m_profile.microphoneGain = values[2];
    return Outcome::Done;
}

VirtualModem::Outcome VirtualModem::tones(const AtCommand& command) {
    if (command.form != AtCommand::Form::Set || !m_voiceOnline) {
        return Outcome::Failed;
    }
    return playTones(command.argument, m_profile.beepTenths, ToneString::flashTenths, m_config.tenthMs);
}

// `beep` and `flash` are the lengths of a bare digit and a bare "!", in units of `unitMs`.
VirtualModem::Outcome VirtualModem::playTones(const QByteArray& argument, int beep, int flash, int unitMs) {
    const auto plan = ToneString::parse(argument, beep, flash);
    if (!plan) {
        return Outcome::Failed;
    }
    const QString symbols = QString::fromLatin1(plan->symbols);
    note(symbols == QLatin1String("!") ? QStringLiteral("hook flash") : QStringLiteral("tones %1").arg(symbols));
    const int ms = plan->tenths * unitMs;
    if (ms <= 0) {
        return Outcome::Done;
    }
    m_commandTimer.start(ms);
    return Outcome::Playing;
}

VirtualModem::Outcome VirtualModem::answer() {
    if (status().offHook()) {
        // V.253 hosts may send ATA after the +VLS that already answered the call.
        return persona().v253 && m_voiceOnline ? Outcome::Done : Outcome::Failed;
    }
    pickUp();
    if (m_profile.serviceClass == 8) {
        holdLine();
        connectVoice(m_hasFarEnd ? QStringLiteral("answered the call") : QStringLiteral("off hook, nobody calling"));
    } else {
        setPhase(CallPhase::Handshake);
        m_waitTimer.start(m_profile.registers[7] * m_config.secondMs);
    }
    return Outcome::Detached;
}

VirtualModem::Outcome VirtualModem::dial(const QByteArray& dialString) {
    if (m_phase == CallPhase::Ringing) {
        // Lifting the receiver to dial picks up the ringing call instead: no dial tone.
        endRinging(QStringLiteral("dialling while ringing: the caller is cut off"));
        resultCode("NO DIALTONE");
        return Outcome::Detached;
    }
    if (m_phase != CallPhase::Idle && m_phase != CallPhase::OffHook) {
        return Outcome::Failed;
    }
    if (m_profile.serviceClass == 8) {
        holdLine();
    }
    const DialString::Plan plan = DialString::parse(dialString);
    m_dialled = plan.shown;
    m_staysInCommand = plan.staysInCommand;
    m_hasFarEnd = plan.digits > 0;
    m_incoming = false;
    m_decidedWhileDialling = FarEndAction::None;
    setPhase(CallPhase::Dialling);
    note(QStringLiteral("dialling %1").arg(QString::fromLatin1(plan.shown)));
    m_dialTimer.start(plan.digits * m_config.dialDigitMs + plan.pauses * m_profile.registers[8] * m_config.secondMs +
                      plan.flashes * ToneString::flashTenths * m_config.tenthMs);
    return Outcome::Detached;
}

VirtualModem::Outcome VirtualModem::hangUp() {
    if (status().offHook()) {
        goOnHook();
        note(QStringLiteral("hung up"));
    }
    m_voiceOnline = false;
    return Outcome::Done;
}

// ---- Calls ----

VirtualModem::Profile VirtualModem::defaultProfile() const {
    Profile profile;
    if (persona().v253) {
        // +VRN counts seconds, +VRA tenths; their usual defaults.
        profile.ringbackNeverCame = 10;
        profile.ringbackGoneAway = 50;
    }
    return profile;
}

bool VirtualModem::inCallProgress() const {
    return m_phase == CallPhase::Dialling || m_phase == CallPhase::Handshake ||
           (m_phase == CallPhase::Ringback && !m_staysInCommand);
}

void VirtualModem::dialled() {
    if (m_staysInCommand) {
        resultCode("OK");
    }
    if (!m_hasFarEnd) {
        if (m_staysInCommand) {
            setPhase(CallPhase::OffHook);
        } else if (m_profile.serviceClass == 8) {
            connectVoice(QStringLiteral("off hook, nothing dialled"));
        } else {
            setPhase(CallPhase::Handshake);
            m_waitTimer.start(m_profile.registers[7] * m_config.secondMs);
        }
        return;
    }
    setPhase(CallPhase::Ringback);
    note(QStringLiteral("the far end rings"));
    m_waitTimer.start(m_profile.registers[7] * m_config.secondMs);
    if (m_decidedWhileDialling != FarEndAction::None) {
        decideFarEnd(m_decidedWhileDialling);
        return;
    }
    switch (m_config.farEnd) {
    case ModemConfig::FarEnd::Answer:
        if (m_config.answerAfterMs >= 0) {
            m_farEndPlan = FarEndAction::Answer;
            m_farEndTimer.start(m_config.answerAfterMs);
        }
        break;
    case ModemConfig::FarEnd::Busy:
        m_farEndPlan = FarEndAction::Busy;
        m_farEndTimer.start(m_config.busyAfterMs);
        break;
    case ModemConfig::FarEnd::NoAnswer:
        break;
    }
}

void VirtualModem::decideFarEnd(FarEndAction action) {
    switch (action) {
    case FarEndAction::Answer:
        if (m_profile.serviceClass == 8) {
            connectVoice(QStringLiteral("the far end answered"));
        } else {
            failCall("NO CARRIER", QStringLiteral("the far end answered, but a person sends no carrier"));
        }
        break;
    case FarEndAction::Busy:
        failCall("BUSY", QStringLiteral("the far end is busy"));
        break;
    case FarEndAction::NoAnswer:
        failCall("NO ANSWER", QStringLiteral("the far end does not answer"));
        break;
    case FarEndAction::None:
        break;
    }
}

// Off hook for an incoming call: the ringing caller, if there is one, is on the line.
void VirtualModem::pickUp() {
    m_hasFarEnd = m_phase == CallPhase::Ringing;
    m_incoming = true;
    if (m_hasFarEnd) {
        m_ringTimer.stop();
        m_callerIdTimer.stop();
        m_profile.registers[1] = 0;
    }
}

// A V.253 modem that goes off hook by itself (ATD, ATA) shows the line among its selections.
void VirtualModem::holdLine() {
    const Persona::LineLabel* label = persona().label(m_profile.lineSelect);
    if (persona().v253 && !(label && label->holdsLine())) {
        m_profile.lineSelect = persona().lineOnlyLabel();
    }
}

void VirtualModem::enterVoice() {
    m_farEndTimer.stop();
    m_waitTimer.stop();
    m_voiceOnline = true;
    setPhase(m_hasFarEnd ? CallPhase::Connected : CallPhase::OffHook);
}

void VirtualModem::connectVoice(const QString& what) {
    enterVoice();
    // V.253 modems have no VCON: a voice call that is up ends the command with OK.
    resultCode(persona().v253 ? "OK" : "VCON");
    note(what);
}

void VirtualModem::failCall(const QByteArray& code, const QString& what) {
    goOnHook();
    resultCode(code);
    note(what);
}

void VirtualModem::abortCallProgress(char byte) {
    // The rest of the aborting line is dropped with it, so that "ATH" does not leave "TH" behind.
    m_discardToEndOfLine = byte != endOfLine();
    failCall("NO CARRIER", QStringLiteral("a byte from the host abandoned the call attempt"));
}

void VirtualModem::goOnHook() {
    for (QTimer* timer : {&m_dialTimer, &m_farEndTimer, &m_waitTimer, &m_busyToneTimer}) {
        timer->stop();
    }
    m_voiceOnline = false;
    m_staysInCommand = false;
    m_hasFarEnd = false;
    m_decidedWhileDialling = FarEndAction::None;
    if (persona().v253) {
        m_profile.lineSelect = 0;
    }
    setPhase(CallPhase::Idle);
}

bool VirtualModem::farEndAnswers(QString* why) {
    return farEndDecides(FarEndAction::Answer, why);
}

bool VirtualModem::farEndBusy(QString* why) {
    return farEndDecides(FarEndAction::Busy, why);
}

bool VirtualModem::farEndDoesNotAnswer(QString* why) {
    return farEndDecides(FarEndAction::NoAnswer, why);
}

bool VirtualModem::farEndDecides(FarEndAction action, QString* why) {
    if (m_phase == CallPhase::Dialling && m_hasFarEnd) {
        // The far end cannot act before its telephone rings; it will once the dialling is over.
        m_decidedWhileDialling = action;
        return true;
    }
    if (m_phase != CallPhase::Ringback) {
        return refuse(why, QStringLiteral("no outgoing call is waiting for the far end"));
    }
    decideFarEnd(action);
    return true;
}

bool VirtualModem::farEndHangsUp(QString* why) {
    if (m_phase == CallPhase::Ringing) {
        endRinging(QStringLiteral("the caller hung up"));
        return true;
    }
    if (m_phase != CallPhase::Connected) {
        return refuse(why, QStringLiteral("nobody is on the line to hang up"));
    }
    setPhase(CallPhase::FarEndGone);
    note(QStringLiteral("the far end hung up: busy tone until the host hangs up"));
    emitToHost(dle + 'b');
    m_busyToneTimer.start(m_config.busyRepeatMs);
    return true;
}

bool VirtualModem::ring(const CallerId& caller, QString* why) {
    if (m_phase == CallPhase::Ringing) {
        return refuse(why, QStringLiteral("the line is already ringing"));
    }
    if (m_phase != CallPhase::Idle) {
        return refuse(why, QStringLiteral("the line is off hook"));
    }
    m_caller = caller;
    m_ringsSent = 0;
    setPhase(CallPhase::Ringing);
    note(QStringLiteral("incoming call, caller: %1").arg(caller.describe()));
    ringOnce();
    if (m_phase == CallPhase::Ringing) {
        m_ringTimer.start(m_config.ringIntervalMs);
        m_callerIdTimer.start(m_config.ringIntervalMs / 2);
    }
    return true;
}

bool VirtualModem::stopRinging(QString* why) {
    if (m_phase != CallPhase::Ringing) {
        return refuse(why, QStringLiteral("the line is not ringing"));
    }
    endRinging(QStringLiteral("the caller hung up"));
    return true;
}

void VirtualModem::ringOnce() {
    ++m_ringsSent;
    m_profile.registers[1] = m_ringsSent;
    resultCode("RING");
    emit statusChanged();
    const int answerAfterRings = m_profile.registers[0];
    if (answerAfterRings > 0 && m_ringsSent >= answerAfterRings) {
        note(QStringLiteral("answering by itself (S0=%1)").arg(answerAfterRings));
        answer();
    }
}

void VirtualModem::ringTick() {
    if (m_ringsSent >= m_config.rings) {
        endRinging(QStringLiteral("the caller gave up after %1 rings").arg(m_ringsSent));
    } else {
        ringOnce();
    }
}

void VirtualModem::sendCallerId() {
    if (m_phase != CallPhase::Ringing || m_caller.presentation() == CallerId::Presentation::None) {
        return;
    }
    const QDateTime now = m_now();
    switch (m_profile.callerId) {
    case 1:
        emitToHost(m_caller.formattedReport(now, eol(), persona().callerIdSeparator));
        break;
    case 2:
        emitToHost(m_caller.unformattedReport(now, eol(), persona().unformattedPrefix));
        break;
    default:
        note(QStringLiteral("caller ID not reported: %1=0").arg(persona().callerIdCommand()));
        return;
    }
    note(QStringLiteral("caller ID reported"));
}

void VirtualModem::endRinging(const QString& what) {
    m_ringTimer.stop();
    m_callerIdTimer.stop();
    m_profile.registers[1] = 0;
    setPhase(CallPhase::Idle);
    note(what);
}

// ---- Output ----

QByteArray VirtualModem::eol() const {
    QByteArray bytes;
    bytes.append(static_cast<char>(m_profile.registers[3]));
    bytes.append(static_cast<char>(m_profile.registers[4]));
    return bytes;
}

void VirtualModem::resultCode(const QByteArray& code) {
    if (!m_profile.quiet) {
        emitToHost(eol() + code + eol());
    }
}

void VirtualModem::informationText(const QByteArray& text) {
    emitToHost(eol() + text + eol());
}

void VirtualModem::emitToHost(const QByteArray& bytes) {
    flushEcho();
    emit transmitted(bytes);
}

void VirtualModem::note(const QString& text) {
    // The echo of what the host sent comes first, so the log tells things in their order.
    flushEcho();
    emit noted(text);
}

void VirtualModem::flushEcho() {
    if (!m_echo.isEmpty()) {
        emit transmitted(std::exchange(m_echo, {}));
    }
}

void VirtualModem::sendRaw(const QByteArray& bytes) {
    if (!bytes.isEmpty()) {
        emitToHost(bytes);
    }
}

void VirtualModem::setPhase(CallPhase phase) {
    m_phase = phase;
    emit statusChanged();
}

bool VirtualModem::refuse(QString* why, const QString& reason) {
    if (why) {
        *why = reason;
    }
    return false;
}

void VirtualModem::setFarEnd(ModemConfig::FarEnd farEnd, int answerAfterMs) {
    m_config.farEnd = farEnd;
    m_config.answerAfterMs = answerAfterMs;
}

void VirtualModem::setPersona(Persona::Id id) {
    if (id == m_config.persona) {
        return;
    }
    for (QTimer* timer : {&m_commandTimer, &m_dialTimer, &m_farEndTimer, &m_waitTimer, &m_ringTimer, &m_callerIdTimer,
                          &m_busyToneTimer}) {
        timer->stop();
    }
    flushEcho();
    m_config.persona = id;
    m_profile = defaultProfile();
    m_assembler.reset();
    m_pending.clear();
    m_lastLine.clear();
    m_executing = false;
    m_queued.clear();
    m_discardToEndOfLine = false;
    m_phase = CallPhase::Idle;
    m_voiceOnline = false;
    m_incoming = false;
    m_staysInCommand = false;
    m_hasFarEnd = false;
    m_decidedWhileDialling = FarEndAction::None;
    m_dialled.clear();
    m_caller = CallerId();
    m_ringsSent = 0;
    note(QStringLiteral("persona %1: %2 on the line").arg(persona().name, persona().title));
    emit statusChanged();
}

ModemStatus VirtualModem::status() const {
    ModemStatus s;
    s.phase = m_phase;
    s.voiceOnline = m_voiceOnline;
    s.incoming = m_incoming;
    s.serviceClass = m_profile.serviceClass;
    s.lineSelect = m_profile.lineSelect;
    s.callerIdMode = m_profile.callerId;
    s.echo = m_profile.echo;
    s.microphone = m_profile.microphone;
    s.speakerAttenuation = m_profile.speakerAttenuation;
    s.microphoneGain = m_profile.microphoneGain;
    s.persona = m_config.persona;
    s.classPointZero = m_profile.classPointZero;
    s.speakerLevel = m_profile.speakerLevel;
    s.microphoneLevel = m_profile.microphoneLevel;
    s.speakerphoneOn = m_profile.speakerphoneOn != 0;
    s.dialled = m_dialled;
    s.caller = m_caller;
    s.ringsSent = m_ringsSent;
    s.ringsBeforeGivingUp = m_config.rings;
    return s;
}
