#include "console/Application.h"
#include "console/SettingsStore.h"
#include "desktop/Activation.h"
#include "desktop/CommandLine.h"
#include "desktop/SingleTelephone.h"
#include "history/CallHistory.h"
#include "modem/Clock.h"
#include "modem/Waiter.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>

namespace {

void printLine(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

QStringList argumentList(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

// --export-calls, --block and --unblock: on the history file alone. A running telephone is not asked
// (it reads the block list afresh at each caller), so they never hand over to it.
int runHistoryAction(const CommandLine& commandLine) {
    CallHistory history;
    QString message;
    const int status = commandLine.runHistoryAction(history, &message);
    if (!message.isEmpty()) {
        printLine(stderr, QStringLiteral("brisvane: %1").arg(message));
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    // --help and --version are answered before a window application exists, also where no
    // display can be opened.
    CommandLine commandLine;
    QString message;
    const CommandLine::Outcome early = CommandLine::parse(argumentList(argc, argv), &commandLine, &message);
    if (early == CommandLine::Outcome::Help || early == CommandLine::Outcome::Version) {
        printLine(stdout, message);
        return 0;
    }
    if (early == CommandLine::Outcome::HistoryError) {
        printLine(stderr, QStringLiteral("brisvane: %1 (try --help)").arg(message));
        return 2;
    }
    // No window, so no display: Qt SQL loads its driver through a core application.
    if (early == CommandLine::Outcome::History) {
        QCoreApplication app(argc, argv);
        return runHistoryAction(commandLine);
    }
    // Read before the window system is reached: Qt's X11 plugin takes DESKTOP_STARTUP_ID out of the
    // environment as it connects, for this process's first window.
    const Activation activation = Activation::fromEnvironment();
    QApplication app(argc, argv);
    // The window system's own options (-platform, -style, ...) are gone from this list.
    switch (CommandLine::parse(QCoreApplication::arguments(), &commandLine, &message)) {
    case CommandLine::Outcome::Error:
    case CommandLine::Outcome::HistoryError:
        printLine(stderr, QStringLiteral("brisvane: %1 (try --help)").arg(message));
        return 2;
    case CommandLine::Outcome::History:
        return runHistoryAction(commandLine);
    default:
        break;
    }

    // Before the application's name is set: the lock records the name the process runs under,
    // which is how a later start tells a live telephone from a lock left behind by a crash.
    SystemClock clock;
    Waiter waiter(clock);
    SingleTelephone single(SettingsStore::defaultPath(), waiter);
    switch (single.start(commandLine.links, activation)) {
    case SingleTelephone::Start::HandedOver:
        return 0;
    case SingleTelephone::Start::NoAnswer:
        printLine(stderr, QStringLiteral("brisvane: a Brisvane with these settings is running but does not answer"));
        return 1;
    case SingleTelephone::Start::NoFolder:
        printLine(stderr,
                  QStringLiteral("brisvane: %1; running without the hand-over to a later start").arg(single.problem()));
        break;
    case SingleTelephone::Start::First:
        if (!single.problem().isEmpty()) {
            printLine(stderr,
                      QStringLiteral("brisvane: %1; later starts will not find this one").arg(single.problem()));
        }
        break;
    }
    Application application;
    QObject::connect(
        &single, &SingleTelephone::argumentsReceived, &app,
        [&application](const QStringList& links, const Activation& later) { application.handOver(links, later); });
    // A start while the telephone closes waits for it, and then becomes the telephone itself.
    application.onClosing([&single] { single.stopListening(); });
    return application.run(commandLine.links);
}
