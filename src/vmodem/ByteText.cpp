#include "vmodem/ByteText.h"

#include <algorithm>

namespace {

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

QString ByteText::escape(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size() + 8);
    for (const char byte : bytes) {
        const auto u = static_cast<unsigned char>(byte);
        if (byte == '\r') {
            text += QLatin1String("\\r");
        } else if (byte == '\n') {
            text += QLatin1String("\\n");
        } else if (byte == '\\' || byte == '"') {
            text += QLatin1Char('\\');
            text += QLatin1Char(byte);
        } else if (u >= 0x20 && u < 0x7f) {
            text += QLatin1Char(byte);
        } else {
            text += QLatin1String("\\x") + QStringLiteral("%1").arg(u, 2, 16, QLatin1Char('0')).toUpper();
        }
    }
    return text;
}

std::optional<QByteArray> ByteText::unescape(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    QByteArray bytes;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8.at(i);
        if (c != '\\') {
            bytes.append(c);
            continue;
        }
        if (++i >= utf8.size()) {
            return std::nullopt;
        }
        switch (utf8.at(i)) {
        case 'r':
            bytes.append('\r');
            break;
        case 'n':
            bytes.append('\n');
            break;
        case 't':
            bytes.append('\t');
            break;
        case 'e':
            bytes.append('\x1b');
            break;
        case '\\':
        case '"':
            bytes.append(utf8.at(i));
            break;
        case 'x': {
            const QByteArray hex = utf8.mid(i + 1, 2);
            if (hex.size() != 2 || !std::all_of(hex.begin(), hex.end(), isHexDigit)) {
                return std::nullopt;
            }
            bytes.append(static_cast<char>(hex.toInt(nullptr, 16)));
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return bytes;
}
