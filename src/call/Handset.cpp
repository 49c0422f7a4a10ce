#include "call/Handset.h"

#include "call/CallControl.h"
#include "call/ModemCommands.h"
#include "console/PhoneFace.h"
#include "console/PhoneState.h"
#include "console/Services.h"
#include "console/SharedState.h"
#include "modem/ModemLink.h"

Handset::Handset(Services& services, PhoneState& state, PhoneFace& face, ModemLink& link, CallControl& calls,
                 QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_state(state)
    , m_face(face)
    , m_link(link) {
    connect(&calls, &CallControl::callEnded, this, [this] { show(false); });
    connect(&m_link, &ModemLink::deviceLost, this, [this] { show(false); });
}

void Handset::cmdHandset_Click() {
    if (!m_services.shared.CallActive || !m_state.VoiceConnected) {
        // No call to move; whatever the button still showed belonged to one that is over.
        show(false);
        return;
    }
    ModemLink& link = m_link;
    const ModemCommands commands = ModemCommands::of(m_services.shared);
    if (!inUse()) {
        m_face.setHandsetReturns(!commands.v253());
        if (link.callCommand(commands.handset())) {
            show(true);
        }
        return;
    }
    // A V.253 modem that has left the call to the telephone on the line cannot take it back.
    if (const QString back = commands.speakerphone(link.initialisationLine());
        !back.isEmpty() && link.callCommand(back)) {
        show(false);
    }
}

bool Handset::inUse() const {
    return m_face.latched(PhoneFace::Latch::Handset);
}

void Handset::show(bool inUse) {
    m_face.setLatched(PhoneFace::Latch::Handset, inUse);
}
