#pragma once

#include <QString>

// The main window's own call state and the receive handler's texts. All start as 0, false or
// empty when the window is created.
struct PhoneState {
    qint16 SpeakerLevel = 0;
    bool VoiceConnected = false;
    bool Muted = false;
    bool IncomingCall = false;
    bool OnHold = false;

    // Everything read at the most recent receive event, after line-end normalisation.
    QString ModemText;
    // The number and name of the last caller-ID report, as received and then as shown.
    QString CallerNumber;
    QString CallerName;

    // The last caller-ID report as received (number and name before they are rearranged for the
    // display), kept for the phone book's "Add Caller"; empty until a report arrives.
    QString LastReportNumber;
    QString LastReportName;
};
