#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class PhoneFace;
class QTimer;
class SerialControl;
struct PhoneState;
struct Services;

// Everything the modem sends, as the telephone sees it: the serial control's receive event
// (`comModem_OnComm`) and the caller-ID handling (`display_number`) with automatic answering.
// The text itself is read by ModemText; this class only shows the results and keeps the state.
//
// Its two pauses (half a second of quiet on the line for a report to arrive whole, five seconds
// for Send to answer a caller) are timers, not waits: a report that comes in while another handler waits (End's
// pause, the detach, the unload, a dial waiting for its connection) is shown at once and does
// not hold that handler up, and its five seconds count on their own.
class ModemResponses : public QObject {
    Q_OBJECT
public:
    ModemResponses(Services& services, PhoneState& state, SerialControl& comModem, PhoneFace& face,
                   QObject* parent = nullptr);

    // Whether the user refuses a caller, by the number as reported. A refused caller is not shown,
    // not notified and never answered (callerBlocked instead of callerReported). None: nobody is.
    void setRefusal(std::function<bool(const QString& number)> refused) { m_refused = std::move(refused); }

    // The receive event: restores a minimised window, and once the line has been quiet for half a
    // second (at most two seconds after the first event of the burst), so that a report has
    // arrived whole, reads everything received and acts on "VCON" and "NMBR =".
    void comModem_OnComm();

    // Shows the caller of the report in `ModemText` and keeps the call waiting to be answered
    // for five seconds (Send answers it then); at their end it answers it itself when automatic
    // answering is on, and reloads "AutoAns".
    void display_number();

    // The incoming call is over without an answer (the modem went away): its five seconds end
    // now and nothing answers it.
    void dropIncomingCall();

    // How many caller-ID reports have been shown since the telephone was made.
    quint64 reportCount() const { return m_reports; }

signals:
    // What the modem reported, for the call's owner (CallControl), which keeps the call's state:
    // a caller-ID report with the number and name as the modem sent them (before the display
    // rearranges them), and the voice connection ("VCON", or the V.253 OK of a dial or answer).
    void callerReported(const QString& number, const QString& name);
    void voiceConnectionReported();
    // A caller on the list of refused numbers (or of a refused class: private, out of area): not
    // shown, not notified, never answered automatically.
    void callerBlocked(const QString& number, const QString& name);
    // The modem reported the telephone ringing.
    void ringReported();
    // A caller-ID report is shown: the caller's name as the display shows it ("Private" and "Out
    // of Area" included) and the number shown (empty for those two). A report repeated for the
    // same call is shown again.
    void callerShown(const QString& name, const QString& number);
    // The caller's five seconds are over (answered or not), or the call went with the modem: the
    // call no longer waits to be answered.
    void callerGone();
    // Automatic answering: the caller's five seconds are over unanswered, and the call is to be
    // answered as Send answers it.
    void answerDue();
    // What the modem sent has been dealt with completely: read and, for a caller-ID report,
    // the five seconds in which Send answers are over.
    void handled();

private:
    void readReceived();
    void endIncomingCall(bool mayAnswer);

    Services& m_services;
    PhoneState& m_state;
    SerialControl& m_comModem;
    PhoneFace& m_face;
    QPointer<QTimer> m_settle;
    double m_burstBegan = 0;
    QPointer<QTimer> m_answerTime;
    std::function<bool(const QString&)> m_refused;
    quint64 m_reports = 0;
};
