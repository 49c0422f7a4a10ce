#pragma once

#include <QByteArray>
#include <QString>

// What the About and splash windows say about the program and the machine it runs on.
namespace ProgramInfo {

inline const QString ProductName = QStringLiteral("Brisvane");

// "Version " and major.minor.revision, each a plain decimal number.
QString versionText(int major, int minor, int revision);
// The text of this build's version.
QString versionText();

// The operating system's name and version from the text of an os-release file: its PRETTY_NAME,
// else NAME and VERSION (or VERSION_ID); empty when it names neither.
QString osReleaseText(const QByteArray& osRelease);
// This machine's operating system, from /etc/os-release (or /usr/lib/os-release).
QString platformText();

// How long the splash stays, in seconds, when it appears at `timeOfDay` seconds since midnight:
// until the time of day passes the whole second nearest to five seconds later, so between 4.5
// and 5.5 seconds.
double splashSeconds(double timeOfDay);

} // namespace ProgramInfo
