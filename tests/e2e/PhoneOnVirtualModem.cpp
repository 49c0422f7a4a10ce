#include "PhoneOnVirtualModem.h"

bool PhoneOnVirtualModem::attach(const QStringList& modemArguments) {
    const QStringList line = modemArguments + QStringList{QStringLiteral("--answer-after"),  QStringLiteral("0.3"),
                                                          QStringLiteral("--ring-interval"), QStringLiteral("0.5"),
                                                          QStringLiteral("--rings"),         QStringLiteral("20")};
    if (!modem.start(line)) {
        return false;
    }
    rig.store().setPortDevice(1, modem.ptyPath());
    return rig.attach() && modem.waitForHostBytes("\r");
}
