#pragma once

#include <QByteArray>
#include <QString>

// What the modem sends, as text: decoding the received bytes, normalising their line ends, and
// reading a caller-ID report. No widgets here; the receive handler shows the results.
//
// The program reacts to three texts only, each found case-sensitively anywhere in what one read
// returned: "VCON", "NMBR =" (a caller-ID report, with its "NAME =" line) and "RING".
namespace ModemText {

inline const QString VoiceConnection = QStringLiteral("VCON");
inline const QString Ring = QStringLiteral("RING");
inline const QString NumberTag = QStringLiteral("NMBR =");
inline const QString NameTag = QStringLiteral("NAME =");

// A report's number value that means the caller is out of area, or asked for privacy.
inline const QChar OutOfArea = QLatin1Char('O');
inline const QChar Private = QLatin1Char('P');

// The received bytes as text: UTF-8 when they are valid UTF-8 (caller names may carry accented
// letters), else Latin-1, which takes any byte. Nothing is dropped.
QString decode(const QByteArray& bytes);

// Rewrites the line ends in place: every line feed goes, then every carriage return gets exactly
// one line feed after it. CR LF stays CR LF, a lone CR becomes CR LF, LF CR becomes CR LF and a
// lone LF vanishes.
void ModemDisplay(QString& text);

// The V.253 modems print a report's tags with or without blanks around "=" ("NMBR=4075551212",
// "NMBR = 4075551212"); this writes each tag at the start of a line as "NMBR = ", the form the
// rest of the reading takes. The Rockwell set's reports are read exactly as they come.
QString withSpacedTags(const QString& text);

// Whether `text` holds a final "OK" line that answers the last command echoed in it (any "OK"
// line when it holds no echo): how a V.253 modem reports a dialled or answered call connected.
bool answeredOk(const QString& text);

// The value of the first `tag` in `text`: it starts one separating character after the tag and
// runs up to the next carriage return. A value whose carriage return did not come in the same read
// runs to the end of the text; a carriage return standing where the separator should be means an
// empty value, not the line after it. Empty when the tag is absent.
QString reportValue(const QString& text, const QString& tag);

// A number as the display shows it: characters 4 to 6, "-", characters 7 to 10 (counted from 1).
// The area code is not shown; a shorter number gives what it has, a longer one is cut after 10.
// A character outside the Basic Multilingual Plane counts as one, so it is never cut in half.
QString displayedNumber(const QString& number);

// A name sent as "SURNAME,GIVEN" shown as "GIVEN SURNAME": split at the first comma only; a name
// without a comma is returned as it is.
QString rearrangedName(const QString& name);

// A caller's number or name comes from the telephone network: control characters (a backspace
// for a missing name, DLE shielding, escape sequences), invisible formatting characters (such as
// direction overrides and the tag characters) and halves of broken surrogate pairs are dropped so
// that they cannot disturb the display or the store.
QString plainText(const QString& value);

} // namespace ModemText
