#include "vmodem/ModemStatus.h"

QString ModemStatus::phaseText(CallPhase phase) {
    switch (phase) {
    case CallPhase::Idle:
        return QStringLiteral("idle");
    case CallPhase::Ringing:
        return QStringLiteral("ringing");
    case CallPhase::Dialling:
        return QStringLiteral("dialling");
    case CallPhase::Ringback:
        return QStringLiteral("far end ringing");
    case CallPhase::Handshake:
        return QStringLiteral("waiting for a carrier");
    case CallPhase::Connected:
        return QStringLiteral("in call");
    case CallPhase::FarEndGone:
        return QStringLiteral("far end hung up");
    case CallPhase::OffHook:
        return QStringLiteral("off hook");
    }
    return {};
}
