#pragma once

#include "RecordingMessageBoxes.h"
#include "TempStore.h"
#include "console/Services.h"
#include "console/SharedState.h"
#include "modem/Clock.h"
#include "modem/Waiter.h"

#include <QTemporaryDir>
#include <memory>

class frmPhone;

// Everything a test of the main window needs: a settings store of its own, a clock that runs
// `speedup` times faster than real time, recorded message boxes, a private lock folder, and the
// window itself (created by makePhone, after the test has filled the store).
class PhoneRig {
public:
    explicit PhoneRig(double speedup = 20);
    ~PhoneRig();

    SettingsStore& store() { return temp.store(); }
    frmPhone& makePhone();
    frmPhone& phone() { return *m_phone; }
    // Runs the window's load to its end.
    void load();

    // Stores a working modem set-up: port 1 at `devicePath`, the usual strings, caller ID on.
    void storeModem(const QString& devicePath, bool autoOn = true) { storeModem(store(), devicePath, autoOn); }
    // The same in any store, e.g. the configuration of a Brisvane started as a program.
    static void storeModem(SettingsStore& store, const QString& devicePath, bool autoOn = true);

    TempStore temp;
    QTemporaryDir lockDir;
    SharedState shared;
    ScaledClock clock;
    Waiter waiter;
    RecordingMessageBoxes messages;
    Services services;

private:
    std::unique_ptr<frmPhone> m_phone;
};
