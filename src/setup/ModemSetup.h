#pragma once

#include "modem/ModemVoice.h"

#include <QString>
#include <array>

struct Services;
namespace Settings {
struct Key;
}

// What the modem setup dialog shows and the user edits: the port option (1 to 4, or 0 when no
// option stands for the stored "Port"), the two strings, the switches, the device typed for
// each port number, and the voice command set.
struct SetupChoices {
    int port = 0;
    QString intString;
    QString callerIdString;
    bool autoOn = false;
    bool callerId = false;
    bool autoAns = false;
    bool disCid = false;
    bool disCw = false;
    std::array<QString, 4> devices;
    // The voice command set (Settings::Rockwell, V253 or Detect) whose strings the two boxes
    // hold; any other text, when the stored one is none of them, selects no choice.
    QString commandSet;
    // How the user talks with the V.253 set (Settings::Speakerphone or Telephone); any other
    // text, when the stored one is neither, checks no option.
    QString talkThrough;
    // Shown, never edited: what the latest attach found of the modem, whether "Talk through"
    // applies to the set the strings belong to (the V.253 set), and whether the modem listed a
    // speakerphone of its own.
    QString found;
    bool talkThroughApplies = false;
    bool speakerphoneListed = false;
};

// The modem setup dialog's logic. It edits the shared variables while the dialog is open and
// writes the settings only on Exit; the modem picks them up at its next attach, which reads the
// store again. The dialog (setup/frmSetup) shows what the opening returns and hands back what
// it shows.
class ModemSetup {
public:
    explicit ModemSetup(Services& services);

    // The opening: reads the stored settings into the shared variables and returns what the
    // dialog shows.
    SetupChoices Form_Load();
    // The click handlers act at once on the shared variables.
    void optPort_Click(int index);
    void chkAuto_Click(bool checked);
    void chkCallerID_Click(bool checked);
    void chkAutoAns_Click(bool checked);
    void chkDiscid_Click(bool checked);
    void chkDisCW_Click(bool checked);
    // Another command set chosen: keeps the strings `shown` holds for the set shown until now and
    // returns the dialog with the chosen set's strings. Nothing is stored or put in memory before
    // Exit: the attach reads the set from the store.
    SetupChoices cboCommandSet_Click(const QString& chosen, SetupChoices shown);
    // Stores what the dialog shows and sets the shared variables from it.
    void cmdExit_Click(const SetupChoices& shown);
    // Puts back the switches Send and the caller-ID handling read from memory; nothing is stored.
    void cmdCancel_Click();

private:
    using Set = ModemVoice::Set;
    struct Strings {
        QString intString;
        QString callerIdString;
    };

    Set setOf(const QString& commandSet) const;
    Strings& stringsOf(Set set) { return m_strings[static_cast<std::size_t>(set)]; }
    void showSet(SetupChoices& shown);
    void writeChoice(const Settings::Key& key, const QString& shown, QString& inMemory);
    void writeDevices(const std::array<QString, 4>& typed);

    Services& m_services;
    // "Port" as stored: kept as it is when no option button stands for it.
    QString m_storedPort;
    // The switches in memory at the opening, put back by Cancel: Send and the caller-ID handling
    // read them from memory, so an abandoned edit must not stay in force.
    bool m_openingAutoAns = false;
    bool m_openingDisCID = false;
    bool m_openingDisCW = false;
    // The switches held as text, as the opening read them.
    QString m_openingAutoOn;
    QString m_openingCallerID;
    // The strings of each set (indexed by ModemVoice::Set) as the user left them, and the set
    // whose strings the boxes show.
    std::array<Strings, 2> m_strings;
    Set m_shownSet = Set::Rockwell;
    // The set "Detect" stands for: the one the latest attach found, Rockwell before any.
    Set m_detectedSet = Set::Rockwell;
};
