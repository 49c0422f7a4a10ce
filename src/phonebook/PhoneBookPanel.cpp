#include "phonebook/PhoneBookPanel.h"

#include "call/CommandLines.h"
#include "console/MessageBoxes.h"
#include "console/PhoneFace.h"
#include "console/PhoneState.h"
#include "console/Services.h"
#include "console/SettingsStore.h"
#include "phonebook/PhoneBookEntries.h"

namespace {
const QString SelectFirst = QStringLiteral("Select an Entry in the Phone Book First");
}

PhoneBookPanel::PhoneBookPanel(Services& services, const PhoneState& state, PhoneFace& face, QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_state(state)
    , m_face(face) {}

void PhoneBookPanel::loadEntries() {
    for (int i = 0; i < PhoneBookEntries::Count; ++i) {
        refreshRow(i);
    }
}

void PhoneBookPanel::refreshRow(int index) {
    m_face.setPhoneBookRow(index, PhoneBookEntries::displayText(m_services.settings, index));
}

void PhoneBookPanel::cmdPB_Click() {
    m_face.setWidthTwips(m_face.widthTwips() == PhoneFace::NarrowWidth ? PhoneFace::WideWidth : PhoneFace::NarrowWidth);
}

void PhoneBookPanel::ribPhoneBook_Click(int index, bool value) {
    if (index < 0 || index >= PhoneBookEntries::Count) {
        return;
    }
    if (!value) {
        m_face.setPhoneBookButton(index, false); // a released button leaves the others as they are
        return;
    }
    for (int other = 0; other < PhoneBookEntries::Count; ++other) {
        if (other != index) {
            m_face.setPhoneBookButton(other, false);
        }
    }
    m_face.setPhoneBookButton(index, true);
}

int PhoneBookPanel::selectedEntry() const {
    return m_face.selectedEntry();
}

void PhoneBookPanel::tell(const QString& text) {
    m_services.messages.show(MessageBoxes::Icon::Information, ApplicationTitle, text);
}

void PhoneBookPanel::cmdPBEnter_Click() {
    const int index = selectedEntry();
    if (index < 0) {
        tell(SelectFirst);
        return;
    }
    const QString number = CommandLines::dialable(PhoneBookEntries::number(m_services.settings, index));
    if (number.isEmpty()) {
        tell(QStringLiteral("This Entry Has No Number to Dial"));
        return;
    }
    // The number display starts afresh past its last character, which would dial a different
    // number: a longer entry is refused instead.
    if (number.size() > PhoneBookEntries::MaxNumberLength) {
        tell(QStringLiteral("This Entry's Number Is Longer than %1 Characters and Cannot Be Dialed")
                 .arg(PhoneBookEntries::MaxNumberLength));
        return;
    }
    m_face.setText(PhoneFace::Box::NumberOut, number);
}

void PhoneBookPanel::cmdPBEdit_Click() {
    const int index = selectedEntry();
    if (index < 0) {
        tell(SelectFirst);
        return;
    }
    m_face.view().editPhoneBookEntry(index, PhoneBookEntries::name(m_services.settings, index),
                                     PhoneBookEntries::number(m_services.settings, index));
}

void PhoneBookPanel::cmdAddCaller_Click() {
    // Copies: a new report may arrive while the question below is open.
    const QString callerNumber = m_state.LastReportNumber;
    const QString callerName = m_state.LastReportName;
    if (callerNumber.isEmpty()) {
        tell(QStringLiteral("No Caller to Add Yet"));
        return;
    }
    if (PhoneBookEntries::isWithheldNumber(callerNumber)) {
        tell(callerNumber.startsWith(QLatin1Char('P'))
                 ? QStringLiteral("The Last Caller's Number Is Private and Cannot Be Added")
                 : QStringLiteral("The Last Caller Is Out of Area: No Number to Add"));
        return;
    }
    addToPhoneBook(callerName, callerNumber);
}

bool PhoneBookPanel::addToPhoneBook(const QString& name, const QString& number) {
    if (number.trimmed().isEmpty() || PhoneBookEntries::isWithheldNumber(number)) {
        tell(QStringLiteral("No Number to Add"));
        return false;
    }
    int index = selectedEntry();
    if (index < 0) {
        index = PhoneBookEntries::firstEmptyEntry(m_services.settings);
    }
    if (index < 0) {
        tell(QStringLiteral("The Phone Book Is Full: Select the Entry to Replace"));
        return false;
    }
    if (!PhoneBookEntries::isEmpty(m_services.settings, index)) {
        const QString question =
            QStringLiteral("Replace \"%1\" with \"%2 %3\"?")
                .arg(PhoneBookEntries::displayText(m_services.settings, index).trimmed(), name, number);
        if (!m_services.messages.ask(ApplicationTitle, question)) {
            return false;
        }
    }
    storeEntry(index, name, number);
    return true;
}

void PhoneBookPanel::storeEntry(int index, const QString& name, const QString& number) {
    if (index < 0 || index >= PhoneBookEntries::Count) {
        return;
    }
    PhoneBookEntries::write(m_services.settings, index, name, number);
    refreshRow(index);
}
