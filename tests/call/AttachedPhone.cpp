#include "AttachedPhone.h"

#include "console/frmPhone.h"
#include "modem/ModemLink.h"
#include "modem/SerialControl.h"

#include <QApplication>
#include <QTest>

namespace {
const QByteArray Marker("AT\r");
}

AttachedPhone::AttachedPhone() {
    rig.storeModem(pty.devicePath());
    rig.load();
    phone = &rig.phone();
    if (!pty.waitForReceived("#CID=1\r") || !rig.shared.ModemAttached) {
        return;
    }
    pty.clearReceived();
    phone->activateWindow();
    m_ready = QTest::qWaitForWindowActive(phone);
}

void AttachedPhone::startCall(bool connected) {
    rig.shared.CallActive = true;
    phone->state.VoiceConnected = connected;
    phone->modemLink().beginCall();
}

QWidget* AttachedPhone::focused() const {
    QWidget* widget = QApplication::focusWidget();
    return widget ? widget : phone;
}

// Press and release each go to whatever has the focus at that moment, as they do from a real
// keyboard: the window moves the focus between the two.
void AttachedPhone::type(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyPress(focused(), key, modifiers);
    QTest::keyRelease(focused(), key, modifiers);
}

void AttachedPhone::type(char character) {
    QTest::keyPress(focused(), character);
    QTest::keyRelease(focused(), character);
}

QByteArray AttachedPhone::written() {
    if (phone->comModem->output(Marker) || !pty.waitForReceived(Marker)) {
        return QByteArrayLiteral("<the marker line did not arrive>");
    }
    const QByteArray all = pty.received();
    pty.clearReceived();
    return all.left(all.lastIndexOf(Marker));
}
