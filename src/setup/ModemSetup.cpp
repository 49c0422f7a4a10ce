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
    stringsOf(Set::Rockwell) = {s.IntString, s.CallerIDString};
    stringsOf(Set::V253) = {store.read(Settings::V253IntString, Reader::Setup),
                            store.read(Settings::V253CallerIDString, Reader::Setup)};
    m_detectedSet = s.Voice.detected ? s.Voice.set : Set::Rockwell;

    SetupChoices shown;
    shown.port = port && s.PortNumber >= 1 && s.PortNumber <= 4 ? s.PortNumber : 0;
    // No set chosen yet: a first start (nothing stored to initialise the modem with) lets the
    // attach ask the modem; an existing store keeps the set it has always used.
    if (store.contains(Settings::CommandSet)) {
        shown.commandSet = store.read(Settings::CommandSet);
    } else {
        shown.commandSet = store.contains(Settings::IntString) ? Settings::Rockwell : Settings::Detect;
    }
    m_shownSet = setOf(shown.commandSet);
    showSet(shown);
    shown.talkThrough = store.read(Settings::TalkThrough, Reader::Setup);
    shown.found = s.Voice.detected ? s.Voice.describe() : QStringLiteral("Not detected yet");
    shown.speakerphoneListed = s.Voice.v253() && s.Voice.speakerphone();
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

SetupChoices ModemSetup::cboCommandSet_Click(const QString& chosen, SetupChoices shown) {
    stringsOf(m_shownSet) = {shown.intString, shown.callerIdString};
    shown.commandSet = chosen;
    m_shownSet = setOf(chosen);
    showSet(shown);
    return shown;
}

// A word that is no choice (a hand edit) initialises the modem as an absent key would.
ModemSetup::Set ModemSetup::setOf(const QString& commandSet) const {
    if (commandSet == Settings::V253) {
        return Set::V253;
    }
    return commandSet == Settings::Detect ? m_detectedSet : Set::Rockwell;
}

void ModemSetup::showSet(SetupChoices& shown) {
    shown.intString = stringsOf(m_shownSet).intString;
    shown.callerIdString = stringsOf(m_shownSet).callerIdString;
    shown.talkThroughApplies = m_shownSet == Set::V253;
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
    stringsOf(m_shownSet) = {shown.intString, shown.callerIdString};
    const Strings& rockwell = stringsOf(Set::Rockwell);
    const Strings& v253 = stringsOf(Set::V253);
    s.IntString = rockwell.intString;
    s.CallerIDString = rockwell.callerIdString;
    s.V253IntString = v253.intString;
    s.V253CallerIDString = v253.callerIdString;
    // The strings shown are stored as they stand; the other set's only when they changed, so a
    // store that never named them does not start naming them. An absent "IntString" is written
    // all the same: its absence is what tells the telephone's load of a first start.
    const auto writeString = [&](Set set, const Settings::Key& key, const QString& text) {
        if (set == m_shownSet || text != store.read(key, Settings::Reader::Setup) ||
            (&key == &Settings::IntString && !store.contains(key))) {
            store.write(key, text);
        }
    };
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
    writeString(Set::Rockwell, Settings::IntString, s.IntString);
    store.write(Settings::AutoOn, s.AutoOn);
    store.write(Settings::CallerID, s.CallerID);
    writeString(Set::Rockwell, Settings::CallerIDString, s.CallerIDString);
    store.writeSwitch(Settings::AutoAns, s.AutoAns);
    store.writeSwitch(Settings::DisCID, s.DisCID);
    store.writeSwitch(Settings::DisCW, s.DisCW);
    writeChoice(Settings::CommandSet, shown.commandSet, s.CommandSet);
    writeString(Set::V253, Settings::V253IntString, s.V253IntString);
    writeString(Set::V253, Settings::V253CallerIDString, s.V253CallerIDString);
    writeChoice(Settings::TalkThrough, shown.talkThrough, s.TalkThrough);
    writeDevices(shown.devices);
}

// With no choice shown, the stored text (a hand edit) stays as it is, like a "Port" no option
// stands for. An absent key that reads as the choice shown stays absent: an Exit that changed
// nothing of it adds no key.
void ModemSetup::writeChoice(const Settings::Key& key, const QString& shown, QString& inMemory) {
    if (!Settings::choicesOf(key).contains(shown)) {
        return;
    }
    inMemory = shown;
    SettingsStore& store = m_services.settings;
    if (store.contains(key) || shown != key.loadDefault) {
        store.write(key, shown);
    }
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
