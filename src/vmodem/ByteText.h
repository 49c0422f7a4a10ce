#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Bytes of the serial line written as readable text and back: printable ASCII stays itself,
// carriage return and line feed become \r and \n, a backslash and a double quote are escaped,
// and every other byte is \xNN.
class ByteText {
public:
    static QString escape(const QByteArray& bytes);
    // Reads \r, \n, \t, \\, \", \xNN (and \e for escape); empty when an escape is malformed.
    static std::optional<QByteArray> unescape(const QString& text);
};
