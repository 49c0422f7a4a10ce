#include "modem/ModemLink.h"

#include "console/MessageBoxes.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "console/frmPhone.h"
#include "modem/ErrorTable.h"
#include "modem/SerialControl.h"
#include "modem/Waiter.h"
#include "platform/Controls.h"

#include <QStringList>
#include <utility>

namespace {
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
    const QList<ConversionError> toldAtLoad = std::exchange(m_toldAtLoad, {});
    if (const auto bad = loadModemSettings(m_services.settings, shared, m_form.state.SpeakerLevel); !bad.isEmpty()) {
        // A stored text that is not a number or a switch ends the attach before the port is
        // touched. An attach that silently did nothing would look like one that worked.
        if (!toldAtLoad.contains(bad.first())) {
            tellUnusable(bad, false);
        }
        ModemError({ErrorNumber::TypeMismatch, QStringLiteral("The setting \"%1\" holds \"%2\", which cannot be used.")
                                                   .arg(bad.first().key, bad.first().text)});
        return;
    }
    m_form.Slider1->setValue(m_form.state.SpeakerLevel);
    if (!Settings::isExactlyTrue(shared.AutoOn) && shared.ModemAttached) {
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
    if (Settings::isExactlyTrue(shared.CallerID)) {
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
    QString line = store.read(Settings::IntString);
    if (Settings::isExactlyTrue(store.read(Settings::CallerID))) {
        line += store.read(Settings::CallerIDString);
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
        m_services.shared.AutoOn = Convert::fromBoolean(false);
        m_services.shared.ModemAttached = false;
        m_form.setPowerLamp(false);
    }
    return action.verdict;
}

namespace {

// How the user puts a stored setting right from within the program.
QString howToCorrect(const QString& key) {
    if (key == Settings::Speaker.name) {
        return QStringLiteral("move the Speaker Volume slider");
    }
    if (key == Settings::Port.name) {
        return QStringLiteral("choose a Comm Port in Setup and press Exit");
    }
    return QStringLiteral("set its switch in Setup and press Exit");
}

} // namespace

void ModemLink::tellUnusable(const QList<ConversionError>& unusable, bool atLoad) {
    QStringList lines;
    for (const ConversionError& bad : unusable) {
        lines << QStringLiteral("\"%1\" = \"%2\": %3").arg(bad.key, bad.text, howToCorrect(bad.key));
    }
    const QString path = m_services.settings.filePath();
    const QString text =
        atLoad ? QStringLiteral("These modem settings in %1 cannot be used:\r%2\rUntil they are corrected, the "
                                "telephone shows their defaults, but it cannot attach to the modem. Correct them as "
                                "shown, or remove those lines from the file.")
                     .arg(path, lines.join(QLatin1Char('\r')))
               : QStringLiteral("The modem was not attached: this setting in %1 cannot be used:\r%2\rCorrect it as "
                                "shown, or remove its line from the file, then press On/Off again.")
                     .arg(path, lines.join(QLatin1Char('\r')));
    m_services.messages.show(MessageBoxes::Icon::Warning, ApplicationTitle, text);
    if (atLoad) {
        m_toldAtLoad = unusable;
    }
}

void ModemLink::onDeviceLost(const SerialError& error) {
    m_services.shared.ModemAttached = false;
    m_form.setPowerLamp(false);
    emit deviceLost();
    m_services.messages.show(MessageBoxes::Icon::Warning, ApplicationTitle, errorMessageText(error));
}
