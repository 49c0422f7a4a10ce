#pragma once

#include "console/SettingKeys.h"
#include "modem/ModemVoice.h"

#include <QList>
#include <QString>

class SettingsStore;

// The module-level variables that every window shares. All start as 0, false or empty.
struct SharedState {
    qint16 PortNumber = 0;
    // The stored initialisation command, as the store and the setup dialog hold it.
    QString IntString;
    // The complete initialisation line the latest attach built from the settings and sent (the
    // command, the caller-ID tail when caller ID is on, a CR); empty when that attach stopped
    // before building it.
    QString InitLine;
    bool ModemAttached = false;
    QString AutoOn;
    QString CallerID;
    QString CallerIDString;
    bool CallActive = false;
    bool AutoAns = false;
    bool DisCID = false;
    bool DisCW = false;
    // The voice command set as stored ("Rockwell", "V.253" or "Detect"), the V.253 set's own
    // strings, and how the user talks with it ("Speakerphone" or "Telephone").
    QString CommandSet;
    QString V253IntString;
    QString V253CallerIDString;
    QString TalkThrough;
    // What the latest attach found the modem to take (or took it to take, when the set is chosen).
    ModemVoice Voice;
};

// Which stored text could not be converted by a settings load.
struct ConversionError {
    QString key;
    QString text;
    friend bool operator==(const ConversionError&, const ConversionError&) = default;
};

// What a settings load does with a text that cannot be converted.
enum class OnBadValue {
    Stop,       // stop there: the earlier values are loaded, the rest keep what they held
    UseDefault, // take that key's default and go on
};

// The one load sequence for the "Modem" settings, used by the main window's load and by every
// attach. Fills `shared` and `speakerLevel` in the fixed order Port, IntString, AutoOn, CallerID,
// CallerIDString, AutoAns, DisCID, DisCW, Speaker, then CommandSet, TalkThrough, V253IntString,
// V253CallerIDString. Returns the texts that could not be converted.
QList<ConversionError> loadModemSettings(const SettingsStore& store, SharedState& shared, qint16& speakerLevel,
                                         OnBadValue onBadValue = OnBadValue::Stop);
