#include "call/Handset.h"

#include "call/CallControl.h"
#include "call/CommandLines.h"
#include "console/SharedState.h"
#include "console/frmPhone.h"
#include "modem/ModemLink.h"
#include "platform/Controls.h"

Handset::Handset(frmPhone& form, Services& services)
    : QObject(&form)
    , m_form(form)
    , m_services(services) {
    connect(m_form.cmdHandset, &QPushButton::clicked, this, &Handset::cmdHandset_Click);
    connect(&m_form.calls(), &CallControl::callEnded, this, [this] { show(false); });
    connect(&m_form.modemLink(), &ModemLink::deviceLost, this, [this] { show(false); });
}

void Handset::cmdHandset_Click() {
    if (!m_services.shared.CallActive || !m_form.state.VoiceConnected) {
        // No call to move; whatever the button still showed belonged to one that is over.
        show(false);
        return;
    }
    ModemLink& link = m_form.modemLink();
    if (!m_inUse) {
        if (link.callCommand(CommandLines::handset())) {
            show(true);
        }
        return;
    }
    if (link.callCommand(CommandLines::speakerphone(link.initialisationLine()))) {
        show(false);
    }
}

void Handset::show(bool inUse) {
    m_inUse = inUse;
    m_form.cmdHandset->showLatched(inUse);
    m_form.cmdHandset->setToolTip(inUse ? QStringLiteral("Back to Speakerphone") : QStringLiteral("Pick Up Handset"));
}
