#include "console/frmPhone.h"

#include "call/AudioControls.h"
#include "call/CallControl.h"
#include "call/CommandLines.h"
#include "call/Handset.h"
#include "call/NumberEntry.h"
#include "call/ServiceButtons.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "modem/ModemLink.h"
#include "modem/ModemResponses.h"
#include "modem/SerialControl.h"
#include "modem/Waiter.h"
#include "phonebook/PhoneBookPanel.h"
#include "platform/Controls.h"
#include "platform/Resources.h"
#include "platform/Twips.h"
#include "windows/SideWindows.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>

frmPhone::frmPhone(Services& services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services) {
    initResources();
    comModem = new SerialControl([this](int port) { return m_services.settings.portDevice(port); }, this);
    comModem->setLockDirectory(m_services.lockDirectory);
    buildFace();
    setWidthTwips(WideWidth);
    m_modemLink = new ModemLink(*this, m_services);
    m_responses = new ModemResponses(*this, m_services);
    m_calls = new CallControl(*this, m_services);
    m_phoneBook = new PhoneBookPanel(*this, m_services);
    m_sideWindows = new SideWindows(*this, m_services);
    m_numberEntry = new NumberEntry(*this, m_services);
    m_audio = new AudioControls(*this, m_services);
    m_serviceButtons = new ServiceButtons(*this, m_services);
    m_handset = new Handset(*this, m_services);

    connect(cmdOnOff, &QPushButton::clicked, this, &frmPhone::cmdOnOff_Click);
    connect(modem_setup, &QAction::triggered, this, &frmPhone::showSetupDialog);
    connect(mnuAbout, &QAction::triggered, this, &frmPhone::showAboutWindow);
    qApp->installEventFilter(this);
}

frmPhone::~frmPhone() {
    qApp->removeEventFilter(this);
}

SharedState& frmPhone::shared() {
    return m_services.shared;
}

void frmPhone::setWidthTwips(int twips) {
    m_widthTwips = twips;
    // The design's outer width includes the border; the client area is what we size.
    const int clientWidth = Twips::toPixels(qMax(0, twips - Twips::BorderAllowance));
    const int clientHeight = Twips::toPixels(DesignClientHeight) + menuBar()->sizeHint().height();
    setFixedSize(clientWidth, clientHeight);
}

namespace {
// A lamp is a dark picture (index 0) and a lit one (index 1) at the same place; exactly one shows.
void light(const std::array<Lamp*, 2>& lamp, bool lit) {
    lamp[0]->setVisible(!lit);
    lamp[1]->setVisible(lit);
}
} // namespace

void frmPhone::setPowerLamp(bool lit) {
    light(picPower, lit);
}

void frmPhone::setInUseLamp(bool lit) {
    light(picInuse, lit);
}

void frmPhone::Form_Load() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    SharedState& s = shared();
    // A value the user edited into something unusable falls back to its default here, and the
    // user hears about it once; the attach meets the same value again and stops before the port.
    const QList<ConversionError> unusable =
        loadModemSettings(m_services.settings, s, state.SpeakerLevel, OnBadValue::UseDefault);
    setWidthTwips(NarrowWidth);
    QGuiApplication::restoreOverrideCursor();

    m_phoneBook->loadEntries();
    if (!unusable.isEmpty()) {
        m_modemLink->tellUnusable(unusable, true);
    }

    if (Settings::readsAsTrue(s.AutoOn)) {
        m_modemLink->modem_int();
    }
    if (s.IntString.isEmpty()) {
        showSetupDialog();
        hide();
    }
    // Closed (or told to end) during the wait: the program is ending, the window stays closed.
    if (!m_modemLink->Delay(1) || m_unloading) {
        return;
    }
    show();
    emit loaded();
}

void frmPhone::cmdOnOff_Click() {
    if (m_detaching) {
        return; // the detach in progress finishes first
    }
    if (!shared().ModemAttached) {
        m_modemLink->modem_int();
        return;
    }
    detach();
}

void frmPhone::detach() {
    m_detaching = true;
    m_modemLink->output(CommandLines::hangUp());
    m_modemLink->output(CommandLines::reset());
    m_modemLink->Delay(1);
    comModem->setPortOpen(false);
    setPowerLamp(false);
    shared().ModemAttached = false;
    txtNumberOut->setText(QString());
    m_detaching = false;
}

void frmPhone::Form_Unload() {
    if (shared().ModemAttached) {
        m_modemLink->output(CommandLines::reset());
        setPowerLamp(false);
        m_modemLink->Delay(3);
        shared().ModemAttached = false;
    }
    // The port goes with the window.
    comModem->setPortOpen(false);
}

void frmPhone::closeEvent(QCloseEvent* event) {
    if (m_unloading) {
        event->ignore(); // closed again during the unload's wait
        return;
    }
    m_unloading = true;
    Form_Unload();
    event->accept();
    emit closed();
}

bool frmPhone::Form_KeyPress(int keyAscii) {
    return m_numberEntry->Form_KeyPress(keyAscii);
}

namespace {

// The character code of a typed key, or 0 for keys that type no character (arrows, function
// keys, Tab, shortcuts with Ctrl or Alt).
int keyAsciiOf(const QKeyEvent& key) {
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 0;
    default:
        break;
    }
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return 0;
    }
    const QString text = key.text();
    if (text.size() != 1 || text.at(0).unicode() < 32 || text.at(0).unicode() > 126) {
        return 0;
    }
    return text.at(0).unicode();
}

} // namespace

bool frmPhone::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || m_forwardingKey) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const int keyAscii = keyAsciiOf(*key);
    if (keyAscii == 0) {
        return false;
    }
    // The window sees the key first. A key it has no use for still goes on to the control it was
    // typed into; it is delivered as a copy so that its way up through the parents is not
    // previewed again.
    QPointer<QWidget> target(widget);
    if (Form_KeyPress(keyAscii)) {
        return true;
    }
    if (target) {
        QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(), key->count());
        m_forwardingKey = true;
        QCoreApplication::sendEvent(target, &copy);
        m_forwardingKey = false;
    }
    return true;
}

void frmPhone::showSetupDialog() {
    m_sideWindows->showSetupDialog();
}

void frmPhone::showAboutWindow() {
    m_sideWindows->showAboutWindow();
}
