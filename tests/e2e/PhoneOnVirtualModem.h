#pragma once

#include "VirtualModemProcess.h"
#include "WindowLine.h"

class frmPhone;

// The real main window in this process with its port 1 on the virtual modem, which runs as its
// own program: the test works the window as a user would and the telephone line through
// `modem`, and reads back from the modem exactly what crossed the line.
//
// The window runs on the rig's fast clock; the modem keeps real time, with a line short enough
// for tests: the far end answers 0.3 s after the dialling, and a caller rings every half second,
// for ten seconds.
class PhoneOnVirtualModem {
public:
    // Starts the modem, stores it as port 1 (with the usual strings and "AutoOn" "True", besides
    // whatever the test stored first) and loads the window. True once the modem has the
    // initialisation line. `modemArguments` go to the modem ("--persona cx93001").
    bool attach(const QStringList& modemArguments = {});

    frmPhone& phone() { return rig.window(); }
    // The window's control named `name`.
    template <typename T> T* control(const QString& name) { return rig.control<T>(name); }

    // Declared first so that it goes last: the window never sees its device vanish.
    VirtualModemProcess modem;
    WindowLine rig{PhoneLine::Line::System};
};
