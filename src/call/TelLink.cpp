#include "call/TelLink.h"

#include <QByteArray>
#include <QUrl>

namespace {

const QLatin1String Schemes[] = {QLatin1String("tel:"), QLatin1String("callto:")};

bool isDialable(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('*') || c == QLatin1Char('#') ||
           c == QLatin1Char(',');
}

bool isSeparator(QChar c) {
    return c == QLatin1Char('-') || c == QLatin1Char('.') || c == QLatin1Char('(') || c == QLatin1Char(')') ||
           c == QLatin1Char(' ');
}

// The text after the scheme, or a null string.
QString afterScheme(const QString& text) {
    const QString trimmed = text.trimmed();
    for (const QLatin1String scheme : Schemes) {
        if (trimmed.startsWith(scheme, Qt::CaseInsensitive)) {
            return trimmed.mid(scheme.size());
        }
    }
    return QString();
}

} // namespace

namespace TelLink {

bool isLink(const QString& text) {
    return !afterScheme(text).isNull();
}

Parsed parse(const QString& link) {
    Parsed result;
    QString rest = afterScheme(link);
    if (rest.isNull()) {
        return result;
    }
    // The parameters are cut off before decoding, so that an encoded ";" stays part of the number
    // (and is then refused there).
    for (const QChar end : {QLatin1Char(';'), QLatin1Char('?')}) {
        const qsizetype at = rest.indexOf(end);
        if (at >= 0) {
            rest.truncate(at);
        }
    }
    QString number = QUrl::fromPercentEncoding(rest.toUtf8());
    // "callto://number", as some pages write it.
    if (number.startsWith(QLatin1String("//"))) {
        number.remove(0, 2);
    }
    if (number.startsWith(QLatin1Char('+'))) {
        number.remove(0, 1);
    }
    for (const QChar c : number) {
        if (isDialable(c)) {
            result.number += c;
        } else if (!isSeparator(c)) {
            result.outcome = Outcome::NotANumber;
            result.number.clear();
            return result;
        }
    }
    result.outcome = result.number.isEmpty() ? Outcome::NothingDialable : Outcome::Number;
    return result;
}

} // namespace TelLink
