#include "desktop/CommandLine.h"

#include "Version.h"
#include "call/TelLink.h"
#include "history/CallHistory.h"
#include "platform/ProgramHelp.h"

#include <QCommandLineParser>

CommandLine::Outcome CommandLine::parse(const QStringList& arguments, CommandLine* commandLine, QString* message) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A speakerphone and dialer for a voice modem.\n"
                       "With a link, its number goes into the number display for Send; nothing is dialled\n"
                       "until Send is pressed. While Brisvane runs, starting it again hands the link to\n"
                       "the running telephone and brings its window to the front.\n"
                       "--export-calls, --block and --unblock work on the call history and end; they need\n"
                       "no display and leave a running telephone as it is."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    const QCommandLineOption exportCalls(
        QStringLiteral("export-calls"),
        QStringLiteral("Write the call history to <file> as CSV, oldest call first (- for standard output)."),
        QStringLiteral("file"));
    const QCommandLineOption block(
        QStringLiteral("block"),
        QStringLiteral("Refuse calls from <number> and any numbers after it, from the running "
                       "telephone's next caller on."),
        QStringLiteral("number"));
    const QCommandLineOption unblock(QStringLiteral("unblock"),
                                     QStringLiteral("Take <number> and any numbers after it off the block list."),
                                     QStringLiteral("number"));
    parser.addOptions({help, version, exportCalls, block, unblock});
    parser.addPositionalArgument(QStringLiteral("link"),
                                 QStringLiteral("A telephone link: tel:+1-407-555-1212 or callto:4075551212."),
                                 QStringLiteral("[link]"));

    const bool parsed = parser.parse(arguments);
    if (parser.isSet(help)) {
        *message = helpText(parser, QStringLiteral("brisvane"));
        return Outcome::Help;
    }
    if (parser.isSet(version)) {
        *message = QStringLiteral("brisvane ") + QLatin1String(brisvane::version::text);
        return Outcome::Version;
    }
    if (!parsed) {
        *message = parser.errorText();
        return Outcome::Error;
    }
    const QStringList positional = parser.positionalArguments();
    const int actions = static_cast<int>(parser.values(exportCalls).size()) + (parser.isSet(block) ? 1 : 0) +
                        (parser.isSet(unblock) ? 1 : 0);
    if (actions > 1) {
        *message = QStringLiteral("one of --export-calls, --block and --unblock at a time");
        return Outcome::HistoryError;
    }
    if (parser.isSet(exportCalls)) {
        if (!positional.isEmpty()) {
            *message = QStringLiteral("--export-calls takes one file: %1").arg(positional.first());
            return Outcome::HistoryError;
        }
        commandLine->historyAction = HistoryAction::Export;
        commandLine->exportFile = parser.value(exportCalls);
        return Outcome::History;
    }
    if (parser.isSet(block) || parser.isSet(unblock)) {
        const bool blocking = parser.isSet(block);
        const QStringList numbers = parser.values(blocking ? block : unblock) + positional;
        for (const QString& number : numbers) {
            if (CallHistory::blockableNumber(number).isEmpty()) {
                *message = QStringLiteral("not a telephone number: %1").arg(number);
                return Outcome::HistoryError;
            }
        }
        commandLine->historyAction = blocking ? HistoryAction::Block : HistoryAction::Unblock;
        commandLine->numbers = numbers;
        return Outcome::History;
    }
    if (positional.size() > 1) {
        *message = QStringLiteral("one link at most: %1").arg(positional.at(1));
        return Outcome::Error;
    }
    for (const QString& argument : positional) {
        if (!TelLink::isLink(argument)) {
            *message = QStringLiteral("not a tel: or callto: link: %1").arg(argument);
            return Outcome::Error;
        }
        // Far beyond any telephone number, and within what a running telephone takes over.
        if (argument.size() > MaxLinkLength) {
            *message = QStringLiteral("a link of more than %1 characters").arg(MaxLinkLength);
            return Outcome::Error;
        }
    }
    commandLine->links = positional;
    return Outcome::Run;
}

int CommandLine::runHistoryAction(CallHistory& history, QString* message) const {
    if (!history.open()) {
        *message = history.problem();
        return 1;
    }
    if (!history.setAside().isEmpty()) {
        *message = history.setAsideMessage();
        // What the user asked for was the old history; the new one is empty.
        if (historyAction == HistoryAction::Export) {
            return 1;
        }
    }
    switch (historyAction) {
    case HistoryAction::Export:
        return history.exportTo(exportFile, message) ? 0 : 1;
    case HistoryAction::Block:
    case HistoryAction::Unblock:
        for (const QString& number : numbers) {
            const bool done = historyAction == HistoryAction::Block ? history.block(number) : history.unblock(number);
            if (!done) {
                *message = QStringLiteral("%1 could not be written to the call history %2").arg(number, history.path());
                return 1;
            }
        }
        return 0;
    case HistoryAction::None:
        break;
    }
    return 0;
}
