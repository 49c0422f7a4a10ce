#pragma once

#include <QString>

// The per-user settings store: text values addressed by section and key, all under the
// application name "Vantrel" (one INI file, $XDG_CONFIG_HOME/Vantrel.conf). Every value is
// stored and returned as text. Reads and writes reach the file before they return, so
// another program (or a hand edit) sees a write at once, and a read sees the file as it is now.
class SettingsStore {
public:
    // The user's own store: Vantrel.conf in the XDG configuration folder.
    static QString defaultPath();

    explicit SettingsStore(QString filePath = defaultPath());

    const QString& filePath() const { return m_filePath; }

    // The stored text, or `defaultText` when the key is absent. A value that a hand-edited file
    // holds unquoted (with commas or semicolons that the INI reader would split or cut) reads
    // back as the text that stands in the file.
    QString read(const QString& section, const QString& key, const QString& defaultText = QString()) const;
    void write(const QString& section, const QString& key, const QString& text);
    bool contains(const QString& section, const QString& key) const;

    // Our own group "Ports": key "1" to "4" gives a port number's device path; absent, port n
    // is /dev/ttyS(n-1).
    QString portDevice(int portNumber) const;
    void setPortDevice(int portNumber, const QString& devicePath);

private:
    QString m_filePath;
};

// The section names and the one key table of the store.
namespace Settings {
inline const QString Modem = QStringLiteral("Modem");
inline const QString PhoneBook = QStringLiteral("PhoneBook");
inline const QString Ports = QStringLiteral("Ports");
// Our own group of the network's service codes (call/ServiceCodes.h).
inline const QString Services = QStringLiteral("Services");
} // namespace Settings
