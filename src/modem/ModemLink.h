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

// The telephone's link to the modem: attaching to the modem (`modem_int`), the program's timed
// wait (`Delay`), writing command lines, the serial error reporter (`ModemError`), and what
// happens when the device goes away.
//
// A device that went away while attached is waited for: when the same port's device path is
// there again (the modem plugged back in), the telephone attaches by itself as On/Off would, with
// no message box. An attach of the user's (On/Off) or the telephone's close ends the wait,
// so a user who detached is never attached behind their back. An open that fails because the
// device is not ready yet (permissions follow its node) or is held by another program waits for
// the next change silently; any other failure is told once, as On/Off tells it, and ends the
// wait.
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
    // stored initialisation string, the caller-ID fragment when caller ID is "True", a CR.
    QString initialisationLine() const;

    // Reports an error of a failed attach and returns the verdict ("E" or empty).
    QString ModemError(const SerialError& error);

    // Tells the user which stored settings cannot be used, what that stops, and how to correct
    // them. `atLoad`: the window's load, which goes on with their defaults; the attach it starts
    // then does not tell the same again.
    void tellUnusable(const QList<ConversionError>& unusable, bool atLoad);

signals:
    // The port closed under the program's feet (device unplugged) and the telephone is detached.
    void deviceLost();

private:
    void onDeviceLost(const SerialError& error);
    // Everything of an attach but telling its error; the error, or none when attached.
    SerialError attach();
    void reattach();

    Services& m_services;
    PhoneState& m_state;
    SerialControl& m_comModem;
    PhoneFace& m_face;
    DeviceWatch* m_watch = nullptr;
    bool m_toldThisCall = false;
    QList<ConversionError> m_toldAtLoad;
};
