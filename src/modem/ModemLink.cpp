#include "modem/ModemLink.h"

#include "console/MessageBoxes.h"
#include "console/PhoneFace.h"
#include "console/PhoneState.h"
#include "console/Services.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "modem/DeviceWatch.h"
#include "modem/ErrorTable.h"
#include "modem/HeldDeviceAdvice.h"
#include "modem/ModemProbe.h"
#include "modem/SerialControl.h"
#include "modem/Waiter.h"

#include <QStringList>
#include <utility>

namespace {

// How long after a device path appeared whose device could not be opened yet it is tried once
// more: the system sets a new device's permissions a moment after making its node.
constexpr double SecondLookSeconds = 2;

// The stored initialisation command, the caller-ID tail when caller ID is exactly "True", a CR.
// Extended commands on one line are separated by ";" (V.250), so a V.253 tail gets one; the
// Rockwell strings are taken as they stand.
QString lineFrom(ModemVoice::Set set, const QString& intString, const QString& callerID,
                 const QString& callerIDString) {
    QString tail = Settings::isExactlyTrue(callerID) ? callerIDString : QString();
    if (set == ModemVoice::Set::V253 && tail.startsWith(QLatin1Char('+')) && !intString.endsWith(QLatin1Char(';'))) {
        tail.prepend(QLatin1Char(';'));
    }
    return intString + tail + QLatin1Char('\r');
}

} // namespace

ModemLink::ModemLink(Services& services, PhoneState& state, SerialControl& comModem, PhoneFace& face, QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_state(state)
    , m_comModem(comModem)
    , m_face(face)
    , m_watch(new DeviceWatch(services.waiter, this)) {
    connect(&m_comModem, &SerialControl::deviceLost, this, &ModemLink::onDeviceLost);
    connect(m_watch, &DeviceWatch::present, this, &ModemLink::reattach);
}

void ModemLink::modem_int() {
    // An attach that is asking the modem what it takes finishes first (On/Off pressed meanwhile).
    if (m_state.Probing) {
        return;
    }
    m_watch->stop();
    if (const SerialError e = attach()) {
        ModemError(e);
    }
}

SerialError ModemLink::attach() {
    SharedState& shared = m_services.shared;
    const QList<ConversionError> toldAtLoad = std::exchange(m_toldAtLoad, {});
    if (const auto bad = loadModemSettings(m_services.settings, shared, m_state.SpeakerLevel); !bad.isEmpty()) {
        // A stored text that is not a number or a switch ends the attach before the port is
        // touched. An attach that silently did nothing would look like one that worked.
        if (!toldAtLoad.contains(bad.first())) {
            tellUnusable(bad, false);
        }
        return {ErrorNumber::TypeMismatch, QStringLiteral("The setting \"%1\" holds \"%2\", which cannot be used.")
                                               .arg(bad.first().key, bad.first().text)};
    }
    shared.InitLine.clear();
    m_face.setSpeakerLevel(m_state.SpeakerLevel);
    if (!Settings::isExactlyTrue(shared.AutoOn) && shared.ModemAttached) {
        return {};
    }
    SerialControl& port = m_comModem;
    if (const SerialError e = port.setCommPort(shared.PortNumber)) {
        return e;
    }
    if (!port.portOpen()) {
        if (const SerialError e = port.setPortOpen(true)) {
            return e;
        }
    }
    if (const SerialError e = learnVoice()) {
        return e;
    }
    shared.InitLine =
        shared.Voice.v253()
            ? lineFrom(ModemVoice::Set::V253, shared.V253IntString, shared.CallerID, shared.V253CallerIDString)
            : lineFrom(ModemVoice::Set::Rockwell, shared.IntString, shared.CallerID, shared.CallerIDString);
    for (const SerialError& e : {port.setInputLen(0), port.setInBufferCount(0)}) {
        if (e) {
            return e;
        }
    }
    shared.ModemAttached = true;
    if (const SerialError e = output(shared.InitLine)) {
        return e;
    }
    m_face.setLit(PhoneFace::Light::Power, true);
    emit attached();
    return {};
}

bool ModemLink::Delay(double seconds) {
    return m_services.waiter.delay(seconds);
}

SerialError ModemLink::output(const QString& text) {
    return m_comModem.output(text.toLatin1());
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
    if (m_services.shared.Voice.v253()) {
        return lineFrom(ModemVoice::Set::V253, store.read(Settings::V253IntString), store.read(Settings::CallerID),
                        store.read(Settings::V253CallerIDString));
    }
    return lineFrom(ModemVoice::Set::Rockwell, store.read(Settings::IntString), store.read(Settings::CallerID),
                    store.read(Settings::CallerIDString));
}

SerialError ModemLink::resetModem() {
    const SerialError e = output(QStringLiteral("ATZ\r"));
    const SharedState& shared = m_services.shared;
    // A V.253 modem may forget caller ID at a reset; it is asked for again at once.
    if (!e && shared.Voice.v253() && Settings::isExactlyTrue(shared.CallerID) && !shared.V253CallerIDString.isEmpty()) {
        QString command = shared.V253CallerIDString;
        if (command.startsWith(QLatin1Char(';'))) {
            command.remove(0, 1);
        }
        output(QStringLiteral("AT") + command + QLatin1Char('\r'));
    }
    return e;
}

SerialError ModemLink::learnVoice() {
    SharedState& shared = m_services.shared;
    if (shared.CommandSet != Settings::Detect && shared.CommandSet != Settings::V253) {
        shared.Voice = ModemVoice{};
        return {};
    }
    // The receive handling leaves the modem's answers to the probe meanwhile.
    m_state.Probing = true;
    ModemProbe probe(m_comModem, m_services.waiter);
    ModemVoice found;
    const ModemProbe::Outcome outcome =
        shared.CommandSet == Settings::Detect ? probe.detect(&found) : probe.listV253(&found);
    m_state.Probing = false;
    shared.Voice = found;
    const QString port = QStringLiteral("port %1 (%2)").arg(shared.PortNumber).arg(m_comModem.devicePath());
    switch (outcome) {
    case ModemProbe::Outcome::Found:
        return {};
    case ModemProbe::Outcome::Gone:
        return {ErrorNumber::PortNotOpen, QStringLiteral("The port closed while the modem was asked what it takes.")};
    case ModemProbe::Outcome::Silent:
        m_comModem.setPortOpen(false);
        return {ErrorNumber::NoModem,
                QStringLiteral("Nothing answered on %1 within %2 seconds: there seems to be no modem behind it. Check "
                               "that the modem is plugged in and switched on, or choose its port in Setup.")
                    .arg(port)
                    .arg(ModemProbe::AnswerSeconds)};
    case ModemProbe::Outcome::NoVoice:
        break;
    }
    m_comModem.setPortOpen(false);
    return {ErrorNumber::NoModem,
            QStringLiteral("The modem on %1 answers, but takes neither voice command set (V.253 \"+V\" or Rockwell "
                           "\"#\"): it cannot place or answer calls. A voice modem is needed.")
                .arg(port)};
}

QString ModemLink::ModemError(const SerialError& error) {
    if (!isHeld(error)) {
        return report(error);
    }
    const SerialError told = heldError(QString());
    // Asking may have let events run: an attach or the close that came meanwhile has the last word.
    if (m_comModem.portOpen() || m_state.Unloading) {
        return errorActionFor(error.number).verdict;
    }
    return report(told);
}

bool ModemLink::isHeld(const SerialError& error) const {
    return error.number == ErrorNumber::PortAlreadyOpen && !m_comModem.portOpen();
}

SerialError ModemLink::heldError(const QString& lead) const {
    if (HeldDeviceAdvice* advice = m_services.heldDeviceAdvice) {
        if (const QString text = advice->adviceFor(m_comModem.realDevicePath()); !text.isEmpty()) {
            return {ErrorNumber::PortAlreadyOpen, lead + text};
        }
    }
    const SerialError held = m_comModem.heldError();
    return {held.number, lead + held.description};
}

QString ModemLink::report(const SerialError& error) {
    const ErrorAction action = errorActionFor(error.number);
    if (action.redrawFirst) {
        m_face.view().redraw();
    }
    if (action.showMessage) {
        m_services.messages.show(MessageBoxes::Icon::Critical, ApplicationTitle, errorMessageText(error));
    }
    if (action.detach) {
        m_services.shared.AutoOn = Convert::fromBoolean(false);
        m_services.shared.ModemAttached = false;
        m_face.setLit(PhoneFace::Light::Power, false);
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
    if (key == Settings::CommandSet.name || key == Settings::TalkThrough.name) {
        return QStringLiteral("choose one in Setup and press Exit");
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
    m_face.setLit(PhoneFace::Light::Power, false);
    emit deviceLost();
    m_lostChoice = chosenDevice();
    // Watching before the box: a modem plugged back in while the user reads it counts.
    if (!m_state.Unloading) {
        m_watch->start([this] { return m_comModem.devicePath(); });
    }
    m_services.messages.show(MessageBoxes::Icon::Warning, ApplicationTitle, errorMessageText(error));
}

void ModemLink::stopWaitingForDevice() {
    m_watch->stop();
}

QString ModemLink::chosenDevice() const {
    const SettingsStore& store = m_services.settings;
    const QString port = store.read(Settings::Port);
    const std::optional<qint16> number = Convert::toInteger(port);
    return port + QLatin1Char('\n') + (number ? store.portDevice(*number) : QString());
}

void ModemLink::reattach() {
    if (m_state.Probing) {
        return;
    }
    if (m_state.Unloading || m_services.shared.ModemAttached || chosenDevice() != m_lostChoice) {
        m_watch->stop();
        return;
    }
    const SerialError e = attach();
    if (!e) {
        m_watch->stop();
        return;
    }
    if (isHeld(e)) {
        if (m_watch->tryAgainWhileHeld() == DeviceWatch::Held::TimeIsUp) {
            const SerialError told = heldError(
                QStringLiteral("The modem is back, but another program has held it for two minutes. Once it is "
                               "free, press On/Off.\r"));
            if (!m_comModem.portOpen() && !m_state.Unloading) {
                report(told);
            }
        }
        return;
    }
    if (e.number == ErrorNumber::InvalidPort) {
        m_watch->lookAgainAfter(SecondLookSeconds);
        return;
    }
    m_watch->stop();
    ModemError(e);
}
