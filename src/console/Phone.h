#pragma once

// The telephone without its window: the state of the main window, its load, On/Off and close,
// the key preview, and every subsystem's behaviour, each in the object that owns it:
//   ModemLink      (modem/)     attach, Delay, serial errors
//   ModemResponses (modem/)     everything the modem sends: VCON, caller ID, automatic answering
//   CallControl    (call/)      Send and End: placing, answering and ending calls
//   NumberEntry    (call/)      keypad, Pause, Clear, Redial, the keyboard, the display's length
//   AudioControls  (call/)      Hold, Mute, Flash and the two sliders
//   ServiceButtons (call/)      Call Fwd, Repeat, Last Caller, Cancel: the network's service codes
//   Handset        (call/)      moves a call between the speakerphone and the handset
//   PhoneBookPanel (phonebook/) the phone book
// What the user sees is kept in `face` and shown by a PhoneView (the window, console/frmPhone).

#include "call/CallControl.h"
#include "console/PhoneFace.h"
#include "console/PhoneState.h"
#include "modem/SerialTransport.h"

#include <QObject>
#include <memory>

class AudioControls;
class Handset;
class ModemLink;
class ModemResponses;
class NumberEntry;
class PhoneBookPanel;
class SerialControl;
class ServiceButtons;
struct Services;
struct SharedState;

class Phone : public QObject {
    Q_OBJECT
public:
    // Over the system's serial port, or over `transport` when one is given.
    Phone(Services& services, PhoneView& view, std::unique_ptr<SerialTransport> transport = nullptr,
          QObject* parent = nullptr);
    ~Phone() override;

    Services& services() { return m_services; }
    SharedState& shared();
    PhoneState state;
    PhoneFace& face() { return *m_face; }
    const PhoneFace& face() const { return *m_face; }

    // The load: settings, width, phone book, attach at startup, the setup dialog at a first
    // start, a one-second wait, then the window is shown.
    void Form_Load();
    // Attach or detach.
    void cmdOnOff_Click();
    // The window is asked to close. False while it is closing already (closed again during the
    // unload's wait): that close is refused. Otherwise unloads and raises `closed`.
    bool queryUnload();
    // The key preview: every character typed anywhere in the window comes here first. True when
    // the key was used up (it then goes no further).
    bool Form_KeyPress(int keyAscii);

    SerialControl& comModem() { return *m_comModem; }
    ModemLink& modemLink() { return *m_modemLink; }
    ModemResponses& responses() { return *m_responses; }
    CallControl& calls() { return *m_calls; }
    NumberEntry& numberEntry() { return *m_numberEntry; }
    AudioControls& audio() { return *m_audio; }
    Handset& handset() { return *m_handset; }
    ServiceButtons& serviceButtons() { return *m_serviceButtons; }
    PhoneBookPanel& phoneBook() { return *m_phoneBook; }

signals:
    // The window has been shown by the load.
    void loaded();
    // The telephone has closed (after its unload): the program ends.
    void closed();

private:
    // Closing: "ATZ" to an attached modem and a three-second wait.
    void Form_Unload();
    void detach();
    void endCallWithTheModem(CallControl::EndReason why);

    Services& m_services;
    // Children of this object, made in this order: each finds the ones before it.
    PhoneFace* m_face = nullptr;
    SerialControl* m_comModem = nullptr;
    ModemLink* m_modemLink = nullptr;
    ModemResponses* m_responses = nullptr;
    CallControl* m_calls = nullptr;
    NumberEntry* m_numberEntry = nullptr;
    AudioControls* m_audio = nullptr;
    Handset* m_handset = nullptr;
    ServiceButtons* m_serviceButtons = nullptr;
    PhoneBookPanel* m_phoneBook = nullptr;
};
