#pragma once

#include "PhoneRig.h"
#include "Pty.h"

#include <QByteArray>
#include <Qt>

class QWidget;

// The main window attached to a pseudo-terminal that plays the modem, shown and active so that
// keys typed at it arrive as a user's would.
class AttachedPhone {
public:
    AttachedPhone();

    // Attached, shown and active; a test stops when this is false.
    bool ready() const { return m_ready; }

    // A call in progress, as Send leaves it: `connected` once the modem has reported the voice
    // connection.
    void startCall(bool connected);

    // Types one key at the window, into the control that has the focus.
    void type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void type(char character);

    // Exactly what the program wrote to the modem since the last look. A marker line written after
    // the program's own lines shows that everything before it has arrived, so nothing is missed
    // and no wait guesses.
    QByteArray written();

    Pty pty;
    PhoneRig rig;
    frmPhone* phone = nullptr;

private:
    QWidget* focused() const;

    bool m_ready = false;
};
