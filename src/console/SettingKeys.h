#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

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

// Every key of the settings store, spelt here and nowhere else: its group, what its text means,
// and the default each reader takes when it is absent. The store reads and writes them through
// its typed helpers (console/SettingsStore.h).
namespace Settings {

inline const QString Modem = QStringLiteral("Modem");
inline const QString PhoneBook = QStringLiteral("PhoneBook");
// Our own group of the device path behind each port number.
inline const QString Ports = QStringLiteral("Ports");
// Our own group of the network's service codes (call/ServiceCodes.h).
inline const QString Services = QStringLiteral("Services");
// Our own group of the call history's switches.
inline const QString Calls = QStringLiteral("Calls");

// What a key's text means. Every value is stored as text.
enum class Form {
    Text,        // taken as it stands
    Switch,      // "True" or "False"
    Integer,     // a 16-bit integer as plain decimal text
    DevicePath,  // a serial device; blank means the port's usual device
    ServiceCode, // a network service code; only its dialable characters count
    Choice,      // one of a few words (Settings::choicesOf)
};

// A reader supplies its own default for an absent key, and two readers of the same key differ.
enum class Reader {
    Load,  // the one load sequence (the main window's load and every attach), and every other reader
    Setup, // the setup dialog's load, which offers the user a starting point
};

struct Key {
    // For the table below: texts in Latin-1, "" for the empty text.
    Key(const QString& section, const char* name, Form form, const char* loadDefault, const char* setupDefault);
    Key(QString section, QString name, Form form, QString loadDefault, QString setupDefault);

    const QString& defaultFor(Reader reader) const { return reader == Reader::Setup ? setupDefault : loadDefault; }

    QString section;
    QString name;
    Form form;
    QString loadDefault;
    QString setupDefault;
};

// clang-format off
// Group "Modem". The load sequence reads the first nine, in this order.
//                                 group  key               form           default  setup dialog's default
inline const Key Port             {Modem, "Port",           Form::Integer, "1",     "1"};
inline const Key IntString        {Modem, "IntString",      Form::Text,    "",      "AT#CLS=8#VLS=6"};
inline const Key AutoOn           {Modem, "AutoOn",         Form::Switch,  "False", "False"};
inline const Key CallerID         {Modem, "CallerID",       Form::Switch,  "",      ""};
inline const Key CallerIDString   {Modem, "CallerIDString", Form::Text,    "",      "#CID=1"};
inline const Key AutoAns          {Modem, "AutoAns",        Form::Switch,  "False", "False"};
inline const Key DisCID           {Modem, "DisCID",         Form::Switch,  "False", "False"};
inline const Key DisCW            {Modem, "DisCW",          Form::Switch,  "False", "False"};
inline const Key Speaker          {Modem, "Speaker",        Form::Integer, "5",     "5"};
inline const Key LastDialed       {Modem, "LastDialed",     Form::Text,    "",      ""};
// The modem's voice command set and, for the V.253 set, its own strings and the way the user
// talks. The load sequence reads them after the nine above.
inline const Key CommandSet         {Modem, "CommandSet",         Form::Choice, "Rockwell",    "Rockwell"};
inline const Key V253IntString      {Modem, "V253IntString",      Form::Text,   "AT+FCLASS=8", "AT+FCLASS=8"};
inline const Key V253CallerIDString {Modem, "V253CallerIDString", Form::Text,   "+VCID=1",     "+VCID=1"};
inline const Key TalkThrough        {Modem, "TalkThrough",        Form::Choice, "Telephone",   "Telephone"};

// Group "Services": the code that activates each feature and the one that cancels it; absent,
// the North American code.
inline const Key CallForward      {Services, "CallForward",       Form::ServiceCode, "*72", "*72"};
inline const Key CallForwardCancel{Services, "CallForwardCancel", Form::ServiceCode, "*73", "*73"};
inline const Key Repeat           {Services, "Repeat",            Form::ServiceCode, "*66", "*66"};
inline const Key RepeatCancel     {Services, "RepeatCancel",      Form::ServiceCode, "*86", "*86"};
inline const Key LastCaller       {Services, "LastCaller",        Form::ServiceCode, "*69", "*69"};
inline const Key LastCallerCancel {Services, "LastCallerCancel",  Form::ServiceCode, "*89", "*89"};

// Group "Calls": callers refused as a class (private, out of area), and whether a refused caller
// is answered and hung up on at once, which stops the ringing.
inline const Key BlockPrivate     {Calls, "BlockPrivate",   Form::Switch, "False", "False"};
inline const Key BlockOutOfArea   {Calls, "BlockOutOfArea", Form::Switch, "False", "False"};
inline const Key HangUpBlocked    {Calls, "HangUpBlocked",  Form::Switch, "False", "False"};
// clang-format on

// Group "PhoneBook": entry i (0 to 11) is key "i" (its first part, the name) and key "ia" (its
// second part, the number).
inline constexpr int PhoneBookEntryCount = 12;
Key phoneBookName(int index);
Key phoneBookNumber(int index);

// Group "Ports": key "n" (1 to 4) names port n's device; absent or blank, it is /dev/ttyS(n-1).
inline constexpr int PortCount = 4;
Key portDevice(int portNumber);

// The words of "CommandSet": the Rockwell "#" voice commands (what an absent key means), the V.253
// "+V" ones, or the set the modem is found to take at each attach.
inline const QString Rockwell = QStringLiteral("Rockwell");
inline const QString V253 = QStringLiteral("V.253");
inline const QString Detect = QStringLiteral("Detect");
// The words of "TalkThrough" (the V.253 set): the modem's own speakerphone, or a telephone on the
// same line that the user lifts.
inline const QString Speakerphone = QStringLiteral("Speakerphone");
inline const QString Telephone = QStringLiteral("Telephone");
// The words a Choice key takes (empty for any other key).
QStringList choicesOf(const Key& key);

// Every key the program reads or writes: the twelve phone-book entries and the four ports.
QList<Key> all();

// "AutoOn" and "CallerID" are held in memory as the text stored, and that text is taken two ways.
// The attach and the setup dialog take it as on only when it is exactly "True" ("true" is off).
bool isExactlyTrue(const QString& switchText);
// The main window's load, deciding whether to attach at start, reads it as a truth value: "True"
// or "False" in any letter case, or a number; anything else is off.
bool readsAsTrue(const QString& switchText);

} // namespace Settings
