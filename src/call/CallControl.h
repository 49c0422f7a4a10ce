#pragma once

#include <QObject>
#include <QString>
#include <functional>

class frmPhone;
struct Services;

// Send and End: placing a call (the dial line, then the speaker level once the modem reports the
// voice connection), answering one, and ending it with the modem and the window back at rest.
//
// Every call that is dialled or answered gets a new generation, and End starts one too; a dial
// that finds the generation changed when one of its waits returns belongs to a call that is over
// or was replaced, and stops there. So its speaker command never reaches a later call.
class CallControl : public QObject {
    Q_OBJECT
public:
    CallControl(frmPhone& form, Services& services);

    // Send: answers the incoming call (also when the number display is empty), otherwise dials
    // the number in the display and remembers it as "LastDialed".
    void cmdSend_Click();
    // End: hangs up, initialises the modem again and resets every call flag, display and lamp.
    // A step that fails (the port is closed) leaves the call inactive, and End goes on.
    void cmdEnd_Click();

    // Dials `dialString` and waits, letting events run, for the voice connection; then sets the
    // speaker level. Service codes ("*69" and the like) come through here without being
    // remembered as the last number dialled. True when the dial line went to the modem.
    bool placeCall(const QString& dialString, bool rememberAsLastDialed);

    // Tells the user when the modem is not attached; true when it is.
    bool attached();

signals:
    // End has finished: the modem and the window are at rest.
    void callEnded();

private:
    // `number` is read after the one-second wait, when the dial line is built. True when the dial
    // line went to the modem.
    bool dial(const std::function<QString()>& number, bool rememberAsLastDialed);
    void answer();
    // The call is in use: lamp lit, "In Use".
    void showInUse();

    frmPhone& m_form;
    Services& m_services;
    quint64 m_generation = 0;
    bool m_ending = false;
};
