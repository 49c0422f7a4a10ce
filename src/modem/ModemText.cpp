#include "modem/ModemText.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace ModemText {

namespace {
const QChar CR = QLatin1Char('\r');
const QChar LF = QLatin1Char('\n');
// The tag, then one separating character, then the value.
constexpr qsizetype SeparatorOffset = 6;
constexpr qsizetype ValueOffset = 7;

// How many places of `text` the character at `at` takes: two for a character outside the Basic
// Multilingual Plane (a surrogate pair), else one. Cutting between the two would leave half a
// character, which no display can show.
qsizetype characterLength(const QString& text, qsizetype at) {
    return at + 1 < text.size() && text.at(at).isHighSurrogate() && text.at(at + 1).isLowSurrogate() ? 2 : 1;
}

// Characters `first` to `first + count - 1` (counted from 0) of `text`; what it does not have
// contributes nothing.
QString characters(const QString& text, qsizetype first, qsizetype count) {
    qsizetype start = 0;
    for (; first > 0 && start < text.size(); --first) {
        start += characterLength(text, start);
    }
    qsizetype end = start;
    for (; count > 0 && end < text.size(); --count) {
        end += characterLength(text, end);
    }
    return text.mid(start, end - start);
}
} // namespace

QString decode(const QByteArray& bytes) {
    // Each read stands alone: a sequence cut off at its end makes it invalid rather than waiting
    // for a next read. A byte-order mark is kept as a character, so nothing is silently dropped.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    return QString::fromLatin1(bytes);
}

void ModemDisplay(QString& text) {
    // Built anew in one pass: inserting into the text in place would take time that grows with the
    // square of its length, and a line spewing noise can fill the whole receive buffer.
    QString normalised;
    normalised.reserve(text.size() + text.count(CR));
    for (const QChar c : std::as_const(text)) {
        if (c == LF) {
            continue;
        }
        normalised.append(c);
        if (c == CR) {
            normalised.append(LF);
        }
    }
    text = normalised;
}

QString reportValue(const QString& text, const QString& tag) {
    const qsizetype at = text.indexOf(tag);
    if (at < 0) {
        return QString();
    }
    const qsizetype start = qMin(at + ValueOffset, text.size());
    // Searched from the separator on: when the line ends right after the tag, the value is empty.
    qsizetype end = text.indexOf(CR, qMin(at + SeparatorOffset, text.size()));
    if (end < 0) {
        end = text.size();
    }
    return end > start ? text.mid(start, end - start) : QString();
}

QString displayedNumber(const QString& number) {
    return characters(number, 3, 3) + QLatin1Char('-') + characters(number, 6, 4);
}

QString rearrangedName(const QString& name) {
    const qsizetype comma = name.indexOf(QLatin1Char(','));
    if (comma < 0) {
        return name;
    }
    return name.mid(comma + 1) + QLatin1Char(' ') + name.left(comma);
}

QString plainText(const QString& value) {
    QString plain;
    plain.reserve(value.size());
    // Judged a whole character at a time: the invisible tag characters, for one, lie outside the
    // Basic Multilingual Plane, and half of a surrogate pair is no character at all.
    for (qsizetype at = 0; at < value.size();) {
        const qsizetype length = characterLength(value, at);
        const QStringView character = QStringView(value).mid(at, length);
        at += length;
        const char32_t code = length == 2 ? QChar::surrogateToUcs4(character[0], character[1]) : character[0].unicode();
        switch (QChar::category(code)) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_Surrogate:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            break;
        default:
            plain.append(character);
        }
    }
    return plain;
}

} // namespace ModemText

QString ModemText::withSpacedTags(const QString& text) {
    static const QRegularExpression tag(QStringLiteral("(^|\\n)(DATE|TIME|NMBR|NAME|MESG) *= ?"));
    QString spaced = text;
    spaced.replace(tag, QStringLiteral("\\1\\2 = "));
    return spaced;
}

bool ModemText::answeredOk(const QString& text) {
    static const QRegularExpression echo(QStringLiteral("(^|\\n)AT"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression ok(QStringLiteral("(^|\\n)OK\\r"));
    qsizetype after = 0;
    for (auto it = echo.globalMatch(text); it.hasNext();) {
        after = it.next().capturedEnd();
    }
    return ok.match(text, after).hasMatch();
}
