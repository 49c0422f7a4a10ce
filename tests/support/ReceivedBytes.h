#pragma once

#include "modem/ModemText.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>

// Bytes a line can bring and checks of what the program makes of them, for the receive path. The
// unit tests and the fuzz targets check the same properties.

// `size` bytes of noise, the same for the same seed.
inline QByteArray noise(qsizetype size, quint32 seed) {
    QByteArray bytes(size, '\0');
    QRandomGenerator random(seed);
    for (char& byte : bytes) {
        byte = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

// What must hold for any text after line-end normalisation: every carriage return is followed by
// exactly one line feed, and no other line feed is left. Returns what is wrong, or an empty text.
inline QString lineEndFault(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\r')) {
            if (i + 1 >= text.size() || text.at(i + 1) != QLatin1Char('\n')) {
                return QStringLiteral("CR at %1 without its LF").arg(i);
            }
        } else if (text.at(i) == QLatin1Char('\n') && (i == 0 || text.at(i - 1) != QLatin1Char('\r'))) {
            return QStringLiteral("LF at %1 not after a CR").arg(i);
        }
    }
    return QString();
}

// The first character of `text` that must not be shown as a caller's number or name: a control or
// invisible formatting character, a line or paragraph separator, or half of a broken surrogate
// pair. Characters are counted as code points, so that one outside the Basic Multilingual Plane is
// judged as itself. Returns what is wrong, or an empty text.
inline QString unshowableFault(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        switch (QChar::category(c)) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_Surrogate:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return QStringLiteral("U+%1 shown at %2").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).arg(i);
        default:
            break;
        }
    }
    return QString();
}

// The characters of a text as a reader counts them: a surrogate pair is one.
inline qsizetype characterCount(const QString& text) {
    qsizetype count = text.size();
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && text.at(i + 1).isLowSurrogate()) {
            --count;
        }
    }
    return count;
}

// What is shown of a caller-ID value, checked against what must hold for any value: the number
// shown takes at most 8 characters, and nothing shown carries a character a display must not show.
inline QString shownCallerFault(const QString& value) {
    const QString plain = ModemText::plainText(value);
    if (const QString fault = unshowableFault(plain); !fault.isEmpty()) {
        return QStringLiteral("plain text: ") + fault;
    }
    const QString number = ModemText::displayedNumber(plain);
    if (characterCount(number) > 8) {
        return QStringLiteral("a number shown with %1 characters").arg(characterCount(number));
    }
    const QString name = ModemText::rearrangedName(plain);
    if (name.size() != plain.size()) {
        return QStringLiteral("a name shown with characters it does not have");
    }
    for (const QString& shown : {number, name}) {
        if (const QString fault = unshowableFault(shown); !fault.isEmpty()) {
            return QStringLiteral("\"%1\": %2").arg(shown, fault);
        }
    }
    return QString();
}

// Everything one read goes through before it is shown, checked against what must hold for any
// input: nothing of the bytes is lost in decoding, only line feeds change with the line ends, a
// value is cut from behind its tag, and what is shown of it passes shownCallerFault(). Returns
// what went wrong, or an empty text.
inline QString receivePathFault(const QByteArray& bytes) {
    using namespace ModemText;
    QString text = decode(bytes);
    if (text.toUtf8() != bytes && text.toLatin1() != bytes) {
        return QStringLiteral("decoding lost or changed bytes");
    }
    QString withoutLineFeeds = text;
    withoutLineFeeds.remove(QLatin1Char('\n'));
    ModemDisplay(text);
    if (const QString fault = lineEndFault(text); !fault.isEmpty()) {
        return fault;
    }
    QString again = text;
    ModemDisplay(again);
    QString kept = text;
    kept.remove(QLatin1Char('\n'));
    if (again != text || kept != withoutLineFeeds) {
        return QStringLiteral("normalising changed more than the line feeds");
    }
    for (const QString& tag : {NumberTag, NameTag}) {
        const QString value = reportValue(text, tag);
        const qsizetype at = text.indexOf(tag);
        if (!value.isEmpty() &&
            (at < 0 || value.contains(QLatin1Char('\r')) || text.mid(at + 7, value.size()) != value)) {
            return QStringLiteral("a value cut from the wrong place: \"%1\"").arg(value);
        }
        if (const QString fault = shownCallerFault(value); !fault.isEmpty()) {
            return fault;
        }
    }
    return QString();
}
