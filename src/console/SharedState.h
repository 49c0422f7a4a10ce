#pragma once

#include <QString>
#include <optional>

class SettingsStore;

// Conversions between the store's texts and the values the program holds. A text that cannot
// be converted is a conversion error (std::nullopt); callers decide what it means.
namespace Convert {
// Decimal text (surrounding blanks allowed) to a 16-bit integer; anything else, or a value out
// of the 16-bit range, cannot be converted.
std::optional<qint16> toInteger(const QString& text);
// "True"/"False" in any letter case, or a number (0 is false, any other is true).
std::optional<bool> toBoolean(const QString& text);
// Switches are stored as "True" and "False".
QString fromBoolean(bool value);
} // namespace Convert

// The module-level variables that every window shares. All start as 0, false or empty.
struct SharedState {
    qint16 PortNumber = 0;
    QString IntString;
    bool ModemAttached = false;
    QString AutoOn;
    QString CallerID;
    QString CallerIDString;
    bool CallActive = false;
    bool AutoAns = false;
    bool DisCID = false;
    bool DisCW = false;
    QString SelectedEntry;
};

// Which stored text could not be converted by a settings load.
struct ConversionError {
    QString key;
    QString text;
};

// The one load sequence for the "Modem" settings, used by the main window's load and by every
// attach. Fills `shared` and `speakerLevel` in the fixed order Port, IntString, AutoOn, CallerID,
// CallerIDString, AutoAns, DisCID, DisCW, Speaker, and stops at the first text that cannot be
// converted, leaving the earlier values loaded and the rest as they were.
std::optional<ConversionError> loadModemSettings(const SettingsStore& store, SharedState& shared, qint16& speakerLevel);
