#include "desktop/CommandLine.h"

#include "Version.h"
#include "call/TelLink.h"
#include "platform/ProgramHelp.h"

#include <QCommandLineParser>

CommandLine::Outcome CommandLine::parse(const QStringList& arguments, CommandLine* commandLine, QString* message) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A speakerphone and dialer for a voice modem.\n"
                       "With a link, its number goes into the number display for Send; nothing is dialled\n"
                       "until Send is pressed. While Brisvane runs, starting it again hands the link to\n"
                       "the running telephone and brings its window to the front."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    parser.addOptions({help, version});
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
