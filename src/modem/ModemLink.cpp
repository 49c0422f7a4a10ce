#include "modem/ModemLink.h"

#include "console/MessageBoxes.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "console/frmPhone.h"
#include "modem/ErrorTable.h"
#include "modem/SerialControl.h"
#include "modem/Waiter.h"
#include "platform/Controls.h"

namespace {
const QString True = QStringLiteral("True");
const QChar CR = QLatin1Char('\r');
} // namespace

ModemLink::ModemLink(frmPhone& form, Services& services)
    : QObject(&form)
    , m_form(form)
    , m_services(services) {
    connect(m_form.comModem, &SerialControl::deviceLost, this, &ModemLink::onDeviceLost);
}

void ModemLink::modem_int() {
    SharedState& shared = m_services.shared;
    if (const auto bad = loadModemSettings(m_services.settings, shared, m_form.state.SpeakerLevel); !bad.isEmpty()) {
        // A stored text that is not a number or a switch ends the attach before the port is touched.
        ModemError({ErrorNumber::TypeMismatch, QStringLiteral("The setting \"%1\" holds \"%2\", which cannot be used.")
                                                   .arg(bad.first().key, bad.first().text)});
        return;
    }
    m_form.Slider1->setValue(m_form.state.SpeakerLevel);
    if (shared.AutoOn != True && shared.ModemAttached) {
        return;
    }
    SerialControl& port = *m_form.comModem;
    if (const SerialError e = port.setCommPort(shared.PortNumber)) {
        ModemError(e);
        return;
    }
    if (!port.portOpen()) {
        if (const SerialError e = port.setPortOpen(true)) {
            ModemError(e);
            return;
        }
    }
    if (shared.CallerID == True) {
        shared.IntString += shared.CallerIDString;
    }
    shared.IntString += CR;
    for (const SerialError& e : {port.setInputLen(0), port.setInBufferCount(0)}) {
        if (e) {
            ModemError(e);
            return;
        }
    }
    shared.ModemAttached = true;
    if (const SerialError e = output(shared.IntString)) {
        ModemError(e);
        return;
    }
    m_form.setPowerLamp(true);
}

bool ModemLink::Delay(double seconds) {
    return m_services.waiter.delay(seconds);
}

SerialError ModemLink::output(const QString& text) {
    return m_form.comModem->output(text.toLatin1());
}

bool ModemLink::callCommand(const QString& line) {
    if (!output(line)) {
        return true;
    }
    if (!m_toldThisCall) {
        m_toldThisCall = true;
        tellNotAttached();
    }
    return false;
}

void ModemLink::beginCall() {
    m_toldThisCall = false;
}

void ModemLink::tellNotAttached() {
    m_services.messages.show(MessageBoxes::Icon::Warning, ApplicationTitle,
                             QStringLiteral("The modem is not attached, so nothing was sent to it.\r"
                                            "Press On/Off to attach it."));
}

QString ModemLink::initialisationLine() const {
    const SettingsStore& store = m_services.settings;
    QString line = store.read(Settings::Modem, QStringLiteral("IntString"));
    if (store.read(Settings::Modem, QStringLiteral("CallerID")) == True) {
        line += store.read(Settings::Modem, QStringLiteral("CallerIDString"));
    }
    return line + CR;
}

QString ModemLink::ModemError(const SerialError& error) {
    const ErrorAction action = errorActionFor(error.number);
    if (action.redrawFirst) {
        m_form.repaint();
    }
    if (action.showMessage) {
        m_services.messages.show(MessageBoxes::Icon::Critical, ApplicationTitle, errorMessageText(error));
    }
    if (action.detach) {
        m_services.shared.AutoOn = QStringLiteral("False");
        m_services.shared.ModemAttached = false;
        m_form.setPowerLamp(false);
    }
    return action.verdict;
}

void ModemLink::onDeviceLost(const SerialError& error) {
    m_services.shared.ModemAttached = false;
    m_form.setPowerLamp(false);
    emit deviceLost();
    m_services.messages.show(MessageBoxes::Icon::Warning, ApplicationTitle, errorMessageText(error));
}
