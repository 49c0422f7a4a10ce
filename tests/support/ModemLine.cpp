#include "ModemLine.h"

#include "console/frmPhone.h"
#include "modem/ModemResponses.h"
#include "modem/SerialControl.h"

#include <QTimer>

ModemLine::ModemLine() {
    rig.storeModem(pty.devicePath());
    connect(&pty, &Pty::bytesArrived, this, &ModemLine::runScript);
}

bool ModemLine::attach() {
    frmPhone& form = rig.makePhone();
    connect(form.comModem, &SerialControl::bytesWritten, this, [this](const QByteArray& bytes) {
        writes.append({rig.clock.now(), bytes});
    });
    connect(&form.responses(), &ModemResponses::handled, this, [this] { ++handled; });
    // A program that waits for ever fails the test instead of hanging it: every wait ends.
    QTimer::singleShot(30000, this, [this] { rig.waiter.abortAll(); });
    rig.load();
    if (!pty.waitForReceived("\r")) {
        return false;
    }
    pty.clearReceived();
    writes.clear();
    return true;
}

double ModemLine::writtenAt(const QByteArray& bytes) const {
    for (const Write& w : writes) {
        if (w.bytes == bytes) {
            return w.at;
        }
    }
    return -1;
}

qsizetype ModemLine::writeCount(const QByteArray& bytes) const {
    return std::count_if(writes.begin(), writes.end(), [&](const Write& w) { return w.bytes == bytes; });
}

double ModemLine::send(const QByteArray& bytes) {
    const double now = rig.clock.now();
    pty.send(bytes);
    return now;
}

void ModemLine::when(const QByteArray& line, std::function<void()> action) {
    m_script.append({line, std::move(action), pty.received().size()});
    runScript();
}

void ModemLine::answer(const QByteArray& line, const QByteArray& bytes) {
    when(line, [this, bytes] { pty.send(bytes); });
}

void ModemLine::runScript() {
    for (qsizetype i = 0; i < m_script.size(); ++i) {
        if (m_script[i].done || pty.received().indexOf(m_script[i].line, m_script[i].from) < 0) {
            continue;
        }
        m_script[i].done = true;
        // From the event loop, not from inside the pty's notification: an action may wait.
        QTimer::singleShot(0, this, m_script[i].action);
    }
}
