#pragma once

#include <QObject>

class CallControl;
class ModemLink;
class PhoneFace;
struct PhoneState;
struct Services;

// The Handset button: moves a connected call between the speakerphone and the telephone handset
// plugged into the modem's phone jack, and back. The modem stays on the line both ways, so the
// call is never dropped. While the handset has the call the button's caption is red and its
// tooltip offers the way back; End, or losing the modem, leaves the phone on the speakerphone,
// since the modem's initialisation line selects it again.
class Handset : public QObject {
    Q_OBJECT
public:
    Handset(Services& services, PhoneState& state, PhoneFace& face, ModemLink& link, CallControl& calls,
            QObject* parent = nullptr);

    void cmdHandset_Click();

    // The handset has the call: what the button shows.
    bool inUse() const;

private:
    void show(bool inUse);

    Services& m_services;
    PhoneState& m_state;
    PhoneFace& m_face;
    ModemLink& m_link;
};
