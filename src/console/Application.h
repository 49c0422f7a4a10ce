#pragma once

#include "console/Services.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "modem/Clock.h"
#include "modem/Waiter.h"
#include "platform/QtMessageBoxes.h"

#include <memory>

class frmPhone;

// The running program: the user's settings store, the system clock, real message boxes and the
// main window. Ends when the main window closes.
class Application {
public:
    Application();
    ~Application();

    int run();

private:
    SettingsStore m_settings;
    SharedState m_shared;
    SystemClock m_clock;
    Waiter m_waiter;
    QtMessageBoxes m_messages;
    Services m_services;
    std::unique_ptr<frmPhone> m_phone;
};
