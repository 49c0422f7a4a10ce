#pragma once

#include <QString>
#include <QStringList>

// The telephone's command line: "brisvane [LINK]", where LINK is a "tel:" or "callto:" link.
struct CommandLine {
    enum class Outcome { Run, Help, Version, Error };
    static constexpr int MaxLinkLength = 2048;

    // The links given, in order (at most one).
    QStringList links;

    // `arguments` includes the program name first. For Help, Version and Error, `message` holds
    // the text to print. Help and Version win over anything else on the line, so that they are
    // answered before the window system's own options have been taken out of it.
    static Outcome parse(const QStringList& arguments, CommandLine* commandLine, QString* message);
};
