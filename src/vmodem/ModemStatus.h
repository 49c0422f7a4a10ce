#pragma once

#include "vmodem/CallerId.h"
#include "vmodem/Persona.h"

#include <QByteArray>
#include <QString>

// Where a call stands, as the line sees it.
enum class CallPhase {
    Idle,       // on hook, quiet
    Ringing,    // on hook, an incoming call rings
    Dialling,   // off hook, digits going out
    Ringback,   // off hook, the far end's telephone rings
    Handshake,  // off hook in data or fax class, listening in vain for a carrier
    Connected,  // off hook, talking
    FarEndGone, // off hook, the far end hung up and the line gives busy tone
    OffHook,    // off hook without a far end (ATH1, or ATA with nobody calling)
};

// A snapshot of the modem for windows and logs.
struct ModemStatus {
    Persona::Id persona = Persona::Id::Rockwell;
    CallPhase phase = CallPhase::Idle;
    bool voiceOnline = false;    // online voice command mode, reached with VCON (V.253: off hook in voice)
    bool incoming = false;       // the call in progress was answered rather than dialled
    int serviceClass = 0;        // #CLS or +FCLASS
    bool classPointZero = false; // +FCLASS=1.0
    int lineSelect = 0;          // #VLS or +VLS
    int callerIdMode = 0;        // #CID or +VCID
    bool echo = true;
    int microphone = 1; // #SPK first field: 0 muted, 1 on, 2 room monitor
    int speakerAttenuation = 5;
    int microphoneGain = 1;
    int speakerLevel = 128;      // +VGS
    int microphoneLevel = 128;   // +VGM
    bool speakerphoneOn = false; // +VSP
    QByteArray dialled;          // the last dial string
    CallerId caller;             // the last incoming caller
    int ringsSent = 0;
    int ringsBeforeGivingUp = 0;

    bool offHook() const { return phase != CallPhase::Idle && phase != CallPhase::Ringing; }
    static QString phaseText(CallPhase phase);
};
