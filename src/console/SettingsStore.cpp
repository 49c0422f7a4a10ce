#include "console/SettingsStore.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

QString SettingsStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Vantrel.conf");
}

SettingsStore::SettingsStore(QString filePath)
    : m_filePath(std::move(filePath)) {}

namespace {

// The value text of `key` in `[section]` exactly as a hand edit left it, when the line holds a
// plain unquoted value; empty optional for anything the INI reader must decode itself (quoted
// text, escapes, @-encoded variants) or an absent key.
std::optional<QString> plainRawValue(const QString& path, const QString& section, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return std::nullopt;
    }
    const QString wantedSection = QLatin1Char('[') + section + QLatin1Char(']');
    bool inSection = false;
    std::optional<QString> found;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inSection = line.compare(wantedSection, Qt::CaseSensitive) == 0;
            continue;
        }
        if (!inSection || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || line.left(eq).trimmed() != key) {
            continue;
        }
        const QString value = line.mid(eq + 1).trimmed();
        if (value.startsWith(QLatin1Char('"')) || value.startsWith(QLatin1Char('@')) ||
            value.contains(QLatin1Char('\\'))) {
            return std::nullopt;
        }
        found = value; // the last line for a key wins, as in the INI reader
    }
    return found;
}

QString groupKey(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

} // namespace

QString SettingsStore::read(const QString& section, const QString& key, const QString& defaultText) const {
    QSettings settings(m_filePath, QSettings::IniFormat);
    const QVariant value = settings.value(groupKey(section, key));
    if (!value.isValid()) {
        return defaultText;
    }
    if (value.userType() == QMetaType::QString) {
        const QString text = value.toString();
        // A hand edit may leave a ";" in a plain value, which the INI reader takes as a comment.
        if (const auto raw = plainRawValue(m_filePath, section, key); raw && *raw != text) {
            return *raw;
        }
        return text;
    }
    // An unquoted comma makes the INI reader see a list; the user meant the text as written.
    if (const auto raw = plainRawValue(m_filePath, section, key)) {
        return *raw;
    }
    if (value.userType() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", "));
    }
    return value.toString();
}

void SettingsStore::write(const QString& section, const QString& key, const QString& text) {
    QSettings settings(m_filePath, QSettings::IniFormat);
    settings.setValue(groupKey(section, key), text);
    settings.sync();
}

bool SettingsStore::contains(const QString& section, const QString& key) const {
    QSettings settings(m_filePath, QSettings::IniFormat);
    return settings.contains(groupKey(section, key));
}

QString SettingsStore::portDevice(int portNumber) const {
    const QString fallback = portNumber >= 1 ? QStringLiteral("/dev/ttyS%1").arg(portNumber - 1) : QString();
    const QString path = read(Settings::Ports, QString::number(portNumber)).trimmed();
    return path.isEmpty() ? fallback : path;
}

void SettingsStore::setPortDevice(int portNumber, const QString& devicePath) {
    write(Settings::Ports, QString::number(portNumber), devicePath);
}
