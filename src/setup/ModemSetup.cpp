#include "setup/ModemSetup.h"

#include "console/Services.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"

ModemSetup::ModemSetup(Services& services)
    : m_services(services) {}

SetupChoices ModemSetup::Form_Load() {
    SharedState& s = m_services.shared;
    const SettingsStore& store = m_services.settings;
    using Settings::Reader;
    m_storedPort = store.read(Settings::Port, Reader::Setup);
    const auto port = Convert::toInteger(m_storedPort);
    // A "Port" that is no number keeps the value the telephone's load gave it.
    if (port) {
        s.PortNumber = *port;
    }
    s.IntString = store.read(Settings::IntString, Reader::Setup);
    s.AutoOn = store.read(Settings::AutoOn, Reader::Setup);
    s.CallerID = store.read(Settings::CallerID, Reader::Setup);
    s.CallerIDString = store.read(Settings::CallerIDString, Reader::Setup);
    m_openingAutoOn = s.AutoOn;
    m_openingCallerID = s.CallerID;
    m_openingAutoAns = s.AutoAns;
    m_openingDisCID = s.DisCID;
    m_openingDisCW = s.DisCW;

    SetupChoices shown;
    shown.port = port && s.PortNumber >= 1 && s.PortNumber <= 4 ? s.PortNumber : 0;
    shown.intString = s.IntString;
    shown.callerIdString = s.CallerIDString;
    shown.callerId = Settings::isExactlyTrue(s.CallerID);
    shown.autoOn = Settings::isExactlyTrue(s.AutoOn);
    shown.autoAns = s.AutoAns;
    shown.disCid = s.DisCID;
    shown.disCw = s.DisCW;
    for (int i = 0; i < 4; ++i) {
        shown.devices[static_cast<std::size_t>(i)] = store.portDevice(i + 1);
    }
    return shown;
}

void ModemSetup::optPort_Click(int index) {
    m_services.shared.PortNumber = static_cast<qint16>(index + 1);
}

void ModemSetup::chkAuto_Click(bool checked) {
    m_services.shared.AutoOn = Convert::fromBoolean(checked);
}

void ModemSetup::chkCallerID_Click(bool checked) {
    m_services.shared.CallerID = Convert::fromBoolean(checked);
}

void ModemSetup::chkAutoAns_Click(bool checked) {
    m_services.shared.AutoAns = checked;
}

void ModemSetup::chkDiscid_Click(bool checked) {
    m_services.shared.DisCID = checked;
}

void ModemSetup::chkDisCW_Click(bool checked) {
    m_services.shared.DisCW = checked;
}

namespace {

// A switch held as text, as the box shows it: the stored text while the box still shows what
// that text means (so a hand-written "true" or an empty text is not rewritten behind the user's
// back), otherwise "True" or "False".
QString shownSwitch(bool checked, const QString& openingText) {
    return checked == Settings::isExactlyTrue(openingText) ? openingText : Convert::fromBoolean(checked);
}

} // namespace

void ModemSetup::cmdExit_Click(const SetupChoices& shown) {
    SharedState& s = m_services.shared;
    SettingsStore& store = m_services.settings;
    // What the dialog shows is what is stored: while it was open, an attach may have reloaded the
    // shared values from the store, or an error may have changed them.
    s.IntString = shown.intString;
    s.CallerIDString = shown.callerIdString;
    // With no option button for the stored "Port", it is kept as it stands.
    if (shown.port >= 1 && shown.port <= 4) {
        s.PortNumber = static_cast<qint16>(shown.port);
        store.writeInteger(Settings::Port, s.PortNumber);
    } else {
        store.write(Settings::Port, m_storedPort);
    }
    s.AutoOn = shownSwitch(shown.autoOn, m_openingAutoOn);
    s.CallerID = shownSwitch(shown.callerId, m_openingCallerID);
    s.AutoAns = shown.autoAns;
    s.DisCID = shown.disCid;
    s.DisCW = shown.disCw;
    store.write(Settings::IntString, s.IntString);
    store.write(Settings::AutoOn, s.AutoOn);
    store.write(Settings::CallerID, s.CallerID);
    store.write(Settings::CallerIDString, s.CallerIDString);
    store.writeSwitch(Settings::AutoAns, s.AutoAns);
    store.writeSwitch(Settings::DisCID, s.DisCID);
    store.writeSwitch(Settings::DisCW, s.DisCW);
    writeDevices(shown.devices);
}

void ModemSetup::writeDevices(const std::array<QString, 4>& typed) {
    SettingsStore& store = m_services.settings;
    for (int i = 0; i < 4; ++i) {
        const int port = i + 1;
        const QString path = typed[static_cast<std::size_t>(i)].trimmed();
        // An emptied box means the port's usual device; a path that did not change is not written,
        // so a store that never named devices does not start naming them.
        if (path.isEmpty()) {
            if (store.contains(Settings::portDevice(port))) {
                store.setPortDevice(port, QString());
            }
        } else if (path != store.portDevice(port)) {
            store.setPortDevice(port, path);
        }
    }
}

void ModemSetup::cmdCancel_Click() {
    SharedState& s = m_services.shared;
    s.AutoAns = m_openingAutoAns;
    s.DisCID = m_openingDisCID;
    s.DisCW = m_openingDisCW;
}
