#pragma once

#include <QSettings>

class QIODevice;

// The settings file's format: INI text as QSettings::IniFormat reads and writes it, except that
// a write keeps the file's own lines. Qt's INI writer rebuilds the whole file from what its
// reader parsed, which drops comments and blank lines, reorders keys and turns hand-written
// values into what the parser made of them; here the file is edited line by line instead.
//
// Reading:
// - A plain value (one that does not start with '"' or '@' and holds no backslash) is the text
//   that stands after the '=', trimmed: ';', ',' and '"' are part of it, as a person reading
//   the file would take it.
// - Any other value is decoded as Qt's INI reader decodes it (quotes, backslash escapes, comma
//   lists, "@@", "@String(...)", "@ByteArray(...)", "@Invalid()"), so files that Qt's writer
//   produced keep their meaning. Other "@Type(...)" forms, which this program never stores, are
//   read as their text. A value ends at its line: a quote left open does not run on into the
//   next lines as it would for Qt's reader.
// - Lines starting with ';' or '#' are comments. Group and key names use Qt's %-escapes, a
//   backslash stands for '/', keys outside any group or in [General] have no group, and the
//   last line for a key wins.
//
// Writing:
// - Every line is written back byte for byte unless its key was changed or removed: comments,
//   blank lines, unknown keys and groups, line endings and the order all stay.
// - A changed key's line is rewritten in place in the form Qt's INI writer gives it (quoted and
//   escaped exactly where Qt would), so older versions of the program read it the same way.
// - A removed key's lines go. A new key goes after the last key of its group, a new group at
//   the end of the file after a blank line.
namespace LineKeepingIniFormat {

// The format, registered with QSettings on first use.
QSettings::Format format();

// The reader and writer that QSettings calls (through a QSaveFile, under its lock file).
bool read(QIODevice& device, QSettings::SettingsMap& map);
bool write(QIODevice& device, const QSettings::SettingsMap& map);

} // namespace LineKeepingIniFormat
