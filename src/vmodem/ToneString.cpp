#include "vmodem/ToneString.h"

#include "vmodem/AtCommandParser.h"

#include <QList>

namespace {

bool isDtmf(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'D') || c == '*' || c == '#';
}

// A decimal number no greater than `max`; here a missing number is an error, not 0.
std::optional<int> smallNumber(const QByteArray& text, int max) {
    const auto value = text.isEmpty() ? std::nullopt : AtCommandParser::decimal(text);
    return value && *value <= max ? value : std::nullopt;
}

// Splits at commas that are not inside braces or brackets; empty when brackets do not match.
std::optional<QList<QByteArray>> elements(const QByteArray& text) {
    QList<QByteArray> parts;
    QByteArray current;
    char closer = 0;
    for (const char c : text) {
        if (closer == 0 && c == ',') {
            parts.append(current);
            current.clear();
            continue;
        }
        if (closer == 0 && (c == '{' || c == '[')) {
            closer = c == '{' ? '}' : ']';
        } else if (c == closer) {
            closer = 0;
        } else if (c == '{' || c == '[' || c == '}' || c == ']') {
            return std::nullopt;
        }
        current.append(c);
    }
    if (closer != 0) {
        return std::nullopt;
    }
    parts.append(current);
    return parts;
}

} // namespace

std::optional<ToneString::Plan> ToneString::parse(const QByteArray& argument, int beepTenths, int flash) {
    const auto parts = elements(argument);
    if (!parts) {
        return std::nullopt;
    }
    Plan plan;
    for (const QByteArray& part : *parts) {
        if (part.size() == 1 && (isDtmf(part.at(0)) || part.at(0) == '!')) {
            plan.tenths += part.at(0) == '!' ? flash : beepTenths;
            plan.symbols.append(part.at(0));
        } else if (part.startsWith('{') && part.endsWith('}')) {
            const QList<QByteArray> fields = part.mid(1, part.size() - 2).split(',');
            const auto tenths = fields.size() == 2 ? smallNumber(fields.at(1), 255) : std::nullopt;
            if (!tenths || fields.at(0).size() != 1 || !(isDtmf(fields.at(0).at(0)) || fields.at(0) == "!")) {
                return std::nullopt;
            }
            plan.tenths += *tenths;
            plan.symbols.append(fields.at(0));
        } else if (part.startsWith('[') && part.endsWith(']')) {
            const QList<QByteArray> fields = part.mid(1, part.size() - 2).split(',');
            if (fields.size() != 3) {
                return std::nullopt;
            }
            for (int i = 0; i < 2; ++i) {
                const auto hertz = smallNumber(fields.at(i), 3000);
                if (!hertz || (*hertz != 0 && *hertz < 200)) {
                    return std::nullopt;
                }
            }
            const auto tenths = smallNumber(fields.at(2), 255);
            if (!tenths) {
                return std::nullopt;
            }
            plan.tenths += *tenths;
            plan.symbols.append('~');
        } else {
            return std::nullopt;
        }
    }
    return plan;
}
