#pragma once

#include <QString>

// The telephone's own call state and the receive handler's texts. All start as 0, false or
// empty when the telephone is created.
struct PhoneState {
    qint16 SpeakerLevel = 0;
    bool VoiceConnected = false;
    bool Muted = false;
    bool IncomingCall = false;
    bool OnHold = false;
    // A V.253 dial or answer line has gone out: its final OK is the voice connection.
    bool ConnectsOnOk = false;

    // Everything read at the most recent receive event, after line-end normalisation.
    QString ModemText;
    // The number and name of the last caller-ID report, as received and then as shown.
    QString CallerNumber;
    QString CallerName;

    // The last caller-ID report as received (number and name before they are rearranged for the
    // display), kept for the phone book's "Add Caller"; empty until a report arrives.
    QString LastReportNumber;
    QString LastReportName;

    // The modem is being detached (On/Off) or the telephone is closing: the port is still open
    // for the last lines, but no call may start or be answered any more.
    bool Detaching = false;
    bool Unloading = false;
    // An attach is asking the modem what it takes: its answers are the probe's, and no call may
    // start.
    bool Probing = false;
    bool lineClosing() const { return Detaching || Unloading; }
};
