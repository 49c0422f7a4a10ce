#pragma once

#include <QString>
#include <memory>

class MessageBoxes;
class QObject;

// The per-user settings store: text values addressed by section and key, all under the
// application name "Vantrel" (one INI file, $XDG_CONFIG_HOME/Vantrel.conf). Every value is
// stored and returned as text. Reads and writes reach the file before they return, so
// another program (or a hand edit) sees a write at once, and a read sees the file as it is now.
// A write changes only the line of its key: what a person wrote into the file (comments, values
// in their own spelling, keys this program does not know) stays as it was
// (console/LineKeepingIniFormat.h).
class SettingsStore {
public:
    // The user's own store: Vantrel.conf in the XDG configuration folder.
    static QString defaultPath();

    explicit SettingsStore(QString filePath = defaultPath());
    ~SettingsStore();

    const QString& filePath() const { return m_filePath; }

    // The stored text, or `defaultText` when the key is absent. A value that a hand-edited file
    // holds unquoted (with commas, semicolons or quotes) reads back as the text that stands in
    // the file.
    QString read(const QString& section, const QString& key, const QString& defaultText = QString()) const;
    // False when the file could not be written (a read-only file or folder, a full disk); the
    // value then lives on in this process only.
    bool write(const QString& section, const QString& key, const QString& text);
    bool contains(const QString& section, const QString& key) const;

    // Our own group "Ports": key "1" to "4" gives a port number's device path; absent, port n
    // is /dev/ttyS(n-1).
    QString portDevice(int portNumber) const;
    void setPortDevice(int portNumber, const QString& devicePath);

    // From now on a write that fails is told to the user with a warning in `messages`: once, and
    // again only after a write has succeeded in between. The box is posted to the event loop, not
    // opened inside the write, which may run in the middle of any handler. `messages` must
    // outlive the store.
    void reportWriteFailuresTo(MessageBoxes& messages);

private:
    QString m_filePath;
    MessageBoxes* m_failureMessages = nullptr;
    // Pending warnings die with the store.
    std::unique_ptr<QObject> m_failureContext;
    bool m_failureTold = false;
};

// The section names and the one key table of the store.
namespace Settings {
inline const QString Modem = QStringLiteral("Modem");
inline const QString PhoneBook = QStringLiteral("PhoneBook");
inline const QString Ports = QStringLiteral("Ports");
// Our own group of the network's service codes (call/ServiceCodes.h).
inline const QString Services = QStringLiteral("Services");
} // namespace Settings
