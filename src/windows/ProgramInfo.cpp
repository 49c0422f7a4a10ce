#include "windows/ProgramInfo.h"

#include "Version.h"

#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>
#include <cmath>

namespace ProgramInfo {

QString versionText(int major, int minor, int revision) {
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString versionText() {
    return versionText(brisvane::version::major, brisvane::version::minor, brisvane::version::revision);
}

namespace {

// The value of `key` in os-release text: shell-style, optionally quoted, with backslash escapes.
QString osReleaseValue(const QString& text, const QString& key) {
    const QRegularExpression line(QStringLiteral("^\\s*%1=(.*)$").arg(QRegularExpression::escape(key)),
                                  QRegularExpression::MultilineOption);
    QString found;
    for (auto it = line.globalMatch(text); it.hasNext();) {
        found = it.next().captured(1).trimmed(); // the last assignment wins, as in a shell
    }
    if (found.size() >= 2 && (found.front() == QLatin1Char('"') || found.front() == QLatin1Char('\'')) &&
        found.back() == found.front()) {
        found = found.mid(1, found.size() - 2);
    }
    static const QRegularExpression escape(QStringLiteral("\\\\(.)"));
    found.replace(escape, QStringLiteral("\\1"));
    return found.trimmed();
}

} // namespace

QString osReleaseText(const QByteArray& osRelease) {
    const QString text = QString::fromUtf8(osRelease);
    const QString pretty = osReleaseValue(text, QStringLiteral("PRETTY_NAME"));
    if (!pretty.isEmpty()) {
        return pretty;
    }
    QString version = osReleaseValue(text, QStringLiteral("VERSION"));
    if (version.isEmpty()) {
        version = osReleaseValue(text, QStringLiteral("VERSION_ID"));
    }
    return (osReleaseValue(text, QStringLiteral("NAME")) + QLatin1Char(' ') + version).trimmed();
}

QString platformText() {
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        QFile file{QLatin1String(path)};
        if (file.open(QIODevice::ReadOnly)) {
            const QString text = osReleaseText(file.read(64 * 1024));
            if (!text.isEmpty()) {
                return text;
            }
        }
    }
    return QSysInfo::prettyProductName();
}

double splashSeconds(double timeOfDay) {
    return std::round(timeOfDay + 5.0) - timeOfDay;
}

} // namespace ProgramInfo
