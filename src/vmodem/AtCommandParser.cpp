#include "vmodem/AtCommandParser.h"

#include <algorithm>
#include <functional>

namespace {

bool isLetter(char c) {
    return c >= 'A' && c <= 'Z';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isExtendedStart(char c) {
    return c == '#' || c == '+';
}

QByteArray normalised(const QByteArray& body) {
    QByteArray text;
    text.reserve(body.size());
    for (const char c : body) {
        const auto u = static_cast<unsigned char>(c);
        if (u > ' ' && u != 0x7f) {
            text.append(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
        }
    }
    return text;
}

qsizetype digitsEnd(const QByteArray& text, qsizetype from) {
    while (from < text.size() && isDigit(text.at(from))) {
        ++from;
    }
    return from;
}

qsizetype extendedValueEnd(const QByteArray& text, qsizetype from) {
    while (from < text.size() && text.at(from) != ';' && !isExtendedStart(text.at(from))) {
        ++from;
    }
    return from;
}

bool takesRestOfLine(const QByteArray& name) {
    return name == "D" || name == "#VTS";
}

// Where an extended command's value ends. A V.253 tone list may hold "#" too, but it ends at the
// ";" that separates extended commands.
qsizetype extendedArgumentEnd(const QByteArray& text, const QByteArray& name, qsizetype from) {
    if (takesRestOfLine(name)) {
        return text.size();
    }
    if (name == "+VTS") {
        const qsizetype semicolon = text.indexOf(';', from);
        return semicolon < 0 ? text.size() : semicolon;
    }
    return extendedValueEnd(text, from);
}

// Reads what follows a register or extended name: "=?", "?", "=<value>" (the value ends where
// `valueEnd` says) or nothing, which leaves the command an action.
void readForm(const QByteArray& text, qsizetype& at, AtCommand& command,
              const std::function<qsizetype(qsizetype)>& valueEnd) {
    if (text.mid(at, 2) == "=?") {
        command.form = AtCommand::Form::Test;
        at += 2;
    } else if (at < text.size() && text.at(at) == '?') {
        command.form = AtCommand::Form::Read;
        ++at;
    } else if (at < text.size() && text.at(at) == '=') {
        command.form = AtCommand::Form::Set;
        const qsizetype end = valueEnd(at + 1);
        command.argument = text.mid(at + 1, end - at - 1);
        at = end;
    }
}

} // namespace

std::optional<int> AtCommandParser::decimal(const QByteArray& text) {
    if (text.size() > 5 || !std::all_of(text.begin(), text.end(), isDigit)) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

AtCommandLine AtCommandParser::parse(const QByteArray& body) {
    const QByteArray text = normalised(body);
    AtCommandLine line;
    qsizetype at = 0;
    while (at < text.size()) {
        const char c = text.at(at);
        if (c == ';') {
            ++at;
            continue;
        }
        const qsizetype start = at;
        AtCommand command;
        if (isExtendedStart(c)) {
            qsizetype nameEnd = at + 1;
            while (nameEnd < text.size() && isLetter(text.at(nameEnd))) {
                ++nameEnd;
            }
            command.name = text.mid(at, nameEnd - at);
            at = nameEnd;
            readForm(text, at, command, [&](qsizetype from) { return extendedArgumentEnd(text, command.name, from); });
            const bool endsWell = at == text.size() || text.at(at) == ';' || isExtendedStart(text.at(at));
            if (command.name.size() == 1 || !endsWell) {
                line.errorOffset = static_cast<int>(command.name.size() == 1 ? start : at);
            }
        } else if (c == 'S') {
            at = digitsEnd(text, at + 1);
            command.name = text.mid(start, at - start);
            readForm(text, at, command, [&](qsizetype from) { return digitsEnd(text, from); });
            if (command.name.size() == 1 || command.form == AtCommand::Form::Action) {
                line.errorOffset = static_cast<int>(start);
            }
        } else if (isLetter(c) ||
                   ((c == '&' || c == '%' || c == '\\') && at + 1 < text.size() && isLetter(text.at(at + 1)))) {
            const qsizetype nameEnd = isLetter(c) ? at + 1 : at + 2;
            command.name = text.mid(at, nameEnd - at);
            const qsizetype argumentEnd = takesRestOfLine(command.name) ? text.size() : digitsEnd(text, nameEnd);
            command.argument = text.mid(nameEnd, argumentEnd - nameEnd);
            at = command.name == "A" ? text.size() : argumentEnd;
        } else {
            line.errorOffset = static_cast<int>(start);
        }
        if (!line.isValid()) {
            line.commands.clear();
            return line;
        }
        line.commands.append(command);
    }
    return line;
}
