#pragma once

// The main window: a telephone drawn on the screen. It is the view of Phone (console/Phone.h),
// which holds the telephone's state and every handler: the window builds the face, forwards each
// user action to its handler, and shows what the handlers tell it (PhoneView). It also opens the
// windows of its menu (SideWindows) and the phone book's editor. Controls carry the names of the
// design as their objectName (array members as name_index).

#include "console/PhoneView.h"
#include "modem/SerialTransport.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>

class CommandButton;
class DisplayBox;
class Lamp;
class Panel3D;
class Phone;
class PhoneBookEditDialog;
class RibbonButton;
class Slider;
class SideWindows;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
struct Services;

class frmPhone : public QMainWindow, public PhoneView {
    Q_OBJECT
public:
    static constexpr int DesignClientWidth = 7245;
    static constexpr int DesignClientHeight = 6660;

    // Over the system's serial port, or over `transport` when one is given.
    explicit frmPhone(Services& services, std::unique_ptr<SerialTransport> transport = nullptr,
                      QWidget* parent = nullptr);
    ~frmPhone() override;

    Phone& phone() { return *m_phone; }
    SideWindows& sideWindows() { return *m_sideWindows; }

    // The window's load (Phone::Form_Load): shown at its end.
    void Form_Load();

    // PhoneView.
    void showText(Box box, const QString& text) override;
    void showTextColor(Box box, TextColor color) override;
    void showLight(Light light, bool lit) override;
    void showLatched(Latch button, bool on) override;
    void showToolTip(Latch button, const QString& tip) override;
    void showUnavailable(Control control, const QString& why) override;
    void showSpeakerLevel(int level) override;
    void showMicrophoneGain(int gain) override;
    void showWidth(int twips) override;
    void showPhoneBookRow(int index, const QString& text) override;
    void showPhoneBookButton(int index, bool down) override;
    void focusSend() override;
    bool clickFocusedButton() override;
    void restoreIfMinimized() override;
    // Shown, restored, raised and activated: the user is to act on it now. A Wayland compositor
    // lets it come forward only with an activation token in the environment (XDG_ACTIVATION_TOKEN).
    void bringToFront();
    void showWindow() override;
    void hideWindow() override;
    void redraw() override;
    void showBusy(bool busy) override;
    void openSetupDialog() override;
    void editPhoneBookEntry(int index, const QString& name, const QString& number) override;

signals:
    // The window has been shown by its load.
    void loaded();
    // The window has closed (after its unload): the program ends.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Builds every control of the face with its design values (frmPhoneFace.cpp).
    void buildFace();
    // Hands every control's action to its handler.
    void connectControls();
    // The Calls entry: the count of unseen missed calls, or unavailable without a history.
    void connectCallsEntry();
    DisplayBox* box(Box which) const;
    QWidget* controlWidget(Control which) const;
    CommandButton* latchButton(Latch which) const;

    Services& m_services;
    std::unique_ptr<Phone> m_phone;
    SideWindows* m_sideWindows = nullptr;
    // Each audio control's own tooltip, for when it can act again.
    std::array<QString, 4> m_usualToolTips;
    QPointer<PhoneBookEditDialog> m_entryEditor;
    bool m_forwardingKey = false;

    // --- controls -------------------------------------------------------------------------------
    Panel3D* SSPanel1 = nullptr; // display
    Panel3D* SSPanel2 = nullptr; // keypad
    Panel3D* SSPanel3 = nullptr; // function buttons
    Panel3D* SSPanel4 = nullptr; // lamps
    Panel3D* SSPanel5 = nullptr; // speaker caption strip
    Panel3D* SSPanel6 = nullptr; // microphone caption strip
    Panel3D* SSPanel7 = nullptr; // phone book
    Panel3D* SSPanel8 = nullptr; // phone-book rows

    DisplayBox* txtName = nullptr;
    DisplayBox* txtNumberIn = nullptr;
    DisplayBox* txtStatus = nullptr;
    DisplayBox* txtNumberOut = nullptr;

    std::array<QLabel*, 2> Label1{};
    std::array<Lamp*, 2> picPower{};
    std::array<Lamp*, 2> picInuse{};

    std::array<CommandButton*, 12> cmdNumber{};

    CommandButton* cmdSend = nullptr;
    CommandButton* cmdEnd = nullptr;
    CommandButton* cmdRedial = nullptr;
    CommandButton* cmdPause = nullptr;
    CommandButton* cmdMute = nullptr;
    CommandButton* cmdHold = nullptr;
    CommandButton* cmdFlash = nullptr;
    CommandButton* cmdClear = nullptr;
    CommandButton* cmdCallForward = nullptr;
    CommandButton* cmdLastCall = nullptr;
    CommandButton* cmdRepeat = nullptr;
    CommandButton* cmdCancelRPT = nullptr;
    CommandButton* cmdHandset = nullptr;
    CommandButton* cmdPB = nullptr;
    CommandButton* cmdOnOff = nullptr;

    Slider* Slider1 = nullptr; // speaker level 0..15
    Slider* Slider2 = nullptr; // microphone gain 0..3

    QLabel* Label2 = nullptr;
    CommandButton* cmdPBEnter = nullptr;
    CommandButton* cmdAddCaller = nullptr;
    CommandButton* cmdPBEdit = nullptr;
    std::array<RibbonButton*, 12> ribPhoneBook{};
    std::array<QLineEdit*, 12> txtPhoneBook{};

    std::array<QFrame*, 2> Line1{};

    QAction* modem_setup = nullptr;
    QAction* mnuCalls = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;
};
