#pragma once

#include "console/PhoneFace.h"

#include <QObject>

class ModemLink;
class QString;
struct PhoneState;
struct Services;

// The controls that act on the speakerphone during a call: Hold, Mute, Flash, the speaker
// volume slider (Slider1) and the microphone gain slider (Slider2).
class AudioControls : public QObject {
    Q_OBJECT
public:
    AudioControls(Services& services, PhoneState& state, PhoneFace& face, ModemLink& link, QObject* parent = nullptr);

    void cmdHold_Click();
    void cmdMute_Click();
    void cmdFlash_Click();
    // Every change of Slider1's value, also one made by code.
    void Slider1_Change();
    // Only the user's click on Slider2, which left it at `value`; a value set by code never comes
    // here.
    void Slider2_Click(int value);

    // Tells, in their tooltips, which controls the modem and the way of talking give nothing to act
    // on; those send nothing.
    void showWhatCanAct();

private:
    // A call whose voice connection the modem has reported.
    bool connectedCall() const;
    // Hold and Mute: one line switches the state on, the other off; the button shows red while on.
    void toggle(bool& on, PhoneFace::Latch button, const QString& onLine, const QString& offLine,
                const QString& onStatus);

    Services& m_services;
    PhoneState& m_state;
    PhoneFace& m_face;
    ModemLink& m_link;
};
