#include "vmodem/ModemOptions.h"

#include "Version.h"
#include "platform/ProgramHelp.h"

#include <QCommandLineParser>
#include <QLocale>
#include <cmath>
#include <optional>

namespace {

std::optional<int> milliseconds(const QString& seconds) {
    bool ok = false;
    const double value = QLocale::c().toDouble(seconds, &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > 86400) {
        return std::nullopt;
    }
    return static_cast<int>(std::lround(value * 1000));
}

} // namespace

ModemOptions::Outcome ModemOptions::parse(const QStringList& arguments, ModemOptions* options, QString* message) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A virtual voice modem on a pseudo-terminal: Rockwell \"#\" voice commands, or as\n"
                       "--persona cx93001 or usr5637 the V.253 \"+V\" ones of those USB modems.\n"
                       "It prints \"PTY <device>\" first; open that device as the modem's serial port.\n"
                       "Headless, it reads these commands from standard input (and --script):\n"
                       "  ring <number> [name...] | ring private | ring outofarea | ring\n"
                       "  stopring | answer | busy | noanswer | hangup\n"
                       "  send <text with \\r \\n \\xNN> | wait <seconds> | quit\n"
                       "Without --script it ends at the end of standard input; with one it runs on."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    const QCommandLineOption headless(
        QStringLiteral("headless"),
        QStringLiteral("No window: commands on standard input, traffic on standard output."));
    const QCommandLineOption script(QStringLiteral("script"), QStringLiteral("Run the commands in FILE."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Publish the device as a symbolic link at PATH (removed on exit)."),
                                  QStringLiteral("PATH"));
    const QCommandLineOption persona(
        QStringLiteral("persona"),
        QStringLiteral("The modem to play: rockwell (default; \"#\" voice commands), cx93001 (Conexant CX93001) or "
                       "usr5637 (USRobotics USR5637), both with V.253 \"+V\" voice commands."),
        QStringLiteral("MODEM"));
    const QCommandLineOption answerAfter(
        QStringLiteral("answer-after"),
        QStringLiteral("The far end answers an outgoing call after SECONDS; 'manual' or a negative value waits for "
                       "the answer command (default 3)."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption ringInterval(QStringLiteral("ring-interval"),
                                          QStringLiteral("Seconds between rings of an incoming call (default 6)."),
                                          QStringLiteral("SECONDS"));
    const QCommandLineOption rings(QStringLiteral("rings"),
                                   QStringLiteral("Rings before an unanswered caller gives up (default 10)."),
                                   QStringLiteral("N"));
    const QCommandLineOption farEnd(QStringLiteral("far-end"),
                                    QStringLiteral("What the far end of an outgoing call does: answer (default), busy "
                                                   "or noanswer."),
                                    QStringLiteral("BEHAVIOUR"));
    const QCommandLineOption noVls6(QStringLiteral("no-vls6"),
                                    QStringLiteral("Firmware without speakerphone selection 6 (#VLS=6 is ERROR, #VLS=5 "
                                                   "selects the speakerphone)."));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Append the traffic log to FILE too."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption capture(QStringLiteral("capture"),
                                     QStringLiteral("Append every byte from the host to FILE, raw."),
                                     QStringLiteral("FILE"));
    parser.addOptions({help, version, headless, script, link, persona, answerAfter, ringInterval, rings, farEnd, noVls6,
                       log, capture});

    const auto fail = [message](const QString& text) {
        *message = text;
        return Outcome::Error;
    };
    if (!parser.parse(arguments)) {
        return fail(parser.errorText());
    }
    if (parser.isSet(help)) {
        *message = helpText(parser, QStringLiteral("brisvane-modem"));
        return Outcome::Help;
    }
    if (parser.isSet(version)) {
        *message = QStringLiteral("brisvane-modem ") + QLatin1String(brisvane::version::text);
        return Outcome::Version;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return fail(QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()));
    }

    ModemOptions result;
    result.headless = parser.isSet(headless);
    result.scriptPath = parser.value(script);
    result.linkPath = parser.value(link);
    result.logPath = parser.value(log);
    result.capturePath = parser.value(capture);
    result.config.speakerphoneVls6 = !parser.isSet(noVls6);

    if (parser.isSet(persona)) {
        const auto id = Persona::named(parser.value(persona));
        if (!id) {
            QStringList names = Persona::names();
            const QString last = names.takeLast();
            return fail(QStringLiteral("--persona is %1 or %2").arg(names.join(QStringLiteral(", ")), last));
        }
        result.config.persona = *id;
    }

    if (parser.isSet(answerAfter)) {
        const QString value = parser.value(answerAfter);
        const auto ms = value == QLatin1String("manual") ? std::optional<int>(-1) : milliseconds(value);
        if (!ms) {
            return fail(QStringLiteral("--answer-after needs seconds or 'manual'"));
        }
        result.config.answerAfterMs = *ms < 0 ? -1 : *ms;
    }
    if (parser.isSet(ringInterval)) {
        const auto ms = milliseconds(parser.value(ringInterval));
        if (!ms || *ms < 10) {
            return fail(QStringLiteral("--ring-interval needs a number of seconds of at least 0.01"));
        }
        result.config.ringIntervalMs = *ms;
    }
    if (parser.isSet(rings)) {
        bool ok = false;
        const int n = parser.value(rings).toInt(&ok);
        if (!ok || n < 1 || n > 1000) {
            return fail(QStringLiteral("--rings needs a number from 1 to 1000"));
        }
        result.config.rings = n;
    }
    if (parser.isSet(farEnd)) {
        const QString value = parser.value(farEnd);
        if (value == QLatin1String("answer")) {
            result.config.farEnd = ModemConfig::FarEnd::Answer;
        } else if (value == QLatin1String("busy")) {
            result.config.farEnd = ModemConfig::FarEnd::Busy;
        } else if (value == QLatin1String("noanswer")) {
            result.config.farEnd = ModemConfig::FarEnd::NoAnswer;
        } else {
            return fail(QStringLiteral("--far-end is answer, busy or noanswer"));
        }
    }
    *options = result;
    return Outcome::Run;
}
