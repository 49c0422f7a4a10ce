#include "modem/ModemResponses.h"

#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "console/frmPhone.h"
#include "modem/ModemLink.h"
#include "modem/ModemText.h"
#include "modem/SerialControl.h"
#include "modem/Waiter.h"
#include "platform/Controls.h"
#include "platform/DesignColors.h"

#include <QTimer>

namespace {
// A report is read this long after its first characters, so that it has arrived whole.
constexpr double SettleSeconds = 0.5;
// How long an incoming call waits for Send before automatic answering.
constexpr double AnswerSeconds = 5;
} // namespace

ModemResponses::ModemResponses(frmPhone& form, Services& services)
    : QObject(&form)
    , m_form(form)
    , m_services(services) {
    connect(m_form.comModem, &SerialControl::onComm, this, &ModemResponses::comModem_OnComm);
    connect(&m_form.modemLink(), &ModemLink::deviceLost, this, &ModemResponses::dropIncomingCall);
}

void ModemResponses::comModem_OnComm() {
    if (m_form.comModem->commEvent() != SerialControl::EventReceive) {
        return;
    }
    // A ringing phone brings the window back once; the rings after it leave a user who
    // minimised it again alone.
    if (!m_form.state.ModemText.contains(ModemText::Ring) && m_form.isMinimized()) {
        m_form.showNormal();
    }
    // Each event reads once, half a second after it: an event that comes in the meantime reads
    // whatever is left after the first one's read, possibly nothing.
    m_services.waiter.after(SettleSeconds, this, [this] { readReceived(); });
}

void ModemResponses::readReceived() {
    PhoneState& state = m_form.state;
    state.ModemText = ModemText::decode(m_form.comModem->input());
    ModemText::ModemDisplay(state.ModemText);
    if (state.ModemText.contains(ModemText::VoiceConnection)) {
        state.VoiceConnected = true;
    }
    if (state.ModemText.contains(ModemText::NumberTag)) {
        display_number();
        return;
    }
    emit handled();
}

void ModemResponses::display_number() {
    PhoneState& state = m_form.state;
    SharedState& shared = m_services.shared;
    ++m_reports;
    state.IncomingCall = true;
    state.CallerNumber = ModemText::plainText(ModemText::reportValue(state.ModemText, ModemText::NumberTag));
    state.CallerName = ModemText::plainText(ModemText::reportValue(state.ModemText, ModemText::NameTag));
    state.LastReportNumber = state.CallerNumber;
    state.LastReportName = state.CallerName;

    if (state.CallerNumber.startsWith(ModemText::OutOfArea)) {
        m_form.txtName->setTextColor(DesignColors::Red);
        m_form.txtName->setText(QStringLiteral("Out of Area"));
        shared.AutoAns = false;
    } else if (state.CallerNumber.startsWith(ModemText::Private)) {
        m_form.txtName->setTextColor(DesignColors::Red);
        m_form.txtName->setText(QStringLiteral("Private"));
    } else {
        state.CallerName = ModemText::rearrangedName(state.CallerName);
        m_form.txtName->setText(state.CallerName);
        state.CallerNumber = ModemText::displayedNumber(state.CallerNumber);
        m_form.txtNumberIn->setText(state.CallerNumber);
    }

    // Rings and repeats that came after the report are not news. The port may have closed under
    // us (the modem went away); there is then nothing to discard.
    m_form.comModem->setInputLen(0);
    m_form.comModem->setInBufferCount(0);
    state.ModemText.clear();
    state.CallerNumber.clear();

    // A report repeated for the same call starts its five seconds again; the call is answered
    // once, at the end of the last report's.
    if (m_answerTime) {
        delete m_answerTime.data();
        emit handled();
    }
    m_answerTime = m_services.waiter.after(AnswerSeconds, this, [this] { endIncomingCall(true); });
}

void ModemResponses::dropIncomingCall() {
    if (m_answerTime) {
        delete m_answerTime.data();
        endIncomingCall(false);
    }
    m_form.state.IncomingCall = false;
}

void ModemResponses::endIncomingCall(bool mayAnswer) {
    // Its timer has fired or been deleted: a report from now on starts a call of its own.
    m_answerTime.clear();
    PhoneState& state = m_form.state;
    SharedState& shared = m_services.shared;
    // Send or End pressed in the five seconds has dealt with the call already (IncomingCall is
    // false then); answering it now would pick up a call the user turned down, or dial the number
    // shown. A modem that is gone, or being detached, has no call to answer.
    if (mayAnswer && shared.AutoAns && state.IncomingCall && m_form.comModem->portOpen() && !m_form.lineClosing()) {
        m_form.cmdSend->click();
    }
    state.IncomingCall = false;
    shared.AutoAns = m_services.settings.readSwitch(Settings::AutoAns).value_or(false);
    emit handled();
}
