#include "call/ServiceButtons.h"

#include "call/CallControl.h"
#include "call/CommandLines.h"
#include "console/MessageBoxes.h"
#include "console/PhoneFace.h"
#include "console/Services.h"
#include "console/SettingsStore.h"

#include <QPointer>

using Feature = ServiceCodes::Feature;

ServiceButtons::ServiceButtons(Services& services, PhoneFace& face, CallControl& calls, QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_face(face)
    , m_calls(calls)
    , m_codes(services.settings) {}

void ServiceButtons::cmdCallForward_Click() {
    QString number = CommandLines::dialable(m_face.text(PhoneFace::Box::NumberOut));
    if (number.isEmpty()) {
        // Asking for a number the modem cannot dial would waste the user's typing.
        if (codeOrTell(Feature::CallForward, false).isEmpty() || !m_calls.attached()) {
            return;
        }
        bool ok = false;
        number = CommandLines::dialable(m_services.messages.askText(
            ApplicationTitle, QStringLiteral("Forward your calls to which number?"), QString(), &ok));
        if (!ok || number.isEmpty()) {
            return;
        }
    }
    activate(Feature::CallForward, number);
}

void ServiceButtons::cmdRepeat_Click() {
    activate(Feature::Repeat);
}

void ServiceButtons::cmdLastCall_Click() {
    activate(Feature::LastCaller);
}

void ServiceButtons::cmdCancelRPT_Click() {
    const Feature feature = m_codes.toCancel();
    const QString code = codeOrTell(feature, true);
    if (!code.isEmpty() && dial(code)) {
        m_codes.cancelled(feature);
    }
}

void ServiceButtons::activate(Feature feature, const QString& number) {
    const QString code = codeOrTell(feature, false);
    if (!code.isEmpty() && dial(code + number)) {
        m_codes.activated(feature);
    }
}

QString ServiceButtons::codeOrTell(Feature feature, bool cancel) {
    const QString code = cancel ? m_codes.cancellation(feature) : m_codes.activation(feature);
    if (code.isEmpty()) {
        m_services.messages.show(
            MessageBoxes::Icon::Warning, ApplicationTitle,
            QStringLiteral("There is no service code to dial: \"%1\" in the group \"%2\" of "
                           "%3 holds none.")
                .arg(ServiceCodes::key(feature, cancel), Settings::Services, m_services.settings.filePath()));
    }
    return code;
}

bool ServiceButtons::dial(const QString& dialString) {
    const QPointer<ServiceButtons> alive(this);
    const bool dialled = m_calls.placeServiceCall(dialString);
    return dialled && alive;
}
