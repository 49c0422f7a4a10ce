#include "PhoneOnVirtualModem.h"

#include "console/frmPhone.h"

#include <QTimer>

bool PhoneOnVirtualModem::attach() {
    const QStringList line{QStringLiteral("--answer-after"),  QStringLiteral("0.3"),
                           QStringLiteral("--ring-interval"), QStringLiteral("0.5"),
                           QStringLiteral("--rings"),         QStringLiteral("20")};
    if (!modem.start(line)) {
        return false;
    }
    rig.storeModem(modem.ptyPath());
    rig.makePhone();
    // A window that waits for ever (a dial whose connection never comes) fails the test instead
    // of hanging it: every wait ends.
    QTimer::singleShot(60000, &rig.phone(), [this] { rig.waiter.abortAll(); });
    rig.load();
    return modem.waitForHostBytes("\r");
}
