#include "console/Phone.h"

#include "call/AudioControls.h"
#include "call/CallControl.h"
#include "call/CommandLines.h"
#include "call/Handset.h"
#include "call/NumberEntry.h"
#include "call/ServiceButtons.h"
#include "console/Services.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "history/CallRecorder.h"
#include "modem/ModemLink.h"
#include "modem/ModemResponses.h"
#include "modem/SerialControl.h"
#include "modem/SerialTransport.h"
#include "phonebook/PhoneBookPanel.h"

Phone::Phone(Services& services, PhoneView& view, std::unique_ptr<SerialTransport> transport, QObject* parent)
    : QObject(parent)
    , m_services(services) {
    m_face = new PhoneFace(view, this);
    const auto resolver = [this](int port) { return m_services.settings.portDevice(port); };
    m_comModem =
        transport ? new SerialControl(resolver, std::move(transport), this) : new SerialControl(resolver, this);
    m_comModem->setObjectName(QStringLiteral("comModem"));
    m_comModem->setLockDirectory(m_services.lockDirectory);
    m_modemLink = new ModemLink(services, state, *m_comModem, *m_face, this);
    m_responses = new ModemResponses(services, state, *m_comModem, *m_face, this);
    // A lost modem ends a caller's wait first, then the call.
    connect(m_modemLink, &ModemLink::deviceLost, m_responses, &ModemResponses::dropIncomingCall);
    m_calls = new CallControl(services, state, *m_comModem, *m_face, *m_modemLink, *m_responses, this);
    m_responses->setRefusal([calls = m_calls](const QString& number) { return calls->refuses(number); });
    m_numberEntry = new NumberEntry(services, state, *m_face, *m_modemLink, *m_calls, this);
    m_audio = new AudioControls(services, state, *m_face, *m_modemLink, this);
    m_handset = new Handset(services, state, *m_face, *m_modemLink, *m_calls, this);
    m_serviceButtons = new ServiceButtons(services, *m_face, *m_calls, this);
    m_phoneBook = new PhoneBookPanel(services, state, *m_face, this);

    // The audio controls tell what this modem gives them to act on, once it is attached and as
    // each call starts (the way of talking may have changed in Setup meanwhile).
    connect(m_modemLink, &ModemLink::attached, m_audio, &AudioControls::showWhatCanAct);
    connect(m_calls, &CallControl::callStarting, m_audio, &AudioControls::showWhatCanAct);
    // Calls are kept as they happen, where there is a history to keep them in.
    if (services.history) {
        new CallRecorder(*m_calls, *services.history, services.waiter, this);
    }
    // Automatic answering answers as Send does.
    connect(m_responses, &ModemResponses::answerDue, m_calls, &CallControl::answerAutomatically);
    // A dial still waiting for its connection is over when the telephone goes.
    connect(this, &Phone::closed, m_calls, &CallControl::abandonDial);
}

Phone::~Phone() = default;

SharedState& Phone::shared() {
    return m_services.shared;
}

void Phone::Form_Load() {
    PhoneView& view = m_face->view();
    view.showBusy(true);
    SharedState& s = shared();
    // A value the user edited into something unusable falls back to its default here, and the
    // user hears about it once; the attach meets the same value again and stops before the port.
    const QList<ConversionError> unusable =
        loadModemSettings(m_services.settings, s, state.SpeakerLevel, OnBadValue::UseDefault);
    m_face->setWidthTwips(PhoneFace::NarrowWidth);
    view.showBusy(false);

    m_phoneBook->loadEntries();
    if (!unusable.isEmpty()) {
        m_modemLink->tellUnusable(unusable, true);
    }

    if (Settings::readsAsTrue(s.AutoOn)) {
        m_modemLink->modem_int();
    }
    // Nothing to initialise the modem with, and no attach that got as far as sending a line: the
    // user is asked for the set-up.
    if (s.IntString.isEmpty() && s.InitLine.isEmpty()) {
        view.openSetupDialog();
        view.hideWindow();
    }
    // Closed (or told to end) during the wait: the program is ending, the window stays closed.
    if (!m_modemLink->Delay(1) || state.Unloading) {
        return;
    }
    view.showWindow();
    emit loaded();
}

void Phone::cmdOnOff_Click() {
    if (state.Detaching) {
        return; // the detach in progress finishes first
    }
    if (!shared().ModemAttached) {
        m_modemLink->modem_int();
        return;
    }
    detach();
}

void Phone::detach() {
    state.Detaching = true;
    m_modemLink->output(CommandLines::hangUp());
    m_modemLink->resetModem();
    m_modemLink->Delay(1);
    m_comModem->setPortOpen(false);
    m_face->setLit(PhoneFace::Light::Power, false);
    shared().ModemAttached = false;
    m_face->setText(PhoneFace::Box::NumberOut, QString());
    endCallWithTheModem(CallControl::EndReason::Detach);
    state.Detaching = false;
}

void Phone::endCallWithTheModem(CallControl::EndReason why) {
    m_calls->modemLeftCall(why);
}

bool Phone::queryUnload() {
    if (state.Unloading) {
        return false;
    }
    state.Unloading = true;
    // A modem plugged back in from now on is not attached again.
    m_modemLink->stopWaitingForDevice();
    Form_Unload();
    emit closed();
    return true;
}

void Phone::Form_Unload() {
    if (shared().ModemAttached) {
        m_modemLink->resetModem();
        m_face->setLit(PhoneFace::Light::Power, false);
        m_modemLink->Delay(3);
        shared().ModemAttached = false;
    }
    endCallWithTheModem(CallControl::EndReason::Unload);
    // The port goes with the window.
    m_comModem->setPortOpen(false);
}

bool Phone::Form_KeyPress(int keyAscii) {
    return m_numberEntry->Form_KeyPress(keyAscii);
}
