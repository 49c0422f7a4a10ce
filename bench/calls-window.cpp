// What the Calls window costs over a history file made by brisvane-bench-history fill:
//   brisvane-bench-calls-window FILE
// making the window (its first query and the rows it fetches), showing it with its first screen
// drawn, reading the rows again after a change, and a filter and searches, each in milliseconds.
#include "console/Services.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "history/CallList.h"
#include "history/frmCalls.h"
#include "modem/Clock.h"
#include "modem/Waiter.h"
#include "platform/QtMessageBoxes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

void timed(const char* what, const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    step();
    std::printf("  %-36s %8.1f ms\n", what, static_cast<double>(timer.nsecsElapsed()) / 1e6);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    CallHistory history(QString::fromLocal8Bit(argv[1]));
    if (!history.open()) {
        std::fprintf(stderr, "%s\n", qPrintable(history.problem()));
        return 1;
    }
    QTemporaryDir settingsDir;
    SettingsStore settings(settingsDir.filePath(QStringLiteral("settings.conf")));
    SharedState shared;
    SystemClock clock;
    Waiter waiter(clock);
    QtMessageBoxes messages;
    Services services{settings, shared, clock, waiter, messages};
    services.history = &history;

    std::unique_ptr<frmCalls> window;
    timed("making the window", [&] { window = std::make_unique<frmCalls>(history, services); });
    timed("showing it, first screen drawn", [&] {
        window->show();
        window->grab();
    });
    CallList& list = window->list();
    std::printf("  (%d rows fetched of the history)\n", list.rowCount());
    timed("reading the rows again", [&] { list.refresh(); });
    timed("missed calls only", [&] { list.setFilter(CallList::Filter::Missed); });
    list.setFilter(CallList::Filter::All);
    timed("a search found in the newest calls", [&] { list.setSearch(QStringLiteral("SMITH")); });
    timed("a search found nowhere (whole table)", [&] { list.setSearch(QStringLiteral("nobody at all")); });
    return 0;
}
