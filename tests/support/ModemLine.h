#pragma once

#include "PhoneRig.h"
#include "Pty.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <functional>

class frmPhone;

// A main window attached over a pseudo-terminal to a modem that the test plays: every command
// line the program writes is recorded with the program time it was written at, and the test can
// script what the modem does when a line arrives. The script runs from the event loop, so it also
// runs inside the program's own waits (a dial waiting for its connection, End's pause).
class ModemLine : public QObject {
    Q_OBJECT
public:
    ModemLine();

    // Loads the window with the stored modem set-up (the test may change the store first) and
    // waits for the initialisation line; true when it came. What was written so far is cleared.
    bool attach();
    frmPhone& phone() { return rig.phone(); }

    struct Write {
        double at;
        QByteArray bytes;
    };
    QList<Write> writes;
    // The program time of the first write of `bytes`, or a negative number.
    double writtenAt(const QByteArray& bytes) const;
    // How many writes were exactly `bytes`.
    qsizetype writeCount(const QByteArray& bytes) const;

    // Sends `bytes` as the modem; returns the program time just before they went.
    double send(const QByteArray& bytes);
    // The next time the program writes `line` (from now on, at the modem's end), runs `action`
    // once.
    void when(const QByteArray& line, std::function<void()> action);
    // Sends `bytes` once the program has written `line`.
    void answer(const QByteArray& line, const QByteArray& bytes);

    // Receive events whose handling has finished (the read, and a caller's five seconds).
    int handled = 0;

    Pty pty;
    PhoneRig rig;

private:
    struct Step {
        QByteArray line;
        std::function<void()> action;
        qsizetype from = 0; // where in what the modem received to look
        bool done = false;
    };
    void runScript();
    QList<Step> m_script;
};
