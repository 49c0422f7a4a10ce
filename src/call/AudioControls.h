#pragma once

#include <QObject>

class CommandButton;
class frmPhone;
class QString;
struct Services;

// The controls that act on the speakerphone during a call: Hold, Mute, Flash, the speaker
// volume slider (Slider1) and the microphone gain slider (Slider2).
class AudioControls : public QObject {
    Q_OBJECT
public:
    AudioControls(frmPhone& form, Services& services);

    void cmdHold_Click();
    void cmdMute_Click();
    void cmdFlash_Click();
    // Every change of Slider1's value, also one made by code.
    void Slider1_Change();
    // Only the user's click on Slider2; a value set by code never comes here.
    void Slider2_Click();

private:
    // A call whose voice connection the modem has reported.
    bool connectedCall() const;
    // Hold and Mute: one line switches the state on, the other off; the button shows red while on.
    void toggle(bool& on, CommandButton& button, const QString& onLine, const QString& offLine,
                const QString& onStatus);

    frmPhone& m_form;
    Services& m_services;
};
