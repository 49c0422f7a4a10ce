#pragma once

// The main window: a telephone drawn on the screen. This class is the view and the window's
// lifecycle (load, attach and detach with On/Off, close). The behaviour behind the controls
// lives with the subsystem that owns it, each object wiring its own controls:
//   ModemLink     (modem/)     attach, Delay, serial errors
//   ModemResponses (modem/)    everything the modem sends: VCON, caller ID, automatic answering
//   CallControl   (call/)      Send and End: placing, answering and ending calls
//   PhoneBookPanel (phonebook/) the phone-book panel
//   SideWindows   (windows/)   the setup dialog and the About window of the menu
//   NumberEntry   (call/)      keypad, Pause, Clear, Redial, the keyboard, the display's length
//   AudioControls (call/)      Hold, Mute, Flash and the two sliders
//   ServiceButtons (call/)     Call Fwd, Repeat, Last Caller, Cancel: the network's service codes
//   Handset       (call/)      moves a call between the speakerphone and the handset
// Controls carry the names of the design (objectName too; array members as name_index).

#include "console/PhoneState.h"
#include "console/Services.h"

#include <QMainWindow>
#include <QPointer>
#include <array>

class CommandButton;
class DisplayBox;
class Lamp;
class Panel3D;
class RibbonButton;
class SerialControl;
class Slider;
class ModemLink;
class AudioControls;
class ServiceButtons;
class Handset;
class NumberEntry;
class ModemResponses;
class CallControl;
class PhoneBookPanel;
class SideWindows;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;

class frmPhone : public QMainWindow {
    Q_OBJECT
public:
    // Design widths of the window, in twips: the telephone alone, and with the phone book.
    static constexpr int NarrowWidth = 2865;
    static constexpr int WideWidth = 7335;
    static constexpr int DesignClientWidth = 7245;
    static constexpr int DesignClientHeight = 6660;

    explicit frmPhone(Services& services, QWidget* parent = nullptr);
    ~frmPhone() override;

    Services& services() { return m_services; }
    SharedState& shared();
    PhoneState state;

    // The window's load: settings, width, phone book, attach at startup, the setup dialog at a
    // first start, a one-second wait, then the window is shown.
    void Form_Load();
    // Attach or detach.
    void cmdOnOff_Click();
    // Closing: "ATZ" to an attached modem and a three-second wait.
    void Form_Unload();
    // The modem is being detached (On/Off) or the window is closing: the port is still open for
    // the last lines, but no call may start or be answered any more.
    bool lineClosing() const { return m_detaching || m_unloading; }
    // The key preview: every character typed anywhere in the window comes here first. True when
    // the key was used up (it then goes no further).
    bool Form_KeyPress(int keyAscii);

    // The menu entries: the modem setup dialog and the About window, both not modal.
    void showSetupDialog();
    void showAboutWindow();

    // The outer width in twips (the phone book shows at WideWidth).
    int widthTwips() const { return m_widthTwips; }
    void setWidthTwips(int twips);

    // Lamps are picture pairs: index 0 dark, index 1 lit, switched together.
    void setPowerLamp(bool lit);
    void setInUseLamp(bool lit);

    ModemLink& modemLink() { return *m_modemLink; }
    ModemResponses& responses() { return *m_responses; }
    CallControl& calls() { return *m_calls; }
    PhoneBookPanel& phoneBook() { return *m_phoneBook; }
    SideWindows& sideWindows() { return *m_sideWindows; }
    NumberEntry& numberEntry() { return *m_numberEntry; }
    AudioControls& audio() { return *m_audio; }
    ServiceButtons& serviceButtons() { return *m_serviceButtons; }
    Handset& handset() { return *m_handset; }

    // --- controls -------------------------------------------------------------------------------
    SerialControl* comModem = nullptr;

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
    QMenu* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;

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
    void detach();

    Services& m_services;
    int m_widthTwips = WideWidth;
    bool m_detaching = false;
    bool m_unloading = false;
    bool m_forwardingKey = false;
    // Behaviour objects, children of the window.
    ModemLink* m_modemLink = nullptr;
    ModemResponses* m_responses = nullptr;
    CallControl* m_calls = nullptr;
    PhoneBookPanel* m_phoneBook = nullptr;
    SideWindows* m_sideWindows = nullptr;
    NumberEntry* m_numberEntry = nullptr;
    AudioControls* m_audio = nullptr;
    ServiceButtons* m_serviceButtons = nullptr;
    Handset* m_handset = nullptr;
};
