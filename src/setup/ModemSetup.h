#pragma once

#include <QString>
#include <array>

struct Services;

// What the modem setup dialog shows and the user edits: the port option (1 to 4, or 0 when no
// option stands for the stored "Port"), the two strings, the switches, and the device typed for
// each port number.
struct SetupChoices {
    int port = 0;
    QString intString;
    QString callerIdString;
    bool autoOn = false;
    bool callerId = false;
    bool autoAns = false;
    bool disCid = false;
    bool disCw = false;
    std::array<QString, 4> devices;
};

// The modem setup dialog's logic. It edits the shared variables while the dialog is open and
// writes the settings only on Exit; the modem picks them up at its next attach, which reads the
// store again. The dialog (setup/frmSetup) shows what the opening returns and hands back what
// it shows.
class ModemSetup {
public:
    explicit ModemSetup(Services& services);

    // The opening: reads the stored settings into the shared variables and returns what the
    // dialog shows.
    SetupChoices Form_Load();
    // The click handlers act at once on the shared variables.
    void optPort_Click(int index);
    void chkAuto_Click(bool checked);
    void chkCallerID_Click(bool checked);
    void chkAutoAns_Click(bool checked);
    void chkDiscid_Click(bool checked);
    void chkDisCW_Click(bool checked);
    // Stores what the dialog shows and sets the shared variables from it.
    void cmdExit_Click(const SetupChoices& shown);
    // Puts back the switches Send and the caller-ID handling read from memory; nothing is stored.
    void cmdCancel_Click();

private:
    void writeDevices(const std::array<QString, 4>& typed);

    Services& m_services;
    // "Port" as stored: kept as it is when no option button stands for it.
    QString m_storedPort;
    // The switches in memory at the opening, put back by Cancel: Send and the caller-ID handling
    // read them from memory, so an abandoned edit must not stay in force.
    bool m_openingAutoAns = false;
    bool m_openingDisCID = false;
    bool m_openingDisCW = false;
    // The switches held as text, as the opening read them.
    QString m_openingAutoOn;
    QString m_openingCallerID;
};
