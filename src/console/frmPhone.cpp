#include "console/frmPhone.h"

#include "call/AudioControls.h"
#include "call/CallControl.h"
#include "call/Handset.h"
#include "call/NumberEntry.h"
#include "call/ServiceButtons.h"
#include "console/Phone.h"
#include "console/Services.h"
#include "history/CallHistory.h"
#include "history/CallList.h"
#include "modem/SerialTransport.h"
#include "phonebook/PhoneBookEditDialog.h"
#include "phonebook/PhoneBookPanel.h"
#include "platform/Controls.h"
#include "platform/DesignColors.h"
#include "platform/Resources.h"
#include "platform/Twips.h"
#include "windows/SideWindows.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>

namespace {

// What a screen reader says of each state the face shows; the names are set with the face.
QString lampState(PhoneView::Light light, bool lit) {
    if (light == PhoneView::Light::Power) {
        return lit ? QStringLiteral("on") : QStringLiteral("off");
    }
    return lit ? QStringLiteral("yes") : QStringLiteral("no");
}

QString latchState(PhoneView::Latch button, bool on) {
    switch (button) {
    case PhoneView::Latch::Hold:
        return on ? QStringLiteral("On hold") : QStringLiteral("Not on hold");
    case PhoneView::Latch::Mute:
        return on ? QStringLiteral("Muted") : QStringLiteral("Not muted");
    case PhoneView::Latch::Handset:
        break;
    }
    return on ? QStringLiteral("Handset in use") : QStringLiteral("Speakerphone in use");
}

// An entry's button and its row are named alike, by the entry's place and what it holds, so that
// either tells a screen reader which entry it is and whether it is the selected one.
void describeEntry(int index, QAbstractButton& button, QLineEdit& row) {
    const QString held = row.text().simplified();
    const QString name =
        QStringLiteral("Entry %1: %2").arg(index + 1).arg(held.isEmpty() ? QStringLiteral("empty") : held);
    const QString state = button.isChecked() ? QStringLiteral("Selected") : QStringLiteral("Not selected");
    for (QWidget* control : {static_cast<QWidget*>(&button), static_cast<QWidget*>(&row)}) {
        control->setAccessibleName(name);
        control->setAccessibleDescription(state);
    }
}

} // namespace

frmPhone::frmPhone(Services& services, std::unique_ptr<SerialTransport> transport, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services) {
    initResources();
    buildFace();
    showWidth(PhoneFace::WideWidth);
    m_phone = std::make_unique<Phone>(services, *this, std::move(transport));
    m_sideWindows = new SideWindows(*this, services, this);
    connectControls();
    connect(m_phone.get(), &Phone::loaded, this, &frmPhone::loaded);
    connect(m_phone.get(), &Phone::closed, this, &frmPhone::closed);
    qApp->installEventFilter(this);
}

frmPhone::~frmPhone() {
    qApp->removeEventFilter(this);
    // The telephone goes first: nothing it does on its way may reach a half-destroyed window.
    m_phone.reset();
}

void frmPhone::connectControls() {
    Phone& phone = *m_phone;
    const auto onClick = [this](QAbstractButton* button, auto handler) {
        connect(button, &QAbstractButton::clicked, this, [handler] { handler(); });
    };
    for (int i = 0; i < static_cast<int>(cmdNumber.size()); ++i) {
        onClick(cmdNumber[static_cast<std::size_t>(i)], [&phone, i] { phone.numberEntry().cmdNumber_Click(i); });
    }
    onClick(cmdSend, [&phone] { phone.calls().cmdSend_Click(); });
    onClick(cmdEnd, [&phone] { phone.calls().cmdEnd_Click(); });
    onClick(cmdRedial, [&phone] { phone.numberEntry().cmdRedial_Click(); });
    onClick(cmdPause, [&phone] { phone.numberEntry().cmdPause_Click(); });
    onClick(cmdClear, [&phone] { phone.numberEntry().cmdClear_Click(); });
    onClick(cmdHold, [&phone] { phone.audio().cmdHold_Click(); });
    onClick(cmdMute, [&phone] { phone.audio().cmdMute_Click(); });
    onClick(cmdFlash, [&phone] { phone.audio().cmdFlash_Click(); });
    onClick(cmdCallForward, [&phone] { phone.serviceButtons().cmdCallForward_Click(); });
    onClick(cmdLastCall, [&phone] { phone.serviceButtons().cmdLastCall_Click(); });
    onClick(cmdRepeat, [&phone] { phone.serviceButtons().cmdRepeat_Click(); });
    onClick(cmdCancelRPT, [&phone] { phone.serviceButtons().cmdCancelRPT_Click(); });
    onClick(cmdHandset, [&phone] { phone.handset().cmdHandset_Click(); });
    onClick(cmdPB, [&phone] { phone.phoneBook().cmdPB_Click(); });
    onClick(cmdOnOff, [&phone] { phone.cmdOnOff_Click(); });
    onClick(cmdPBEnter, [&phone] { phone.phoneBook().cmdPBEnter_Click(); });
    onClick(cmdPBEdit, [&phone] { phone.phoneBook().cmdPBEdit_Click(); });
    onClick(cmdAddCaller, [&phone] { phone.phoneBook().cmdAddCaller_Click(); });
    for (RibbonButton* ribbon : ribPhoneBook) {
        connect(ribbon, &RibbonButton::ribbonClicked, this,
                [&phone](int index, bool down) { phone.phoneBook().ribPhoneBook_Click(index, down); });
    }
    // The slider tells every change of its value; the telephone acts on those it did not make.
    connect(Slider1, &QAbstractSlider::valueChanged, this,
            [&phone](int level) { phone.face().setSpeakerLevel(level); });
    connect(Slider2, &Slider::clicked, this, [this, &phone] { phone.audio().Slider2_Click(Slider2->value()); });
    connect(modem_setup, &QAction::triggered, this, &frmPhone::openSetupDialog);
    connect(mnuAbout, &QAction::triggered, m_sideWindows, &SideWindows::showAboutWindow);
    connectCallsEntry();
}

void frmPhone::connectCallsEntry() {
    CallHistory* history = m_services.history;
    if (!history) {
        const QString why = QStringLiteral("The call history is unavailable");
        mnuCalls->setEnabled(false);
        mnuCalls->setToolTip(why);
        mnuCalls->setStatusTip(why);
        return;
    }
    Phone& phone = *m_phone;
    mnuCalls->setText(CallList::menuText(history->unseenMissed()));
    connect(history, &CallHistory::unseenMissedChanged, mnuCalls,
            [this](int count) { mnuCalls->setText(CallList::menuText(count)); });
    connect(mnuCalls, &QAction::triggered, m_sideWindows, &SideWindows::showCallsWindow);
    connect(m_sideWindows, &SideWindows::callBackRequested, this, [this, &phone](const QString& number) {
        phone.numberEntry().callBack(number);
        // The number waits on the telephone's display for Send: the telephone comes forward.
        bringToFront();
    });
    connect(m_sideWindows, &SideWindows::addToPhoneBookRequested, this,
            [&phone](const QString& name, const QString& number) { phone.phoneBook().addToPhoneBook(name, number); });
}

void frmPhone::Form_Load() {
    m_phone->Form_Load();
}

DisplayBox* frmPhone::box(Box which) const {
    switch (which) {
    case Box::Name:
        return txtName;
    case Box::NumberIn:
        return txtNumberIn;
    case Box::Status:
        return txtStatus;
    case Box::NumberOut:
        break;
    }
    return txtNumberOut;
}

CommandButton* frmPhone::latchButton(Latch which) const {
    switch (which) {
    case Latch::Hold:
        return cmdHold;
    case Latch::Mute:
        return cmdMute;
    case Latch::Handset:
        break;
    }
    return cmdHandset;
}

void frmPhone::showText(Box which, const QString& text) {
    box(which)->setText(text);
}

void frmPhone::showTextColor(Box which, TextColor color) {
    box(which)->setTextColor(color == TextColor::Red ? DesignColors::Red : DesignColors::Green);
}

void frmPhone::showLight(Light light, bool lit) {
    // A lamp is a dark picture (index 0) and a lit one (index 1) at the same place; exactly one
    // shows.
    const std::array<Lamp*, 2>& lamp = light == Light::Power ? picPower : picInuse;
    lamp[0]->setVisible(!lit);
    lamp[1]->setVisible(lit);
    // A screen reader may come upon either picture, so both tell the lamp's state.
    for (Lamp* picture : lamp) {
        picture->setAccessibleDescription(lampState(light, lit));
    }
}

void frmPhone::showLatched(Latch which, bool on) {
    CommandButton* button = latchButton(which);
    button->showLatched(on);
    button->setAccessibleDescription(latchState(which, on));
}

void frmPhone::showToolTip(Latch which, const QString& tip) {
    latchButton(which)->setToolTip(tip);
}

QWidget* frmPhone::controlWidget(Control which) const {
    switch (which) {
    case Control::Hold:
        return cmdHold;
    case Control::Mute:
        return cmdMute;
    case Control::SpeakerVolume:
        return Slider1;
    case Control::MicrophoneGain:
        break;
    }
    return Slider2;
}

void frmPhone::showUnavailable(Control which, const QString& why) {
    QWidget* control = controlWidget(which);
    QString& usual = m_usualToolTips[static_cast<std::size_t>(which)];
    if (usual.isEmpty()) {
        usual = control->toolTip();
    }
    control->setToolTip(why.isEmpty() ? usual : why);
}

void frmPhone::showSpeakerLevel(int level) {
    Slider1->setValue(level);
}

void frmPhone::showMicrophoneGain(int gain) {
    Slider2->setValue(gain);
}

void frmPhone::showWidth(int twips) {
    // The design's outer width includes the border; the client area is what we size.
    const int clientWidth = Twips::toPixels(qMax(0, twips - Twips::BorderAllowance));
    const int clientHeight = Twips::toPixels(DesignClientHeight) + menuBar()->sizeHint().height();
    setFixedSize(clientWidth, clientHeight);
}

void frmPhone::showPhoneBookRow(int index, const QString& text) {
    QLineEdit* row = txtPhoneBook.at(static_cast<std::size_t>(index));
    row->setText(text);
    row->setCursorPosition(0);
    describeEntry(index, *ribPhoneBook.at(static_cast<std::size_t>(index)), *row);
}

void frmPhone::showPhoneBookButton(int index, bool down) {
    RibbonButton* button = ribPhoneBook.at(static_cast<std::size_t>(index));
    button->setChecked(down);
    describeEntry(index, *button, *txtPhoneBook.at(static_cast<std::size_t>(index)));
}

void frmPhone::focusSend() {
    cmdSend->setFocus(Qt::OtherFocusReason);
}

bool frmPhone::clickFocusedButton() {
    // Space clicks the focused button. The focus moves to Send before the key would reach any
    // other button, which would then be left pressed down, so that button is clicked here; Send
    // itself takes the key as usual (it clicks when Space is let go, and not again while Space
    // repeats).
    auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    if (!focused || focused == cmdSend || focused->window() != this || !focused->isEnabled()) {
        return false;
    }
    focused->click();
    return true;
}

void frmPhone::restoreIfMinimized() {
    if (isMinimized()) {
        showNormal();
    }
}

void frmPhone::bringToFront() {
    restoreIfMinimized();
    show();
    raise();
    activateWindow();
}

void frmPhone::showWindow() {
    show();
}

void frmPhone::hideWindow() {
    hide();
}

void frmPhone::redraw() {
    repaint();
}

void frmPhone::showBusy(bool busy) {
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

void frmPhone::openSetupDialog() {
    m_sideWindows->showSetupDialog();
}

void frmPhone::editPhoneBookEntry(int index, const QString& name, const QString& number) {
    // Not modal: the telephone stays usable while an entry is edited (a call can be ended). One
    // editor at a time; a second Edit brings the open one forward.
    if (m_entryEditor) {
        m_entryEditor->raise();
        m_entryEditor->activateWindow();
        return;
    }
    auto* dialog = new PhoneBookEditDialog(index, name, number, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::NonModal);
    // Stored into the entry it was opened for, whatever is selected by the time OK is pressed.
    connect(dialog, &QDialog::accepted, this,
            [this, dialog] { m_phone->phoneBook().storeEntry(dialog->index(), dialog->name(), dialog->number()); });
    m_entryEditor = dialog;
    dialog->show();
}

void frmPhone::closeEvent(QCloseEvent* event) {
    if (!m_phone->queryUnload()) {
        event->ignore(); // closed again during the unload's wait
        return;
    }
    event->accept();
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
    if (m_phone->Form_KeyPress(keyAscii)) {
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
