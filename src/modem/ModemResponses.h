#pragma once

#include <QObject>

class frmPhone;
struct Services;

// Everything the modem sends, as the main window sees it: the serial control's receive event
// (`comModem_OnComm`) and the caller-ID handling (`display_number`) with automatic answering.
// The text itself is read by ModemText; this class only shows the results and keeps the state.
class ModemResponses : public QObject {
    Q_OBJECT
public:
    ModemResponses(frmPhone& form, Services& services);

    // The receive event: restores a minimised window, waits half a second so that a report
    // arrives whole, reads everything received, and acts on "VCON" and "NMBR =".
    void comModem_OnComm();

    // Shows the caller of the report in `ModemText`, keeps the call waiting to be answered for
    // five seconds (Send answers it then), answers it itself when automatic answering is on, and
    // reloads "AutoAns" at the end.
    void display_number();

private:
    frmPhone& m_form;
    Services& m_services;
};
