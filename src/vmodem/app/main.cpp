#include "platform/UnixSignals.h"
#include "vmodem/CommandRunner.h"
#include "vmodem/ModemOptions.h"
#include "vmodem/ModemSession.h"
#include "window/ModemWindow.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

void printLine(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char** argv) {
    // The options are read before a window application exists, so that a mistyped option is
    // reported even where no display can be opened.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    ModemOptions options;
    QString message;
    switch (ModemOptions::parse(arguments, &options, &message)) {
    case ModemOptions::Outcome::Help:
    case ModemOptions::Outcome::Version:
        printLine(stdout, message);
        return 0;
    case ModemOptions::Outcome::Error:
        printLine(stderr, QStringLiteral("brisvane-modem: %1 (try --help)").arg(message));
        return 2;
    case ModemOptions::Outcome::Run:
        break;
    }
    std::unique_ptr<QCoreApplication> app =
        options.headless ? std::make_unique<QCoreApplication>(argc, argv) : std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brisvane-modem"));

    QByteArray script;
    if (!options.scriptPath.isEmpty()) {
        QFile file(options.scriptPath);
        if (!file.open(QIODevice::ReadOnly)) {
            printLine(stderr, QStringLiteral("brisvane-modem: cannot read the script %1: %2")
                                  .arg(options.scriptPath, file.errorString()));
            return 1;
        }
        script = file.readAll();
    }

    ModemSession session(options.config);
    QString error;
    if ((!options.logPath.isEmpty() && !session.log().openFile(options.logPath, &error)) ||
        !session.start(options.linkPath, options.capturePath, &error)) {
        printLine(stderr, QStringLiteral("brisvane-modem: %1").arg(error));
        return 1;
    }
    printLine(stdout, QStringLiteral("PTY %1").arg(session.ptyPath()));
    session.log().setWritesStandardOutput(options.headless);
    // The window comes first, so that it shows everything from the first note on.
    std::unique_ptr<ModemWindow> modemWindow;
    if (!options.headless) {
        modemWindow = std::make_unique<ModemWindow>(session);
        modemWindow->show();
    }
    // The log names the modem by its persona, which the window may change meanwhile.
    const auto modemName = [&session] { return session.modem().persona().name + QStringLiteral(" modem"); };
    const Persona& persona = session.modem().persona();
    session.log().note(QStringLiteral("persona %1: %2").arg(persona.name, persona.title));
    session.log().note(
        options.linkPath.isEmpty()
            ? QStringLiteral("%1 on %2").arg(modemName(), session.ptyPath())
            : QStringLiteral("%1 on %2, linked as %3").arg(modemName(), session.ptyPath(), options.linkPath));

    UnixSignals unixSignals;
    QObject::connect(&unixSignals, &UnixSignals::terminationRequested, app.get(), &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // A reader of the traffic log that goes away must not take the modem down with it.
    ::signal(SIGPIPE, SIG_IGN);

    const auto makeRunner = [&](const QString& source) {
        auto runner = std::make_unique<CommandRunner>(session.modem(), source);
        QObject::connect(runner.get(), &CommandRunner::problem, [&session, &options](const QString& problem) {
            printLine(stderr, QStringLiteral("brisvane-modem: %1").arg(problem));
            if (!options.headless) {
                session.log().note(problem);
            }
        });
        QObject::connect(runner.get(), &CommandRunner::quitRequested, app.get(), &QCoreApplication::quit,
                         Qt::QueuedConnection);
        return runner;
    };
    std::unique_ptr<CommandRunner> scriptRunner;
    if (!options.scriptPath.isEmpty()) {
        scriptRunner = makeRunner(options.scriptPath);
        QTimer::singleShot(0, scriptRunner.get(), [&scriptRunner, &script] {
            scriptRunner->addText(script);
            scriptRunner->endOfInput();
        });
    }
    std::unique_ptr<CommandRunner> stdinRunner;
    if (options.headless) {
        stdinRunner = makeRunner(QStringLiteral("stdin"));
        // Standard input closing ends a driven session; a script keeps the modem up on its own.
        if (options.scriptPath.isEmpty()) {
            QObject::connect(stdinRunner.get(), &CommandRunner::finished, app.get(), &QCoreApplication::quit,
                             Qt::QueuedConnection);
        }
        stdinRunner->readFrom(STDIN_FILENO);
    }
    const int status = QCoreApplication::exec();
    session.log().note(QStringLiteral("%1 switched off").arg(modemName()));
    return status;
}
