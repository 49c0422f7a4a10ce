#include "call/NumberEntry.h"

#include "call/CallControl.h"
#include "call/CommandLines.h"
#include "call/ModemCommands.h"
#include "call/TelLink.h"
#include "console/MessageBoxes.h"
#include "console/PhoneFace.h"
#include "console/PhoneState.h"
#include "console/Services.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "modem/ModemLink.h"

namespace {

constexpr int Enter = 13;
constexpr int Backspace = 8;

constexpr int KeypadKeys = 12;

// The keypad key a typed character stands for, or -1. "/" stands for "#", which the numeric
// keypad of a PC keyboard lacks.
int keypadIndexOf(int keyAscii) {
    const QChar symbol = keyAscii == '/' ? QLatin1Char('#') : QChar(keyAscii);
    for (int index = 0; index < KeypadKeys; ++index) {
        if (CommandLines::keypadSymbol(index) == symbol) {
            return index;
        }
    }
    return -1;
}

using Box = PhoneFace::Box;

} // namespace

NumberEntry::NumberEntry(Services& services, PhoneState& state, PhoneFace& face, ModemLink& link, CallControl& calls,
                         QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_state(state)
    , m_face(face)
    , m_link(link)
    , m_calls(calls) {
    connect(&m_face, &PhoneFace::numberOutChanged, this, &NumberEntry::txtNumberOut_Change);
}

void NumberEntry::cmdNumber_Click(int index) {
    const QChar symbol = CommandLines::keypadSymbol(index);
    if (symbol.isNull()) {
        return;
    }
    m_face.setText(Box::Name, QString());
    if (m_services.shared.CallActive) {
        // With the port closed the symbol still goes into the display; the user is told once.
        m_link.callCommand(ModemCommands::of(m_services.shared).tone(index));
    }
    append(symbol);
}

bool NumberEntry::Form_KeyPress(int keyAscii) {
    bool usedUp = true;
    if (keyAscii == Enter) {
        // Used up here, so the default button does not click Send a second time.
        m_calls.cmdSend_Click();
    } else if (const int index = keypadIndexOf(keyAscii); index >= 0) {
        cmdNumber_Click(index);
    } else if (keyAscii == Backspace) {
        const QString text = m_face.text(Box::NumberOut);
        if (!text.isEmpty()) {
            m_face.setText(Box::NumberOut, text.chopped(1));
        }
    } else if (keyAscii == '+' || keyAscii == '-') {
        // The slider's low end is marked "+"; a step past either end does nothing.
        const int level = m_face.speakerLevel() + (keyAscii == '+' ? -1 : 1);
        if (level >= 0 && level <= PhoneFace::MaxSpeakerLevel) {
            m_face.setSpeakerLevel(level);
        }
    } else if (keyAscii == 'E' || keyAscii == 'e') {
        m_calls.cmdEnd_Click();
    } else if (keyAscii == ' ') {
        usedUp = m_face.view().clickFocusedButton();
    } else {
        usedUp = false;
    }
    m_face.view().focusSend();
    return usedUp;
}

void NumberEntry::cmdPause_Click() {
    append(QLatin1Char(','));
}

void NumberEntry::cmdClear_Click() {
    for (Box box : {Box::Status, Box::NumberOut, Box::NumberIn, Box::Name}) {
        m_face.setText(box, QString());
    }
}

void NumberEntry::cmdRedial_Click() {
    // While an incoming call is being handled the display belongs to it: Send will answer.
    if (!m_state.IncomingCall) {
        m_face.setText(Box::NumberOut, CommandLines::dialable(m_services.settings.read(Settings::LastDialed)));
    }
    m_face.view().focusSend();
}

void NumberEntry::enterLink(const QString& link) {
    // The display belongs to the call in progress: its number, and the tones sent since.
    if (m_services.shared.CallActive || m_state.IncomingCall) {
        refuseLink(link, QStringLiteral("A call is in progress."));
        return;
    }
    const TelLink::Parsed parsed = TelLink::parse(link);
    switch (parsed.outcome) {
    case TelLink::Outcome::NotALink:
        refuseLink(link, QStringLiteral("It is not a telephone link."));
        return;
    case TelLink::Outcome::NothingDialable:
    case TelLink::Outcome::NotANumber:
        refuseLink(link, QStringLiteral("It holds no telephone number that can be dialled."));
        return;
    case TelLink::Outcome::Number:
        break;
    }
    offer(parsed.number, [this, &link](const QString& reason) { refuseLink(link, reason); });
}

void NumberEntry::offer(const QString& number, const std::function<void(const QString&)>& refuse) {
    // Cut to fit, it would be a different number.
    if (number.size() > MaxLength) {
        refuse(QStringLiteral("Its number %1 is longer than the %2 characters the display holds.")
                   .arg(number)
                   .arg(MaxLength));
        return;
    }
    m_face.setText(Box::NumberOut, number);
    m_face.view().focusSend();
}

void NumberEntry::callBack(const QString& number) {
    const auto refuse = [this, &number](const QString& reason) {
        m_services.messages.show(MessageBoxes::Icon::Warning, ApplicationTitle,
                                 QStringLiteral("%1 cannot be called back:\r%2").arg(number.left(40), reason));
    };
    if (m_services.shared.CallActive || m_state.IncomingCall) {
        refuse(QStringLiteral("A call is in progress."));
        return;
    }
    const QString dialable = CommandLines::dialable(number);
    if (dialable.isEmpty()) {
        refuse(QStringLiteral("The caller sent no number that can be dialled."));
        return;
    }
    offer(dialable, refuse);
}

void NumberEntry::refuseLink(const QString& link, const QString& reason) {
    // Shown as received, but short: the link came from outside and may be any length.
    constexpr int MaxShown = 60;
    const QString shown = link.size() > MaxShown ? link.left(MaxShown) + QStringLiteral("...") : link;
    m_services.messages.show(MessageBoxes::Icon::Warning, ApplicationTitle,
                             QStringLiteral("The link was not entered:\r%1\r%2").arg(shown, reason));
}

void NumberEntry::txtNumberOut_Change() {
    // A character beyond the last that fits starts the number afresh. Setting the text comes back
    // here once more and finds one character.
    const QString text = m_face.text(Box::NumberOut);
    if (text.size() > MaxLength) {
        m_face.setText(Box::NumberOut, text.right(1));
    }
}

void NumberEntry::append(QChar symbol) {
    m_face.setText(Box::NumberOut, m_face.text(Box::NumberOut) + symbol);
}
