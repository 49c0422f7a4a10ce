#pragma once

#include "vmodem/AtCommandParser.h"
#include "vmodem/DialString.h"
#include "vmodem/ToneString.h"

#include <QString>
#include <algorithm>

// What must hold for the virtual modem's reading of any command line: the commands it cuts out,
// the dial and tone strings in them, and the line written back from the commands.

namespace AtProperties {

inline bool isBlankOrControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= ' ' || u == 0x7f;
}

// A command line written back from its commands, ";" between them: it must read as the same
// commands.
inline QByteArray written(const AtCommandLine& line) {
    static const char* const forms[] = {"", "=", "?", "=?"};
    QByteArray text;
    for (const AtCommand& command : line.commands) {
        if (!text.isEmpty()) {
            text.append(';');
        }
        text.append(command.name).append(forms[static_cast<int>(command.form)]).append(command.argument);
    }
    return text;
}

inline QString dialFault(const QByteArray& argument) {
    const DialString::Plan plan = DialString::parse(argument);
    if (plan.digits + plan.pauses + plan.flashes != plan.shown.size() || plan.shown.size() > argument.size()) {
        return QStringLiteral("a dial plan that does not add up: \"%1\"").arg(QString::fromLatin1(plan.shown));
    }
    const bool dialable = std::all_of(plan.shown.begin(), plan.shown.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'D') || c == '*' || c == '#' || c == ',' || c == '!';
    });
    return dialable ? QString() : QStringLiteral("a dial plan with a character no modem dials");
}

inline QString toneFault(const QByteArray& argument) {
    for (const int beep : {0, 10, 40}) {
        const auto plan = ToneString::parse(argument, beep);
        // A tone lasts at most 255 tenths, whatever its form.
        if (plan && (plan->symbols.isEmpty() || plan->symbols.size() > argument.size() || plan->tenths < 0 ||
                     plan->tenths > 255 * plan->symbols.size())) {
            return QStringLiteral("a tone plan that does not add up: %1 tenths for \"%2\"")
                .arg(plan->tenths)
                .arg(QString::fromLatin1(plan->symbols));
        }
    }
    return QString();
}

// Returns what is wrong with the reading of `body`, or an empty text.
inline QString commandLineFault(const QByteArray& body) {
    const AtCommandLine line = AtCommandParser::parse(body);
    if (!line.isValid()) {
        const auto counted = std::count_if(body.begin(), body.end(), [](char c) { return !isBlankOrControl(c); });
        if (!line.commands.isEmpty() || line.errorOffset >= counted) {
            return QStringLiteral("an error at %1 of %2 characters, with %3 commands")
                .arg(line.errorOffset)
                .arg(counted)
                .arg(line.commands.size());
        }
        return QString();
    }
    for (const AtCommand& command : line.commands) {
        const QByteArray& name = command.name;
        const bool clean = std::none_of(name.begin(), name.end(), isBlankOrControl) &&
                           std::none_of(command.argument.begin(), command.argument.end(), isBlankOrControl);
        const bool upper = std::none_of(name.begin(), name.end(), [](char c) { return c >= 'a' && c <= 'z'; });
        if (name.isEmpty() || !clean || !upper) {
            return QStringLiteral("a command read as \"%1\"").arg(QString::fromLatin1(name));
        }
        if (const auto n = AtCommandParser::decimal(command.argument); n && (*n < 0 || *n > 99999)) {
            return QStringLiteral("a number out of range: %1").arg(*n);
        }
        if (name == "D") {
            if (const QString fault = dialFault(command.argument); !fault.isEmpty()) {
                return fault;
            }
        }
        if (name == "#VTS") {
            if (const QString fault = toneFault(command.argument); !fault.isEmpty()) {
                return fault;
            }
        }
    }
    const QByteArray again = written(line);
    const AtCommandLine reread = AtCommandParser::parse(again);
    if (!reread.isValid() || reread.commands != line.commands) {
        return QStringLiteral("written back as \"%1\", the line reads differently").arg(QString::fromLatin1(again));
    }
    return QString();
}

} // namespace AtProperties
