#include "vmodem/DriverCommand.h"

#include "vmodem/ByteText.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace {

DriverCommand invalid(const QString& error) {
    DriverCommand command;
    command.kind = DriverCommand::Kind::Invalid;
    command.error = error;
    return command;
}

DriverCommand simple(DriverCommand::Kind kind) {
    DriverCommand command;
    command.kind = kind;
    return command;
}

} // namespace

DriverCommand DriverCommand::parse(const QString& line) {
    // Only the line end and leading blanks go: "send" keeps trailing blanks as written.
    QString text = line;
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'))) {
        text.chop(1);
    }
    qsizetype begin = 0;
    while (begin < text.size() && text.at(begin).isSpace()) {
        ++begin;
    }
    text = text.mid(begin);
    if (text.trimmed().isEmpty() || text.startsWith(QLatin1Char('#'))) {
        return {};
    }
    const qsizetype space = text.indexOf(QRegularExpression(QStringLiteral("\\s")));
    const QString word = text.left(space < 0 ? text.size() : space).toLower();
    const QString rest = space < 0 ? QString() : text.mid(space + 1);
    const QStringList words = rest.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);

    static const QList<std::pair<QString, Kind>> bare = {
        {QStringLiteral("stopring"), Kind::StopRing}, {QStringLiteral("answer"), Kind::Answer},
        {QStringLiteral("busy"), Kind::Busy},         {QStringLiteral("noanswer"), Kind::NoAnswer},
        {QStringLiteral("hangup"), Kind::HangUp},     {QStringLiteral("quit"), Kind::Quit},
    };
    for (const auto& [name, kind] : bare) {
        if (word == name) {
            return words.isEmpty() ? simple(kind) : invalid(QStringLiteral("%1 takes no arguments").arg(name));
        }
    }

    if (word == QLatin1String("ring")) {
        DriverCommand command = simple(Kind::Ring);
        const QString first = words.value(0).toLower();
        if (first == QLatin1String("private") && words.size() == 1) {
            command.caller = CallerId::withheld();
        } else if (first == QLatin1String("outofarea") && words.size() == 1) {
            command.caller = CallerId::outOfArea();
        } else if (!words.isEmpty()) {
            command.caller = CallerId::number(words.first(), words.mid(1).join(QLatin1Char(' ')));
        }
        return command;
    }
    if (word == QLatin1String("send")) {
        // The text is everything after the one blank that follows the word.
        const auto bytes = ByteText::unescape(rest);
        if (!bytes || bytes->isEmpty()) {
            return invalid(QStringLiteral("send needs text; escapes are \\r \\n \\t \\\\ \\\" \\e \\xNN"));
        }
        DriverCommand command = simple(Kind::Send);
        command.bytes = *bytes;
        return command;
    }
    if (word == QLatin1String("wait")) {
        bool ok = false;
        const double seconds = words.size() == 1 ? QLocale::c().toDouble(words.first(), &ok) : 0.0;
        if (!ok || seconds < 0 || !std::isfinite(seconds) || seconds > 86400) {
            return invalid(QStringLiteral("wait needs a number of seconds"));
        }
        DriverCommand command = simple(Kind::Wait);
        command.waitMs = static_cast<int>(std::lround(seconds * 1000));
        return command;
    }
    return invalid(QStringLiteral("unknown command \"%1\"").arg(word));
}
