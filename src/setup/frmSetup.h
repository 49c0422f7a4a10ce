#pragma once

// The modem setup dialog: the serial port, the initialisation and caller-ID strings, the
// start-up, caller-ID, answering and dialling switches, and the device behind each port number.
// It edits the shared variables while it is open and writes the settings only on Exit; the modem
// picks them up at its next attach, which reads the store again. Modeless.

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
class frmPhone;
struct Services;

class frmSetup : public QDialog {
    Q_OBJECT
public:
    // The dialog's client area at its design size, in twips, and the room the port devices add
    // below it.
    static constexpr int DesignClientWidth = 5415;
    static constexpr int DesignClientHeight = 4290;
    static constexpr int DevicesHeight = 1935;

    frmSetup(frmPhone& form, Services& services, QWidget* parent = nullptr);

    // The opening: reads the stored settings into the shared variables and the controls.
    void Form_Load();
    void optPort_Click(int index);
    void chkAuto_Click();
    void chkCallerID_Click();
    void chkAutoAns_Click();
    void chkDiscid_Click();
    void chkDisCW_Click();
    // Stores the settings, brings the main window back and unloads.
    void cmdExit_Click();
    // Brings the main window back and unloads; nothing is stored.
    void cmdCancel_Click();

    // --- controls -------------------------------------------------------------------------------
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

public slots:
    // Esc.
    void reject() override;

protected:
    // The title bar's close box works as Cancel.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildFace();
    void fillDevices();
    void writeDevices();
    void showMainWindow();
    void unload();

    frmPhone& m_form;
    Services& m_services;
    // "Port" as stored: kept as it is when no option button stands for it.
    QString m_storedPort;
    // The switches in memory at the opening, put back by Cancel: Send and the caller-ID handling
    // read them from memory, so an abandoned edit must not stay in force.
    bool m_openingAutoAns = false;
    // The switches held as text, as the opening read them.
    QString m_openingAutoOn;
    QString m_openingCallerID;
    bool m_openingDisCID = false;
    bool m_openingDisCW = false;
    bool m_unloading = false;
};
