#include "modem/ModemResponses.h"

#include "console/PhoneFace.h"
#include "console/PhoneState.h"
#include "console/Services.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "modem/Clock.h"
#include "modem/ModemText.h"
#include "modem/SerialControl.h"
#include "modem/Waiter.h"

#include <QTimer>
#include <algorithm>

namespace {
// What the modem sends is read once it has been quiet this long, so that a report has arrived
// whole even when the modem hands it over a line at a time.
constexpr double SettleSeconds = 0.5;
// A line that never falls quiet (noise, a modem stuck talking) is read this long after its burst
// began all the same.
constexpr double LongestSettleSeconds = 2;
// How long an incoming call waits for Send before automatic answering.
constexpr double AnswerSeconds = 5;
} // namespace

ModemResponses::ModemResponses(Services& services, PhoneState& state, SerialControl& comModem, PhoneFace& face,
                               QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_state(state)
    , m_comModem(comModem)
    , m_face(face) {
    connect(&m_comModem, &SerialControl::onComm, this, &ModemResponses::comModem_OnComm);
}

void ModemResponses::comModem_OnComm() {
    // While an attach asks the modem what it takes, its answers are the probe's to read.
    if (m_comModem.commEvent() != SerialControl::EventReceive || m_state.Probing) {
        return;
    }
    // A ringing phone brings the window back once; the rings after it leave a user who
    // minimised it again alone.
    if (!m_state.ModemText.contains(ModemText::Ring)) {
        m_face.view().restoreIfMinimized();
    }
    // Every event starts the half second again, and one read takes the whole burst.
    const double now = m_services.waiter.clock().now();
    if (!m_settle) {
        m_burstBegan = now;
    }
    delete m_settle.data();
    const double readAt = std::min(now + SettleSeconds, m_burstBegan + LongestSettleSeconds);
    m_settle = m_services.waiter.after(readAt - now, this, [this] {
        m_settle.clear();
        readReceived();
    });
}

void ModemResponses::readReceived() {
    PhoneState& state = m_state;
    state.ModemText = ModemText::decode(m_comModem.input());
    ModemText::ModemDisplay(state.ModemText);
    if (m_services.shared.Voice.v253()) {
        state.ModemText = ModemText::withSpacedTags(state.ModemText);
    }
    // A V.253 modem reports a dialled or answered call connected with the OK of its line.
    const bool answered = state.ConnectsOnOk && ModemText::answeredOk(state.ModemText);
    if (answered || state.ModemText.contains(ModemText::VoiceConnection)) {
        emit voiceConnectionReported();
    }
    if (state.ModemText.contains(ModemText::Ring)) {
        emit ringReported();
    }
    if (state.ModemText.contains(ModemText::NumberTag)) {
        display_number();
        return;
    }
    emit handled();
}

void ModemResponses::display_number() {
    PhoneState& state = m_state;
    SharedState& shared = m_services.shared;
    ++m_reports;
    const QString number = ModemText::plainText(ModemText::reportValue(state.ModemText, ModemText::NumberTag));
    const QString name = ModemText::plainText(ModemText::reportValue(state.ModemText, ModemText::NameTag));
    if (m_refused && m_refused(number)) {
        // Nothing of it reaches the screen, and rings and repeats after it are no news either.
        m_comModem.setInputLen(0);
        m_comModem.setInBufferCount(0);
        state.ModemText.clear();
        emit callerBlocked(number, name);
        emit handled();
        return;
    }
    state.CallerNumber = number;
    state.CallerName = name;
    state.LastReportNumber = state.CallerNumber;
    state.LastReportName = state.CallerName;
    // The call's owner marks the call as incoming first: Send answers from now on.
    emit callerReported(state.LastReportNumber, state.LastReportName);

    const bool withheld =
        state.CallerNumber.startsWith(ModemText::OutOfArea) || state.CallerNumber.startsWith(ModemText::Private);
    if (state.CallerNumber.startsWith(ModemText::OutOfArea)) {
        m_face.setTextColor(PhoneFace::Box::Name, PhoneFace::TextColor::Red);
        m_face.setText(PhoneFace::Box::Name, QStringLiteral("Out of Area"));
        shared.AutoAns = false;
    } else if (state.CallerNumber.startsWith(ModemText::Private)) {
        m_face.setTextColor(PhoneFace::Box::Name, PhoneFace::TextColor::Red);
        m_face.setText(PhoneFace::Box::Name, QStringLiteral("Private"));
    } else {
        state.CallerName = ModemText::rearrangedName(state.CallerName);
        m_face.setText(PhoneFace::Box::Name, state.CallerName);
        state.CallerNumber = ModemText::displayedNumber(state.CallerNumber);
        m_face.setText(PhoneFace::Box::NumberIn, state.CallerNumber);
    }

    // Rings and repeats that came after the report are not news. The port may have closed under
    // us (the modem went away); there is then nothing to discard.
    m_comModem.setInputLen(0);
    m_comModem.setInBufferCount(0);
    const QString shownNumber = withheld ? QString() : state.CallerNumber;
    state.ModemText.clear();
    state.CallerNumber.clear();

    // A report repeated for the same call starts its five seconds again; the call is answered
    // once, at the end of the last report's.
    if (m_answerTime) {
        delete m_answerTime.data();
        emit handled();
    }
    m_answerTime = m_services.waiter.after(AnswerSeconds, this, [this] { endIncomingCall(true); });
    emit callerShown(m_face.text(PhoneFace::Box::Name), shownNumber);
}

void ModemResponses::dropIncomingCall() {
    if (m_answerTime) {
        delete m_answerTime.data();
        endIncomingCall(false);
    }
}

void ModemResponses::endIncomingCall(bool mayAnswer) {
    // Its timer has fired or been deleted: a report from now on starts a call of its own.
    m_answerTime.clear();
    PhoneState& state = m_state;
    SharedState& shared = m_services.shared;
    // Send or End pressed in the five seconds has dealt with the call already (IncomingCall is
    // false then); answering it now would pick up a call the user turned down, or dial the number
    // shown. A modem that is gone, or being detached, has no call to answer.
    if (mayAnswer && shared.AutoAns && state.IncomingCall && m_comModem.portOpen() && !state.lineClosing()) {
        emit answerDue();
    }
    shared.AutoAns = m_services.settings.readSwitch(Settings::AutoAns).value_or(false);
    emit callerGone();
    emit handled();
}
