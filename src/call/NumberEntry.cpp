#include "call/NumberEntry.h"

#include "call/CommandLines.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "console/frmPhone.h"
#include "modem/ModemLink.h"
#include "platform/Controls.h"

#include <QApplication>

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

} // namespace

NumberEntry::NumberEntry(frmPhone& form, Services& services)
    : QObject(&form)
    , m_form(form)
    , m_services(services) {
    for (int i = 0; i < static_cast<int>(m_form.cmdNumber.size()); ++i) {
        connect(m_form.cmdNumber[i], &QPushButton::clicked, this, [this, i] { cmdNumber_Click(i); });
    }
    connect(m_form.cmdPause, &QPushButton::clicked, this, &NumberEntry::cmdPause_Click);
    connect(m_form.cmdClear, &QPushButton::clicked, this, &NumberEntry::cmdClear_Click);
    connect(m_form.cmdRedial, &QPushButton::clicked, this, &NumberEntry::cmdRedial_Click);
    connect(m_form.txtNumberOut, &QLineEdit::textChanged, this, &NumberEntry::txtNumberOut_Change);
}

void NumberEntry::cmdNumber_Click(int index) {
    const QChar symbol = CommandLines::keypadSymbol(index);
    if (symbol.isNull()) {
        return;
    }
    m_form.txtName->clear();
    if (m_services.shared.CallActive) {
        // With the port closed the symbol still goes into the display; the user is told once.
        m_form.modemLink().callCommand(CommandLines::tone(index));
    }
    append(symbol);
}

bool NumberEntry::Form_KeyPress(int keyAscii) {
    bool usedUp = true;
    if (keyAscii == Enter) {
        // Used up here, so the default button does not click Send a second time.
        m_form.cmdSend->click();
    } else if (const int index = keypadIndexOf(keyAscii); index >= 0) {
        m_form.cmdNumber[index]->click();
    } else if (keyAscii == Backspace) {
        const QString text = m_form.txtNumberOut->text();
        if (!text.isEmpty()) {
            m_form.txtNumberOut->setText(text.chopped(1));
        }
    } else if (keyAscii == '+') {
        // The slider's low end is marked "+".
        stepSpeakerLevel(-1);
    } else if (keyAscii == '-') {
        stepSpeakerLevel(1);
    } else if (keyAscii == 'E' || keyAscii == 'e') {
        m_form.cmdEnd->click();
    } else if (keyAscii == ' ') {
        usedUp = clickFocusedButton();
    } else {
        usedUp = false;
    }
    m_form.cmdSend->setFocus(Qt::OtherFocusReason);
    return usedUp;
}

bool NumberEntry::clickFocusedButton() {
    // Space clicks the focused button. The focus moves to Send before the key would reach any
    // other button, which would then be left pressed down, so that button is clicked here; Send
    // itself takes the key as usual (it clicks when Space is let go, and not again while Space
    // repeats).
    auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    if (!button || button == m_form.cmdSend || button->window() != &m_form || !button->isEnabled()) {
        return false;
    }
    button->click();
    return true;
}

void NumberEntry::stepSpeakerLevel(int step) {
    Slider& slider = *m_form.Slider1;
    const int level = slider.value() + step;
    if (level >= slider.minimum() && level <= slider.maximum()) {
        slider.setValue(level);
    }
}

void NumberEntry::cmdPause_Click() {
    append(QLatin1Char(','));
}

void NumberEntry::cmdClear_Click() {
    for (DisplayBox* box : {m_form.txtStatus, m_form.txtNumberOut, m_form.txtNumberIn, m_form.txtName}) {
        box->clear();
    }
}

void NumberEntry::cmdRedial_Click() {
    // While an incoming call is being handled the display belongs to it: Send will answer.
    if (!m_form.state.IncomingCall) {
        m_form.txtNumberOut->setText(CommandLines::dialable(m_services.settings.read(Settings::LastDialed)));
    }
    m_form.cmdSend->setFocus(Qt::OtherFocusReason);
}

void NumberEntry::txtNumberOut_Change() {
    // A character beyond the last that fits starts the number afresh. Setting the text comes back
    // here once more and finds one character.
    const QString text = m_form.txtNumberOut->text();
    if (text.size() > MaxLength) {
        m_form.txtNumberOut->setText(text.right(1));
    }
}

void NumberEntry::append(QChar symbol) {
    m_form.txtNumberOut->setText(m_form.txtNumberOut->text() + symbol);
}
