#pragma once

#include "console/SharedState.h"
#include "modem/SerialError.h"

#include <QList>
#include <QObject>
#include <QString>

class DeviceWatch;
class PhoneFace;
class SerialControl;
struct PhoneState;
struct Services;

// The telephone's link to the modem: attaching to the modem (`modem_int`), with its voice command
// set chosen or detected (ModemProbe), the program's timed
// wait (`Delay`), writing command lines, the serial error reporter (`ModemError`), and what
// happens when the device goes away.
//
// A device that went away while attached is waited for: when the same port's device path is
// there again (the modem plugged back in), the telephone attaches by itself as On/Off would, with
// no message box. An attach of the user's (On/Off) or the telephone's close ends the wait,
// so a user who detached is never attached behind their back, and so does a change of the port
// or its device in Setup. An open that fails because the device is not ready yet (permissions
// follow its node) is tried once more a moment later and then waits for the next change. A device
// that another program holds (a modem manager probes a freshly plugged modem for a while) is
// tried again and again, more and more seldom, for two minutes, without a word; then the user is
// told once who holds it. Any other failure is told once, as On/Off tells it, and ends the wait.
//
// When an open is refused because the device is held, the user is told which program holds it,
// or, when a service that manages modems has taken it, how to keep that service off the modem.
class ModemLink : public QObject {
    Q_OBJECT
public:
    ModemLink(Services& services, PhoneState& state, SerialControl& comModem, PhoneFace& face,
              QObject* parent = nullptr);

    // Attach: reload the settings, open the chosen port, send the initialisation line. Ends the
    // wait for a lost device.
    void modem_int();

    // Whether the telephone is waiting for its lost device to come back, and where.
    const DeviceWatch& deviceWatch() const { return *m_watch; }
    // Stops waiting for the lost device (the telephone is closing).
    void stopWaitingForDevice();

    // Waits `seconds`, letting every pending window and serial event run. False when the wait
    // was cut short because the program is ending; callers then finish without waiting again.
    bool Delay(double seconds);

    // Writes `text` to the modem in one operation; command lines carry their own carriage
    // return. 8018 while the port is closed.
    SerialError output(const QString& text);

    // Writes a command line that belongs to the call in progress (tones, hold, mute, flash,
    // levels). With the port closed (the modem was detached or went away during the call) nothing
    // is written and the user is told, once per call, that the modem is not attached. True when
    // the line was written.
    bool callCommand(const QString& line);
    // A call begins: the next command that cannot be written is told again.
    void beginCall();
    // Tells the user plainly that the modem is not attached.
    void tellNotAttached();

    // The complete initialisation line as an attach builds it from the current settings: the
    // stored initialisation string of the modem's command set, the caller-ID fragment when caller
    // ID is "True", a CR.
    QString initialisationLine() const;
    // "ATZ"; with the V.253 set and caller ID on, the caller-ID command again after it.
    SerialError resetModem();

    // Reports an error of a failed attach and returns the verdict ("E" or empty).
    QString ModemError(const SerialError& error);

    // Tells the user which stored settings cannot be used, what that stops, and how to correct
    // them. `atLoad`: the window's load, which goes on with their defaults; the attach it starts
    // then does not tell the same again.
    void tellUnusable(const QList<ConversionError>& unusable, bool atLoad);

signals:
    // An attach has sent the initialisation line: the modem is attached.
    void attached();
    // The port closed under the program's feet (device unplugged) and the telephone is detached.
    void deviceLost();

private:
    void onDeviceLost(const SerialError& error);
    // Everything of an attach but telling its error; the error, or none when attached.
    SerialError attach();
    // For the V.253 set or "Detect": asks the freshly opened modem what it takes (`Voice`). The
    // Rockwell set asks nothing. An error closes the port.
    SerialError learnVoice();
    void reattach();
    // The port and device the stored settings choose now.
    QString chosenDevice() const;
    // Whether `error` refused the open of a device that another program holds.
    bool isHeld(const SerialError& error) const;
    // The refusal of a held device as the user is told it, after `lead`: who holds it, or how to
    // keep a modem manager off it.
    SerialError heldError(const QString& lead) const;
    // ModemError without asking who holds the device.
    QString report(const SerialError& error);

    Services& m_services;
    PhoneState& m_state;
    SerialControl& m_comModem;
    PhoneFace& m_face;
    DeviceWatch* m_watch = nullptr;
    // The choice of port and device whose device went away.
    QString m_lostChoice;
    bool m_toldThisCall = false;
    QList<ConversionError> m_toldAtLoad;
};
