#pragma once

#include "Pty.h"
#include "RecordingMessageBoxes.h"
#include "RecordingView.h"
#include "TempStore.h"
#include "console/Services.h"
#include "console/SharedState.h"
#include "modem/Clock.h"
#include "modem/SerialTransport.h"
#include "modem/Waiter.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class Phone;
class ScriptedTransport;

// The one test rig over a modem line: a telephone with a settings store of its own, a clock that
// runs `speedup` times faster than real time, recorded message boxes, a private lock folder, and
// a line whose far end the test plays:
//   Scripted  a ScriptedTransport: no device at all (the usual choice)
//   Pty       a real pseudo-terminal, the program's own serial port on it
//   System    the program's own serial port on whatever device the store names for port 1 (the
//             virtual modem in the end-to-end tests)
// Every line the telephone writes is recorded with the program time it was written at, and the
// test can script what the modem does when a line has been written. The script runs from the
// event loop, so it also runs inside the telephone's own waits (a dial waiting for its
// connection, End's pause).
//
// The telephone is made on first use, after the test has filled the store. Here it is the
// telephone alone, shown through `view`; WindowLine (widget tests) makes the real window.
class PhoneLine : public QObject {
    Q_OBJECT
public:
    enum class Line { Scripted, Pty, System };

    explicit PhoneLine(Line line = Line::Scripted, double speedup = 20);
    ~PhoneLine() override;

    SettingsStore& store() { return temp.store(); }
    // A working modem set-up in `store`: port 1 at `devicePath`, the usual strings, caller ID on.
    static void storeModem(SettingsStore& store, const QString& devicePath, bool autoOn = true);
    // The same for this line's device.
    void storeModem(bool autoOn = true);
    // The device of port 1: the scripted line's name, the pseudo-terminal, or what the store names.
    QString devicePath() const;

    Phone& phone();
    // Runs the telephone's load to its end.
    void load();
    // Stores the modem set-up (a key the test stored first keeps its value), loads, and waits for
    // the initialisation line; true when it came. What was written so far is then forgotten.
    bool attach();
    // A call in progress, made as the user and the modem make one: a number dialled with Send and
    // connected by the modem's VCON, or (not `connected`) a caller answered with Send before the
    // modem reports the connection. The display is cleared and what was written forgotten.
    void startCall(bool connected);
    // The call state a test needs, made the same way; a connection without a call is the modem's
    // VCON alone. True when the telephone is in the state asked for.
    bool setUpCall(bool callActive, bool connected);
    // The modem reports a voice connection; true once the telephone has read it.
    bool reportConnection();
    // A caller rings in with a caller-ID report; true once the telephone takes the call as incoming.
    bool ringIn();

    // The far end of a scripted line (null for the others).
    ScriptedTransport* modem() { return m_modem; }
    // The pseudo-terminal of a Pty line (null for the others).
    Pty* pty() { return m_pty.get(); }

    struct Write {
        double at;
        QByteArray bytes;
    };
    QList<Write> writes;
    // Everything written since the last clearWritten(), in order.
    QByteArray written() const;
    void clearWritten() { writes.clear(); }
    // The program time of the first write of `bytes`, or a negative number.
    double writtenAt(const QByteArray& bytes) const;
    // How many writes were exactly `bytes`.
    qsizetype writeCount(const QByteArray& bytes) const;

    // Sends `bytes` as the modem (scripted and pseudo-terminal lines); returns the program time
    // just before they went.
    double send(const QByteArray& bytes);
    // The next time the telephone writes `line` (from now on), runs `action` once.
    void when(const QByteArray& line, std::function<void()> action);
    // Sends `bytes` once the telephone has written `line`.
    void answer(const QByteArray& line, const QByteArray& bytes);
    // Runs events until `done()` holds or `seconds` of program time have passed.
    bool waitUntil(const std::function<bool()>& done, double seconds = 30);
    // Lets `seconds` of program time pass with events running: long enough for anything late (a
    // caller's five seconds, a dial's wait) to have happened.
    void letPass(double seconds);

    // Receive events whose handling has finished (the read, and a caller's five seconds).
    int handled = 0;

    TempStore temp;
    QTemporaryDir lockDir;
    SharedState shared;
    ScaledClock clock;
    Waiter waiter;
    RecordingMessageBoxes messages;
    Services services;
    RecordingView view;

protected:
    // Makes the telephone over `transport` (null: the system's serial port).
    virtual Phone& create(std::unique_ptr<SerialTransport> transport);

private:
    void runScript();

    Line m_line;
    std::unique_ptr<Pty> m_pty;
    ScriptedTransport* m_modem = nullptr;
    std::unique_ptr<Phone> m_phone;
    Phone* m_made = nullptr;
    struct Step {
        QByteArray line;
        std::function<void()> action;
        qsizetype from = 0; // where in what was written to look
        bool done = false;
    };
    QList<Step> m_script;
    QByteArray m_all;
};
