#pragma once

// The modem setup dialog's window: the serial port, the initialisation and caller-ID strings, the
// start-up, caller-ID, answering and dialling switches, the device behind each port number, and
// the modem's voice command set.
// Its logic is ModemSetup: the window shows what the opening read, forwards each click, and hands
// what it shows to Exit. Modeless.

#include "setup/ModemSetup.h"

#include <QDialog>
#include <array>

class CommandButton;
class Panel3D;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
struct Services;

class frmSetup : public QDialog {
    Q_OBJECT
public:
    // The dialog's client area at its design size, in twips, and the room the port devices and
    // the command set add below it.
    static constexpr int DesignClientWidth = 5415;
    static constexpr int DesignClientHeight = 4290;
    static constexpr int DevicesHeight = 1935;
    static constexpr int CommandSetHeight = 1965;

    // `mainWindow` comes back to the front when the dialog ends.
    frmSetup(QWidget& mainWindow, Services& services, QWidget* parent = nullptr);

    // Stores the settings, brings the main window back and unloads.
    void cmdExit_Click();
    // Brings the main window back and unloads; nothing is stored.
    void cmdCancel_Click();

private:
    QGroupBox* SSFrame1 = nullptr;
    std::array<Panel3D*, 2> SSPanel1{};
    QLineEdit* txtModem = nullptr;
    Panel3D* SSPanel2 = nullptr;
    std::array<QRadioButton*, 4> optPort{};
    QCheckBox* chkAuto = nullptr;
    QCheckBox* chkCallerID = nullptr;
    QLineEdit* txtCallerIDstring = nullptr;
    QCheckBox* chkAutoAns = nullptr;
    QCheckBox* chkDiscid = nullptr;
    QCheckBox* chkDisCW = nullptr;
    CommandButton* cmdExit = nullptr;
    CommandButton* cmdCancel = nullptr;
    // The device path of each port number ("Comm 1" to "Comm 4").
    QGroupBox* fraDevices = nullptr;
    std::array<QLabel*, 4> lblDevice{};
    std::array<QComboBox*, 4> cboDevice{};
    // The voice command set, what the latest attach found, and how the user talks with the V.253
    // set (the modem's speakerphone, or a telephone on the line).
    QGroupBox* fraCommandSet = nullptr;
    QLabel* lblCommandSet = nullptr;
    QComboBox* cboCommandSet = nullptr;
    QLabel* lblFound = nullptr;
    QWidget* fraTalkThrough = nullptr;
    QLabel* lblTalkThrough = nullptr;
    std::array<QRadioButton*, 2> optTalkThrough{};

public slots:
    // Esc.
    void reject() override;

protected:
    // The title bar's close box works as Cancel.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildFace();
    void buildCommandSet();
    void showChoices(const SetupChoices& choices);
    void showCommandSet(const SetupChoices& choices);
    SetupChoices shown() const;
    void showMainWindow();
    void unload();

    QWidget& m_mainWindow;
    ModemSetup m_logic;
    bool m_unloading = false;
};
