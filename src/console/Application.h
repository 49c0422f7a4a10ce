#pragma once

#include "console/Services.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "desktop/Activation.h"
#include "modem/Clock.h"
#include "modem/Waiter.h"
#include "platform/QtMessageBoxes.h"

#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class CallHistory;
class CallerNotifier;
class ModemManagerAdvice;
class frmPhone;
class frmSplash;

// The running program: the user's settings store, the system clock, real message boxes and the
// main window. Ends when the main window closes.
class Application {
public:
    Application();
    ~Application();

    // Runs the telephone; `links` (from the command line) go to the number display after the load.
    int run(const QStringList& links = {});
    // A later start of the program: the window comes to the front (with the later start's
    // activation) and its links go to the number display. Before the load has ended they wait for it.
    void handOver(const QStringList& links, const Activation& activation = {});
    // Runs once, when the window begins to close (before the unload's wait).
    void onClosing(std::function<void()> action) { m_onClosing = std::move(action); }

private:
    // What is done while the load waits its second: the splash, and the main window made ready.
    void whileLoading();
    void raiseWindow(const Activation& activation);
    void enterLinks(const QStringList& links);
    // Opens the call history; without one the telephone works on, and the user is told once.
    void openHistory();
    // Shows a warning from the event loop, once the handler that found it has returned.
    void tellLater(const QString& text);

    SettingsStore m_settings;
    SharedState m_shared;
    SystemClock m_clock;
    Waiter m_waiter;
    QtMessageBoxes m_messages;
    Services m_services;
    std::unique_ptr<ModemManagerAdvice> m_modemManager;
    std::unique_ptr<CallHistory> m_history;
    // What the user is told about the history once the window is up; empty: nothing.
    QString m_historyProblem;
    std::unique_ptr<frmPhone> m_phone;
    std::unique_ptr<CallerNotifier> m_notifier;
    QPointer<frmSplash> m_splash;
    std::function<void()> m_onClosing;
    bool m_loaded = false;
    bool m_handedOver = false;
    QStringList m_pendingLinks;
    Activation m_pendingActivation;
};
