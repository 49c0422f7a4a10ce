#pragma once

#include <QChar>
#include <QObject>
#include <functional>

class CallControl;
class ModemLink;
class PhoneFace;
struct PhoneState;
struct Services;

// Everything that edits the number display: the keypad (which also sends touch tones during a
// call), Pause, Clear, Redial, the window's keyboard and the display's length rule.
class NumberEntry : public QObject {
    Q_OBJECT
public:
    // The display keeps at most this many characters.
    static constexpr int MaxLength = 14;

    NumberEntry(Services& services, PhoneState& state, PhoneFace& face, ModemLink& link, CallControl& calls,
                QObject* parent = nullptr);

    // Keypad key `index` (0 to 8 are the digits 1 to 9, 9 is "*", 10 is "0", 11 is "#").
    void cmdNumber_Click(int index);
    // A character typed anywhere in the window (Enter 13, Backspace 8, Esc 27). True when the key
    // had an action here and must go no further.
    bool Form_KeyPress(int keyAscii);
    void cmdPause_Click();
    void cmdClear_Click();
    void cmdRedial_Click();
    // A telephone link handed to the program ("tel:", "callto:"): its number goes into the display
    // for the user's Send; it is never dialled from here. A link that is no number, a number the
    // display cannot hold whole, and a link that comes during a call are refused with a message.
    void enterLink(const QString& link);
    // "Call back" (the call history, a missed-call notification): `number` as recorded goes into
    // the display as a link's would, never dialled; refused, with a message, during a call, or when
    // it holds nothing to dial or more than the display holds.
    void callBack(const QString& number);
    // Runs after every change of the display's text, whoever made it.
    void txtNumberOut_Change();

private:
    void append(QChar symbol);
    void refuseLink(const QString& link, const QString& reason);
    // A number from outside the keypad goes on the display for the user's Send, whole: one longer
    // than the display holds is refused (`refuse` gets the reason), never cut.
    void offer(const QString& number, const std::function<void(const QString&)>& refuse);

    Services& m_services;
    PhoneState& m_state;
    PhoneFace& m_face;
    ModemLink& m_link;
    CallControl& m_calls;
};
