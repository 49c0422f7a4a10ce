#include "call/CallControl.h"

#include "call/CommandLines.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "console/frmPhone.h"
#include "modem/ModemLink.h"
#include "modem/ModemResponses.h"
#include "modem/SerialControl.h"
#include "modem/Waiter.h"
#include "platform/Controls.h"
#include "platform/DesignColors.h"

#include <QPointer>
#include <utility>

namespace {
const QString InUse = QStringLiteral("In Use");
// Between the dial's prefix line and the dial line.
constexpr double PrefixSeconds = 1;
// Between hanging up and initialising the modem again.
constexpr double HangUpSeconds = 2;
} // namespace

CallControl::CallControl(frmPhone& form, Services& services)
    : QObject(&form)
    , m_form(form)
    , m_services(services) {
    connect(m_form.cmdSend, &QPushButton::clicked, this, &CallControl::cmdSend_Click);
    connect(m_form.cmdEnd, &QPushButton::clicked, this, &CallControl::cmdEnd_Click);
    // A dial still waiting for its connection is over when the window goes.
    connect(&m_form, &frmPhone::closed, this, [this] { ++m_generation; });
    connect(&m_form.modemLink(), &ModemLink::deviceLost, this, &CallControl::dropCall);
}

bool CallControl::attached() {
    if (m_form.comModem->portOpen()) {
        return true;
    }
    m_form.modemLink().tellNotAttached();
    return false;
}

bool CallControl::mayStartCall() {
    // End is still hanging up, or the modem is being detached or the window closed: the line is
    // not free for a new call (and a dial now would hold up the detach with its wait).
    return !m_ending && !m_form.lineClosing() && attached();
}

void CallControl::cmdSend_Click() {
    if (!mayStartCall()) {
        return;
    }
    PhoneState& state = m_form.state;
    if (m_form.txtNumberOut->text().isEmpty()) {
        state.IncomingCall = true;
    }
    if (state.IncomingCall) {
        answer();
        return;
    }
    SharedState& shared = m_services.shared;
    dial([this] { return m_form.txtNumberOut->text(); },
         [&shared](const QString& number) { return CommandLines::dial(number, shared.DisCID, shared.DisCW); }, true);
}

bool CallControl::placeServiceCall(const QString& code) {
    if (!mayStartCall()) {
        return false;
    }
    return dial([code] { return code; }, [](const QString& number) { return CommandLines::dial(number, false, false); },
                false);
}

bool CallControl::dial(const std::function<QString()>& number, const std::function<QString(const QString&)>& dialLine,
                       bool rememberAsLastDialed) {
    ModemLink& link = m_form.modemLink();
    SharedState& shared = m_services.shared;
    const quint64 call = ++m_generation;
    link.beginCall();
    if (link.output(CommandLines::prefix())) {
        return false;
    }
    const QPointer<CallControl> alive(this);
    // Still this call: not ended or replaced by another Send, the modem still there.
    const auto current = [&] { return alive && m_generation == call && m_form.comModem->portOpen(); };
    if (!link.Delay(PrefixSeconds) || !current()) {
        return false;
    }

    const QString dialled = number();
    // A connection reported while no call was going on belongs to none; the speaker level waits
    // for this call's. A call in progress keeps its connection (and its controls) until End.
    if (!shared.CallActive) {
        m_form.state.VoiceConnected = false;
    }
    if (link.output(dialLine(dialled))) {
        return false;
    }
    shared.CallActive = true;
    if (rememberAsLastDialed) {
        m_services.settings.write(Settings::LastDialed, dialled);
    }
    showInUse();
    m_form.txtNumberIn->setText(QString());

    const Waiter::Result connected =
        m_services.waiter.waitUntil([&] { return !current() || m_form.state.VoiceConnected; });
    if (connected == Waiter::Result::Done && current()) {
        link.callCommand(CommandLines::speakerLevel(m_form.Slider1->value()));
    }
    return true;
}

void CallControl::answer() {
    ++m_generation;
    m_form.modemLink().beginCall();
    if (m_form.modemLink().output(CommandLines::answer())) {
        return;
    }
    m_form.state.IncomingCall = false;
    m_services.shared.CallActive = true;
    showInUse();
}

void CallControl::showInUse() {
    m_form.setInUseLamp(true);
    m_form.txtStatus->setText(InUse);
}

void CallControl::clearDisplays() {
    m_form.txtName->setTextColor(DesignColors::Green);
    m_form.txtNumberIn->setTextColor(DesignColors::Green);
    for (DisplayBox* box : {m_form.txtNumberOut, m_form.txtNumberIn, m_form.txtName, m_form.txtStatus}) {
        box->setText(QString());
    }
}

void CallControl::cmdEnd_Click() {
    SharedState& shared = m_services.shared;
    ModemLink& link = m_form.modemLink();
    ++m_generation;
    const auto guarded = [&shared](const SerialError& error) {
        if (error) {
            shared.CallActive = false;
        }
    };

    clearDisplays();
    guarded(link.output(CommandLines::hangUp()));

    const quint64 reportsBefore = m_form.responses().reportCount();
    const QPointer<CallControl> alive(this);
    const bool wasEnding = std::exchange(m_ending, true);
    const bool waited = link.Delay(HangUpSeconds);
    if (!alive) {
        return;
    }
    m_ending = wasEnding;
    // The line the attach would send now, from the stored settings: after Setup, IntString holds
    // the bare stored string, and the modem would be left without caller ID.
    if (waited) {
        guarded(link.output(link.initialisationLine()));
    }
    settleCallState(m_form.responses().reportCount() != reportsBefore);
    emit callEnded();
}

void CallControl::dropCall() {
    ++m_generation;
    clearDisplays();
    settleCallState(false);
    emit callEnded();
}

void CallControl::settleCallState(bool keepIncomingCall) {
    PhoneState& state = m_form.state;
    SharedState& shared = m_services.shared;
    m_form.setInUseLamp(false);
    shared.CallActive = false;
    state.ModemText.clear();
    m_form.Slider2->setValue(1);
    if (!keepIncomingCall) {
        state.IncomingCall = false;
    }
    m_form.txtStatus->setText(QString());
    // Nothing to discard once the port has closed; the call is inactive either way.
    m_form.comModem->setInBufferCount(0);
    if (state.OnHold) {
        state.OnHold = false;
        m_form.txtStatus->setText(QString());
        m_form.cmdHold->showLatched(false);
    }
    if (state.Muted) {
        state.Muted = false;
        m_form.cmdMute->showLatched(false);
        m_form.txtStatus->setText(QString());
    }
    state.VoiceConnected = false;
}
