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
// The call's one owner: only CallControl writes the call's flags (`CallActive`, `VoiceConnected`,
// `IncomingCall`); the receive handling reports what the modem said and the call follows from it.
// Each step of a call is announced with what happened, for whoever keeps track of calls (the
// caller notification, the history).
//
// Every call that is dialled or answered gets a new generation, and End starts one too; a dial
// that finds the generation changed when one of its waits returns belongs to a call that is over
// or was replaced, and stops there. So its speaker command never reaches a later call.
class CallControl : public QObject {
    Q_OBJECT
public:
    enum class Phase { Idle, Dialling, Ringing, Connected, Ending };
    Q_ENUM(Phase)
    enum class AnswerWay { Send, Automatic, Notification };
    Q_ENUM(AnswerWay)
    enum class EndReason { End, ModemLost, Detach, Unload };
    Q_ENUM(EndReason)

    CallControl(Services& services, PhoneState& state, SerialControl& comModem, PhoneFace& face, ModemLink& link,
                const ModemResponses& responses, QObject* parent = nullptr);

    Phase phase() const { return m_phase; }

    // Send: answers the incoming call (also when the number display is empty), otherwise dials
    // the number in the display and remembers it as "LastDialed".
    void cmdSend_Click();
    // Answers the caller who is waiting to be answered, as Send would (a notification's Answer);
    // with no caller waiting it does nothing, so a late press dials nothing.
    void answerWaitingCaller();
    // Automatic answering: Send pressed by the telephone itself when a caller's five seconds end.
    void answerAutomatically();
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
    void dropCall(EndReason why = EndReason::ModemLost);

    // The modem has hung up and let go of the line (detached, or the telephone closes) with a call
    // in progress: the call is over for whoever keeps track of calls. The telephone shows it until
    // End, as a detach leaves it.
    void modemLeftCall(EndReason why);

    // Whether the user refuses calls from `number` (as reported): on the block list, or private or
    // out of area when those are blocked as a class.
    bool refuses(const QString& number) const;

    // Tells the user when the modem is not attached; true when it is.
    bool attached();

    // The telephone has closed: a dial still waiting for its connection is over.
    void abandonDial();

signals:
    // A call is about to be dialled or answered.
    void callStarting();
    // A caller-ID report: the number and name as the modem reported them.
    void callerReported(const QString& number, const QString& name);
    // The caller's time to be answered is over, answered or not.
    void callerGone();
    // A refused caller (CallControl::callerBlocked): never shown, never answered for a talk.
    void callerBlocked(const QString& number, const QString& name);
    // The telephone rings (each RING the modem reports).
    void rang();
    // Send (pressed by the user, by automatic answering or from a notification) has answered.
    void callAnswered(CallControl::AnswerWay how);
    // The dial line went out: a number, or a network service code.
    void dialled(const QString& number, bool serviceCode);
    // The modem reported the voice connection of the call in progress (once a call).
    void connected();
    // The call is over and the modem and the window are at rest. For End, after its pause.
    void callEnded(CallControl::EndReason why);

private:
    // Whether a call may start now: not while End hangs up or the line is closing, and only with
    // the modem attached (the user is told when it is not).
    bool mayStartCall();
    // `dialLine` makes the line from the number, which is read after the one-second wait. True
    // when the dial line went to the modem.
    bool dial(const std::function<QString()>& number, const std::function<QString(const QString&)>& dialLine,
              bool serviceCode);
    void answer();
    // What the modem reported.
    void onCallerReported(const QString& number, const QString& name);
    void onCallerGone();
    void onVoiceConnection();
    void onCallerBlocked(const QString& number, const QString& name);
    // Answers a refused caller and at once hangs up as End does, which stops the ringing.
    void hangUpOnBlocked();
    // End's pause after the hang-up line, then the initialisation line (unless the wait was cut
    // short by the program quitting). False when the telephone was destroyed during the pause:
    // nothing of it may be touched.
    bool pauseAfterHangUp();
    void setPhase(Phase phase);
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
    Phase m_phase = Phase::Idle;
    AnswerWay m_answerWay = AnswerWay::Send;
};
