#include "modem/ModemText.h"

#include <QStringDecoder>

namespace ModemText {

namespace {
const QChar CR = QLatin1Char('\r');
const QChar LF = QLatin1Char('\n');
// The tag, then one separating character, then the value.
constexpr qsizetype SeparatorOffset = 6;
constexpr qsizetype ValueOffset = 7;
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
    return number.mid(3, 3) + QLatin1Char('-') + number.mid(6, 4);
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
    for (const QChar c : value) {
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            break;
        default:
            plain.append(c);
        }
    }
    return plain;
}

} // namespace ModemText
