#pragma once

#include <QByteArray>
#include <QList>

// One command of an AT command line, as the parser cut it out: "E1" is name "E", argument "1";
// "#CLS=8" is name "#CLS", form Set, argument "8"; "S7?" is name "S7", form Read.
struct AtCommand {
    enum class Form { Action, Set, Read, Test };

    QByteArray name;
    Form form = Form::Action;
    QByteArray argument;

    bool operator==(const AtCommand&) const = default;
};

// A whole command line. When the line does not parse, `errorOffset` is where it went wrong and
// nothing of it runs.
struct AtCommandLine {
    QList<AtCommand> commands;
    int errorOffset = -1;

    bool isValid() const { return errorOffset < 0; }
};
