#pragma once

#include "console/SettingKeys.h"

#include <QString>
#include <memory>
#include <optional>

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

    // The same through the key table (console/SettingKeys.h): an absent key reads as the default
    // that `reader` takes.
    QString read(const Settings::Key& key, Settings::Reader reader = Settings::Reader::Load) const;
    // A switch: its text converted; absent, its default; std::nullopt when it is neither.
    std::optional<bool> readSwitch(const Settings::Key& key) const;
    bool write(const Settings::Key& key, const QString& text);
    // Switches are written as "True" and "False", numbers as plain decimal text.
    bool writeSwitch(const Settings::Key& key, bool value);
    bool writeInteger(const Settings::Key& key, int value);
    bool contains(const Settings::Key& key) const;

    // The device path of a port number (group "Ports"): what the store names, else the usual one.
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
