#include "call/CommandLines.h"

#include <QRegularExpression>

namespace CommandLines {

namespace {
QString line(const QString& command) {
    return command + QLatin1Char('\r');
}
} // namespace

QString prefix() {
    return line(QStringLiteral("AT#VRN=0"));
}

QString dial(const QString& number, bool blockCallerId, bool disableCallWaiting) {
    QString codes;
    if (blockCallerId) {
        codes += QStringLiteral("*67,");
    }
    if (disableCallWaiting) {
        codes += QStringLiteral("*70,");
    }
    return line(QStringLiteral("ATDT") + codes + number);
}

QString answer() {
    return line(QStringLiteral("ATA"));
}

QString hangUp() {
    return line(QStringLiteral("ATH"));
}

QString reset() {
    return line(QStringLiteral("ATZ"));
}

QString speakerLevel(int level) {
    return line(QStringLiteral("AT#SPK=,%1,,").arg(level));
}

QString microphoneGain(int gain) {
    return line(QStringLiteral("AT#SPK=,,%1 ").arg(gain));
}

QString holdOn() {
    return line(QStringLiteral("AT#SPK=0,16,,"));
}

QString holdOff(int speakerLevel) {
    return line(QStringLiteral("AT#SPK=1,%1,0").arg(speakerLevel));
}

QString muteOn() {
    return line(QStringLiteral("AT#SPK=0,,,"));
}

QString muteOff() {
    return line(QStringLiteral("AT#SPK=1,,,"));
}

QString flash() {
    return line(QStringLiteral("AT#VTS=!"));
}

QString handset() {
    return line(QStringLiteral("AT#VLS=8"));
}

QString speakerphone(const QString& initialisationLine) {
    static const QRegularExpression selection(QStringLiteral("#VLS=(\\d+)"), QRegularExpression::CaseInsensitiveOption);
    QString device = QStringLiteral("6");
    for (const QRegularExpressionMatch& match : selection.globalMatch(initialisationLine)) {
        device = match.captured(1) == QLatin1String("5") ? QStringLiteral("5") : QStringLiteral("6");
    }
    return line(QStringLiteral("AT#VLS=") + device);
}

QChar keypadSymbol(int index) {
    static const char symbols[] = "123456789*0#";
    return index >= 0 && index < 12 ? QLatin1Char(symbols[index]) : QChar();
}

QString tone(int index) {
    return line(QStringLiteral("AT#VBT=1#VTS=") + keypadSymbol(index));
}

QString dialable(const QString& text) {
    QString result;
    for (const QChar c : text) {
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('*') || c == QLatin1Char('#') ||
            c == QLatin1Char(',')) {
            result += c;
        }
    }
    return result;
}

} // namespace CommandLines
