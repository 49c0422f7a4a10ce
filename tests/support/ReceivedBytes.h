#pragma once

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>

// Bytes a line can bring and checks of what the program makes of them, for the receive path.

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
