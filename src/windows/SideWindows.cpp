#include "windows/SideWindows.h"

#include "console/frmPhone.h"
#include "setup/frmSetup.h"
#include "windows/frmAbout.h"

#include <QGuiApplication>
#include <QScreen>

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

SideWindows::SideWindows(frmPhone& form, Services& services)
    : QObject(&form)
    , m_form(form)
    , m_services(services) {}

SideWindows::~SideWindows() {
    // Neither window has an owner window, so they go with the main window here.
    delete m_setup.data();
    delete m_about.data();
}

frmSetup* SideWindows::setupDialog() const {
    return openWindow(m_setup);
}

frmAbout* SideWindows::aboutWindow() const {
    return openWindow(m_about);
}

void SideWindows::showSetupDialog() {
    if (frmSetup* open = setupDialog()) {
        bringToFront(*open);
        return;
    }
    m_setup = new frmSetup(m_form, m_services);
    m_setup->setAttribute(Qt::WA_DeleteOnClose);
    centreOnScreen(*m_setup, &m_form);
    bringToFront(*m_setup);
}

void SideWindows::showAboutWindow() {
    if (frmAbout* open = aboutWindow()) {
        bringToFront(*open);
        return;
    }
    m_about = new frmAbout(m_services);
    m_about->setAttribute(Qt::WA_DeleteOnClose);
    centreOnScreen(*m_about, &m_form);
    bringToFront(*m_about);
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
