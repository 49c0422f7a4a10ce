#pragma once

#include <QObject>
#include <QString>
#include <functional>

class ModemLink;
class ModemResponses;
class PhoneFace;
class SerialControl;
struct PhoneState;
struct Services;

// Send and End: placing a call (the dial line, then the speaker level once the modem reports the
// voice connection), answering one, and ending it with the modem and the telephone back at rest.
//
// Every call that is dialled or answered gets a new generation, and End starts one too; a dial
// that finds the generation changed when one of its waits returns belongs to a call that is over
// or was replaced, and stops there. So its speaker command never reaches a later call.
class CallControl : public QObject {
    Q_OBJECT
public:
    CallControl(Services& services, PhoneState& state, SerialControl& comModem, PhoneFace& face, ModemLink& link,
                const ModemResponses& responses, QObject* parent = nullptr);

    // Send: answers the incoming call (also when the number display is empty), otherwise dials
    // the number in the display and remembers it as "LastDialed".
    void cmdSend_Click();
    // Answers the caller who is waiting to be answered, as Send would (a notification's Answer);
    // with no caller waiting it does nothing, so a late press dials nothing.
    void answerWaitingCaller();
    // End: hangs up, initialises the modem again and resets every call flag, display and lamp.
    // A step that fails (the port is closed) leaves the call inactive, and End goes on.
    void cmdEnd_Click();

    // Dials a network service code ("*69", "*72" and a number, and the like) as a call: waits,
    // letting events run, for the voice connection, then sets the speaker level. The network takes
    // a feature code only at the start of the dial string, so the blocking prefixes of calls are
    // left out, and the code is not remembered as the last number dialled. True when the dial
    // line went to the modem.
    bool placeServiceCall(const QString& code);

    // The modem has gone with a call on it: the call is over as End leaves it, without a line to
    // the modem, and a dial waiting for its connection stops waiting.
    void dropCall();

    // Tells the user when the modem is not attached; true when it is.
    bool attached();

    // The telephone has closed: a dial still waiting for its connection is over.
    void abandonDial();

signals:
    // A call is about to be dialled or answered.
    void callStarting();
    // Send has answered the incoming call.
    void callAnswered();
    // End has finished: the modem and the window are at rest.
    void callEnded();

private:
    // Whether a call may start now: not while End hangs up or the line is closing, and only with
    // the modem attached (the user is told when it is not).
    bool mayStartCall();
    // `dialLine` makes the line from the number, which is read after the one-second wait. True
    // when the dial line went to the modem.
    bool dial(const std::function<QString()>& number, const std::function<QString(const QString&)>& dialLine,
              bool rememberAsLastDialed);
    void answer();
    // The call is in use: lamp lit, "In Use".
    void showInUse();
    // What End does before and after its lines to the modem. `keepIncomingCall`: a caller who
    // rang in while End hung up still waits to be answered.
    void clearDisplays();
    void settleCallState(bool keepIncomingCall);

    Services& m_services;
    PhoneState& m_state;
    SerialControl& m_comModem;
    PhoneFace& m_face;
    ModemLink& m_link;
    const ModemResponses& m_responses;
    quint64 m_generation = 0;
    bool m_ending = false;
};
