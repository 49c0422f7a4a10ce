#pragma once

#include <QString>
#include <QStringList>

class CallHistory;

// The telephone's command line: "brisvane [LINK]", where LINK is a "tel:" or "callto:" link, or one
// of the actions on the call history (--export-calls FILE, --block NUMBER..., --unblock NUMBER...),
// which need no display and leave a running telephone alone.
struct CommandLine {
    // HistoryError: a history action written wrongly, told at once without a window; an Error may
    // come from the window system's own options and waits for the application to take them out.
    enum class Outcome { Run, Help, Version, Error, History, HistoryError };
    enum class HistoryAction { None, Export, Block, Unblock };
    static constexpr int MaxLinkLength = 2048;

    // The links given, in order (at most one).
    QStringList links;
    // For Outcome::History: what to do, the file to export to ("-": standard output) and the
    // numbers to block or unblock.
    HistoryAction historyAction = HistoryAction::None;
    QString exportFile;
    QStringList numbers;

    // `arguments` includes the program name first. For Help, Version and Error, `message` holds
    // the text to print (and for HistoryError). Help and Version win over anything else on the line, so that they are
    // answered before the window system's own options have been taken out of it.
    static Outcome parse(const QStringList& arguments, CommandLine* commandLine, QString* message);

    // Carries out the history action on `history` (not yet opened): the exit status, 0 when it was
    // done. `message` gets what to tell on standard error: why it failed, or a damaged history
    // that was put aside on the way.
    int runHistoryAction(CallHistory& history, QString* message) const;
};
