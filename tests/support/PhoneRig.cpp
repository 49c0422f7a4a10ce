#include "PhoneRig.h"

#include "console/frmPhone.h"

PhoneRig::PhoneRig(double speedup)
    : clock(speedup)
    , waiter(clock)
    , services{temp.store(), shared, clock, waiter, messages, lockDir.path()} {}

PhoneRig::~PhoneRig() = default;

frmPhone& PhoneRig::makePhone() {
    m_phone = std::make_unique<frmPhone>(services);
    return *m_phone;
}

void PhoneRig::load() {
    if (!m_phone) {
        makePhone();
    }
    m_phone->Form_Load();
}

void PhoneRig::storeModem(SettingsStore& store, const QString& devicePath, bool autoOn) {
    store.setPortDevice(1, devicePath);
    const QString& m = Settings::Modem;
    store.write(m, QStringLiteral("Port"), QStringLiteral("1"));
    store.write(m, QStringLiteral("IntString"), QStringLiteral("AT#CLS=8#VLS=6"));
    store.write(m, QStringLiteral("AutoOn"), autoOn ? QStringLiteral("True") : QStringLiteral("False"));
    store.write(m, QStringLiteral("CallerID"), QStringLiteral("True"));
    store.write(m, QStringLiteral("CallerIDString"), QStringLiteral("#CID=1"));
}
