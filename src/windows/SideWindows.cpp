#include "windows/SideWindows.h"

#include "console/Services.h"
#include "history/frmCalls.h"
#include "modem/Waiter.h"
#include "setup/frmSetup.h"
#include "windows/frmAbout.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QScreen>
#include <utility>

namespace {

// A window that has closed stays until its deletion is carried out; it no longer counts as open.
template <typename W> W* openWindow(const QPointer<W>& window) {
    return window && window->isVisible() ? window.data() : nullptr;
}

void bringToFront(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

SideWindows::SideWindows(QWidget& mainWindow, Services& services, QObject* parent)
    : QObject(parent)
    , m_mainWindow(mainWindow)
    , m_services(services) {}

SideWindows::~SideWindows() {
    // Neither window has an owner window, so they go with the main window here, which is
    // destroyed only after every wait has returned.
    delete m_setup.data();
    delete m_about.data();
    delete m_calls.data();
    for (const QPointer<QWidget>& window : std::as_const(m_closed)) {
        delete window.data();
    }
}

frmSetup* SideWindows::setupDialog() const {
    return openWindow(m_setup);
}

frmAbout* SideWindows::aboutWindow() const {
    return openWindow(m_about);
}

frmCalls* SideWindows::callsWindow() const {
    return openWindow(m_calls);
}

template <typename W> void SideWindows::showOnce(QPointer<W>& window, const std::function<W*()>& make) {
    deleteClosedWindows();
    if (W* open = openWindow(window)) {
        bringToFront(*open);
        return;
    }
    window = make();
    if (!window) {
        return;
    }
    deleteOnClose(*window);
    centreOnScreen(*window, &m_mainWindow);
    bringToFront(*window);
}

void SideWindows::showSetupDialog() {
    showOnce<frmSetup>(m_setup, [this] { return new frmSetup(m_mainWindow, m_services); });
}

void SideWindows::showAboutWindow() {
    showOnce<frmAbout>(m_about, [this] { return new frmAbout(m_services); });
}

void SideWindows::showCallsWindow() {
    showOnce<frmCalls>(m_calls, [this]() -> frmCalls* {
        if (!m_services.history) {
            return nullptr;
        }
        auto* calls = new frmCalls(*m_services.history, m_services);
        connect(calls, &frmCalls::callBackRequested, this, &SideWindows::callBackRequested);
        connect(calls, &frmCalls::addToPhoneBookRequested, this, &SideWindows::addToPhoneBookRequested);
        return calls;
    });
}

void SideWindows::deleteOnClose(QWidget& window) {
    window.setAttribute(Qt::WA_DeleteOnClose);
    window.installEventFilter(this);
}

bool SideWindows::eventFilter(QObject* watched, QEvent* event) {
    // Qt carries out a close's deletion in the event loop that was running when the window
    // closed. Inside a wait that loop may be nested in one of the window's own handlers, which
    // would return into a destroyed window: the deletion waits until no wait is running.
    if (event->type() == QEvent::DeferredDelete && waiting()) {
        if (auto* window = qobject_cast<QWidget*>(watched); window && !m_closed.contains(window)) {
            m_closed.append(window);
        }
        if (!m_idleCheck) {
            m_idleCheck = connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                                  &SideWindows::deleteClosedWindows);
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool SideWindows::waiting() const {
    return m_services.waiter.depth() > 0 || QApplication::activeModalWidget();
}

void SideWindows::deleteClosedWindows() {
    // With no wait running, no handler of a closed window is still on its way: the main loop is
    // about to sleep, or a menu entry of the main window was chosen from it.
    if (m_closed.isEmpty() || waiting()) {
        return;
    }
    disconnect(m_idleCheck);
    m_idleCheck = {};
    for (const QPointer<QWidget>& window : std::exchange(m_closed, {})) {
        delete window.data();
    }
}

void SideWindows::centreOnScreen(QWidget& window, const QWidget* reference) {
    const QScreen* screen = reference && reference->screen() ? reference->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}
