#include "console/SettingsStore.h"

#include "console/LineKeepingIniFormat.h"
#include "console/MessageBoxes.h"

#include <QObject>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

QString SettingsStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Vantrel.conf");
}

SettingsStore::SettingsStore(QString filePath)
    : m_filePath(std::move(filePath)) {}

namespace {

QString groupKey(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

} // namespace

SettingsStore::~SettingsStore() = default;

QString SettingsStore::read(const QString& section, const QString& key, const QString& defaultText) const {
    QSettings settings(m_filePath, LineKeepingIniFormat::format());
    const QVariant value = settings.value(groupKey(section, key));
    if (!value.isValid()) {
        return defaultText;
    }
    // Only a quoted list that Qt's writer made reads as a list; its items meant one text.
    if (value.userType() == QMetaType::QStringList || value.userType() == QMetaType::QVariantList) {
        return value.toStringList().join(QStringLiteral(", "));
    }
    return value.toString();
}

bool SettingsStore::write(const QString& section, const QString& key, const QString& text) {
    QSettings settings(m_filePath, LineKeepingIniFormat::format());
    settings.setValue(groupKey(section, key), text);
    settings.sync();
    const bool written = settings.status() == QSettings::NoError;
    if (written) {
        m_failureTold = false;
    } else if (m_failureMessages && !m_failureTold) {
        m_failureTold = true;
        MessageBoxes* messages = m_failureMessages;
        QMetaObject::invokeMethod(
            m_failureContext.get(),
            [messages, path = m_filePath] {
                messages->show(MessageBoxes::Icon::Warning, ApplicationTitle,
                               QStringLiteral("Brisvane could not save its settings to %1.\n\n"
                                              "Is the file or its folder read-only, or the disk full? Settings "
                                              "changed while this lasts are not saved.")
                                   .arg(path));
            },
            Qt::QueuedConnection);
    }
    return written;
}

void SettingsStore::reportWriteFailuresTo(MessageBoxes& messages) {
    m_failureMessages = &messages;
    m_failureContext = std::make_unique<QObject>();
}

bool SettingsStore::contains(const QString& section, const QString& key) const {
    QSettings settings(m_filePath, LineKeepingIniFormat::format());
    return settings.contains(groupKey(section, key));
}

QString SettingsStore::read(const Settings::Key& key, Settings::Reader reader) const {
    return read(key.section, key.name, key.defaultFor(reader));
}

std::optional<bool> SettingsStore::readSwitch(const Settings::Key& key) const {
    return Convert::toBoolean(read(key));
}

bool SettingsStore::write(const Settings::Key& key, const QString& text) {
    return write(key.section, key.name, text);
}

bool SettingsStore::writeSwitch(const Settings::Key& key, bool value) {
    return write(key, Convert::fromBoolean(value));
}

bool SettingsStore::writeInteger(const Settings::Key& key, int value) {
    return write(key, QString::number(value));
}

bool SettingsStore::contains(const Settings::Key& key) const {
    return contains(key.section, key.name);
}

QString SettingsStore::portDevice(int portNumber) const {
    const Settings::Key key = Settings::portDevice(portNumber);
    // A blank path is no path.
    const QString path = read(key).trimmed();
    return path.isEmpty() ? key.loadDefault : path;
}

void SettingsStore::setPortDevice(int portNumber, const QString& devicePath) {
    write(Settings::portDevice(portNumber), devicePath);
}
