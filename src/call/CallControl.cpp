#include "call/CallControl.h"

#include "call/CommandLines.h"
#include "call/ModemCommands.h"
#include "console/PhoneFace.h"
#include "console/PhoneState.h"
#include "console/Services.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "history/CallHistory.h"
#include "modem/ModemLink.h"
#include "modem/ModemResponses.h"
#include "modem/ModemText.h"
#include "modem/SerialControl.h"
#include "modem/Waiter.h"

#include <QPointer>
#include <utility>

namespace {
const QString InUse = QStringLiteral("In Use");
// A call dialled for a telephone on the same line: the user picks it up to talk.
const QString LiftYourPhone = QStringLiteral("Lift your phone");
// Between the dial's prefix line and the dial line.
constexpr double PrefixSeconds = 1;
// Between hanging up and initialising the modem again.
constexpr double HangUpSeconds = 2;
} // namespace

using Box = PhoneFace::Box;

CallControl::CallControl(Services& services, PhoneState& state, SerialControl& comModem, PhoneFace& face,
                         ModemLink& link, const ModemResponses& responses, QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_state(state)
    , m_comModem(comModem)
    , m_face(face)
    , m_link(link)
    , m_responses(responses) {
    connect(&m_link, &ModemLink::deviceLost, this, [this] { dropCall(EndReason::ModemLost); });
    connect(&responses, &ModemResponses::callerReported, this, &CallControl::onCallerReported);
    connect(&responses, &ModemResponses::callerGone, this, &CallControl::onCallerGone);
    connect(&responses, &ModemResponses::voiceConnectionReported, this, &CallControl::onVoiceConnection);
    connect(&responses, &ModemResponses::callerBlocked, this, &CallControl::onCallerBlocked);
    connect(&responses, &ModemResponses::ringReported, this, &CallControl::rang);
}

void CallControl::setPhase(Phase phase) {
    m_phase = phase;
}

void CallControl::onCallerReported(const QString& number, const QString& name) {
    m_state.IncomingCall = true;
    if (!m_services.shared.CallActive) {
        setPhase(Phase::Ringing);
    }
    emit callerReported(number, name);
}

bool CallControl::refuses(const QString& number) const {
    // A class of callers is refused by its switch, or by its letter on the list (`--block P`).
    const SettingsStore& settings = m_services.settings;
    if (number.startsWith(ModemText::Private) && settings.readSwitch(Settings::BlockPrivate).value_or(false)) {
        return true;
    }
    if (number.startsWith(ModemText::OutOfArea) && settings.readSwitch(Settings::BlockOutOfArea).value_or(false)) {
        return true;
    }
    return m_services.history && m_services.history->isBlocked(number);
}

void CallControl::onCallerBlocked(const QString& number, const QString& name) {
    emit callerBlocked(number, name);
    // Only a telephone at rest picks up to hang up; from the event loop, not inside the reading.
    if (m_services.settings.readSwitch(Settings::HangUpBlocked).value_or(false)) {
        QMetaObject::invokeMethod(this, &CallControl::hangUpOnBlocked, Qt::QueuedConnection);
    }
}

void CallControl::hangUpOnBlocked() {
    SharedState& shared = m_services.shared;
    if (shared.CallActive || m_state.IncomingCall || m_ending || m_state.lineClosing() || m_state.Probing ||
        !m_comModem.portOpen()) {
        return;
    }
    ++m_generation;
    // End's lines, without touching what the user has on the display: no call of theirs is over.
    if (m_link.output(ModemCommands::of(shared).answer()) || m_link.output(CommandLines::hangUp())) {
        return;
    }
    pauseAfterHangUp();
}

bool CallControl::pauseAfterHangUp() {
    const QPointer<CallControl> alive(this);
    const bool wasEnding = std::exchange(m_ending, true);
    const bool waited = m_link.Delay(HangUpSeconds);
    if (!alive) {
        return false;
    }
    m_ending = wasEnding;
    if (waited) {
        m_link.output(m_link.initialisationLine());
    }
    return true;
}

void CallControl::onCallerGone() {
    m_state.IncomingCall = false;
    if (m_phase == Phase::Ringing) {
        setPhase(Phase::Idle);
    }
    emit callerGone();
}

void CallControl::onVoiceConnection() {
    // Whenever the modem reports it, also outside a call; a call hears of it once.
    const bool news = !m_state.VoiceConnected && m_services.shared.CallActive;
    m_state.VoiceConnected = true;
    m_state.ConnectsOnOk = false;
    if (news) {
        setPhase(Phase::Connected);
        emit connected();
    }
}

void CallControl::abandonDial() {
    ++m_generation;
}

bool CallControl::attached() {
    if (m_comModem.portOpen()) {
        return true;
    }
    m_link.tellNotAttached();
    return false;
}

bool CallControl::mayStartCall() {
    // End is still hanging up, or the modem is being detached or the window closed: the line is
    // not free for a new call (and a dial now would hold up the detach with its wait).
    return !m_ending && !m_state.lineClosing() && !m_state.Probing && attached();
}

void CallControl::cmdSend_Click() {
    if (!mayStartCall()) {
        return;
    }
    PhoneState& state = m_state;
    if (m_face.text(Box::NumberOut).isEmpty()) {
        state.IncomingCall = true;
    }
    if (state.IncomingCall) {
        answer();
        return;
    }
    SharedState& shared = m_services.shared;
    dial([this] { return m_face.text(Box::NumberOut); },
         [&shared](const QString& number) { return CommandLines::dial(number, shared.DisCID, shared.DisCW); }, false);
}

void CallControl::answerWaitingCaller() {
    if (m_state.IncomingCall) {
        m_answerWay = AnswerWay::Notification;
        cmdSend_Click();
        m_answerWay = AnswerWay::Send;
    }
}

void CallControl::answerAutomatically() {
    m_answerWay = AnswerWay::Automatic;
    cmdSend_Click();
    m_answerWay = AnswerWay::Send;
}

bool CallControl::placeServiceCall(const QString& code) {
    if (!mayStartCall()) {
        return false;
    }
    return dial([code] { return code; }, [](const QString& number) { return CommandLines::dial(number, false, false); },
                true);
}

bool CallControl::dial(const std::function<QString()>& number, const std::function<QString(const QString&)>& dialLine,
                       bool serviceCode) {
    SharedState& shared = m_services.shared;
    const quint64 call = ++m_generation;
    m_link.beginCall();
    emit callStarting();
    if (m_link.output(ModemCommands::of(m_services.shared).prefix())) {
        return false;
    }
    const QPointer<CallControl> alive(this);
    // Still this call: not ended or replaced by another Send, the modem still there.
    const auto current = [&] { return alive && m_generation == call && m_comModem.portOpen(); };
    if (!m_link.Delay(PrefixSeconds) || !current()) {
        return false;
    }

    const QString toDial = number();
    // A connection reported while no call was going on belongs to none; the speaker level waits
    // for this call's. A call in progress keeps its connection (and its controls) until End.
    if (!shared.CallActive) {
        m_state.VoiceConnected = false;
    }
    if (m_link.output(dialLine(toDial))) {
        return false;
    }
    const ModemCommands commands = ModemCommands::of(m_services.shared);
    m_state.ConnectsOnOk = commands.v253();
    shared.CallActive = true;
    if (!serviceCode) {
        m_services.settings.write(Settings::LastDialed, toDial);
    }
    setPhase(Phase::Dialling);
    emit dialled(toDial, serviceCode);
    showInUse();
    m_face.setText(Box::NumberIn, QString());
    if (commands.throughTelephone()) {
        m_face.setText(Box::Name, LiftYourPhone);
    }

    const Waiter::Result connected = m_services.waiter.waitUntil([&] { return !current() || m_state.VoiceConnected; });
    if (const QString level = commands.speakerLevel(m_face.speakerLevel());
        connected == Waiter::Result::Done && current() && !level.isEmpty()) {
        m_link.callCommand(level);
    }
    return true;
}

void CallControl::answer() {
    ++m_generation;
    m_link.beginCall();
    emit callStarting();
    const ModemCommands commands = ModemCommands::of(m_services.shared);
    if (m_link.output(commands.answer())) {
        return;
    }
    m_state.ConnectsOnOk = commands.v253();
    m_state.IncomingCall = false;
    // As for a dial: a connection reported while no call was going on belongs to none.
    if (!m_services.shared.CallActive) {
        m_state.VoiceConnected = false;
    }
    m_services.shared.CallActive = true;
    setPhase(Phase::Connected);
    showInUse();
    emit callAnswered(m_answerWay);
}

void CallControl::showInUse() {
    m_face.setLit(PhoneFace::Light::InUse, true);
    m_face.setText(Box::Status, InUse);
}

void CallControl::clearDisplays() {
    m_face.setTextColor(Box::Name, PhoneFace::TextColor::Green);
    m_face.setTextColor(Box::NumberIn, PhoneFace::TextColor::Green);
    for (Box box : {Box::NumberOut, Box::NumberIn, Box::Name, Box::Status}) {
        m_face.setText(box, QString());
    }
}

void CallControl::cmdEnd_Click() {
    ++m_generation;
    clearDisplays();
    // A line that cannot be written (the port has closed) leaves the call inactive, and End goes on.
    if (m_link.output(CommandLines::hangUp())) {
        m_services.shared.CallActive = false;
    }
    setPhase(Phase::Ending);

    const quint64 reportsBefore = m_responses.reportCount();
    // The line an attach would send now, from the stored settings: a set-up changed in Setup since
    // the attach takes effect, and the modem always gets its caller-ID tail back.
    if (!pauseAfterHangUp()) {
        return;
    }
    settleCallState(m_responses.reportCount() != reportsBefore);
    emit callEnded(EndReason::End);
}

void CallControl::dropCall(EndReason why) {
    ++m_generation;
    clearDisplays();
    settleCallState(false);
    emit callEnded(why);
}

void CallControl::modemLeftCall(EndReason why) {
    if (m_services.shared.CallActive) {
        emit callEnded(why);
    }
}

void CallControl::settleCallState(bool keepIncomingCall) {
    PhoneState& state = m_state;
    SharedState& shared = m_services.shared;
    m_face.setLit(PhoneFace::Light::InUse, false);
    shared.CallActive = false;
    state.ModemText.clear();
    m_face.setMicrophoneGain(1);
    if (!keepIncomingCall) {
        state.IncomingCall = false;
    }
    m_face.setText(Box::Status, QString());
    // Nothing to discard once the port has closed; the call is inactive either way.
    m_comModem.setInBufferCount(0);
    if (state.OnHold) {
        state.OnHold = false;
        m_face.setText(Box::Status, QString());
        m_face.setLatched(PhoneFace::Latch::Hold, false);
    }
    if (state.Muted) {
        state.Muted = false;
        m_face.setLatched(PhoneFace::Latch::Mute, false);
        m_face.setText(Box::Status, QString());
    }
    state.VoiceConnected = false;
    state.ConnectsOnOk = false;
    setPhase(state.IncomingCall ? Phase::Ringing : Phase::Idle);
}
