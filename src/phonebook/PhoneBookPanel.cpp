#include "phonebook/PhoneBookPanel.h"

#include "call/CommandLines.h"
#include "console/MessageBoxes.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "console/frmPhone.h"
#include "phonebook/PhoneBookEditDialog.h"
#include "phonebook/PhoneBookEntries.h"
#include "platform/Controls.h"

#include <QLineEdit>

namespace {
const QString SelectFirst = QStringLiteral("Select an Entry in the Phone Book First");
}

PhoneBookPanel::PhoneBookPanel(frmPhone& form, Services& services)
    : QObject(&form)
    , m_form(form)
    , m_services(services) {
    connect(m_form.cmdPB, &QPushButton::clicked, this, &PhoneBookPanel::cmdPB_Click);
    for (RibbonButton* ribbon : m_form.ribPhoneBook) {
        connect(ribbon, &RibbonButton::ribbonClicked, this, &PhoneBookPanel::ribPhoneBook_Click);
    }
    connect(m_form.cmdPBEnter, &QPushButton::clicked, this, &PhoneBookPanel::cmdPBEnter_Click);
    connect(m_form.cmdPBEdit, &QPushButton::clicked, this, &PhoneBookPanel::cmdPBEdit_Click);
    connect(m_form.cmdAddCaller, &QPushButton::clicked, this, &PhoneBookPanel::cmdAddCaller_Click);
}

void PhoneBookPanel::loadEntries() {
    for (int i = 0; i < PhoneBookEntries::Count; ++i) {
        refreshRow(i);
    }
}

void PhoneBookPanel::refreshRow(int index) {
    m_form.txtPhoneBook[index]->setText(PhoneBookEntries::displayText(m_services.settings, index));
    m_form.txtPhoneBook[index]->setCursorPosition(0);
}

void PhoneBookPanel::cmdPB_Click() {
    m_form.setWidthTwips(m_form.widthTwips() == frmPhone::NarrowWidth ? frmPhone::WideWidth : frmPhone::NarrowWidth);
}

void PhoneBookPanel::ribPhoneBook_Click(int index, bool) {
    if (!m_form.ribPhoneBook[index]->isChecked()) {
        return; // a released button leaves the others as they are
    }
    for (RibbonButton* other : m_form.ribPhoneBook) {
        if (other->index() != index) {
            other->setChecked(false);
        }
    }
}

int PhoneBookPanel::selectedEntry() const {
    for (const RibbonButton* ribbon : m_form.ribPhoneBook) {
        if (ribbon->isChecked()) {
            return ribbon->index();
        }
    }
    return -1;
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
    m_form.txtNumberOut->setText(number);
}

void PhoneBookPanel::cmdPBEdit_Click() {
    const int index = selectedEntry();
    if (index < 0) {
        tell(SelectFirst);
        return;
    }
    auto* dialog = new PhoneBookEditDialog(index, PhoneBookEntries::name(m_services.settings, index),
                                           PhoneBookEntries::number(m_services.settings, index), &m_form);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this,
            [this, dialog] { storeEntry(dialog->index(), dialog->name(), dialog->number()); });
    dialog->open();
}

void PhoneBookPanel::cmdAddCaller_Click() {
    // Copies: a new report may arrive while the question below is open.
    const QString callerNumber = m_form.state.LastReportNumber;
    const QString callerName = m_form.state.LastReportName;
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
    int index = selectedEntry();
    if (index < 0) {
        index = PhoneBookEntries::firstEmptyEntry(m_services.settings);
    }
    if (index < 0) {
        tell(QStringLiteral("The Phone Book Is Full: Select the Entry to Replace"));
        return;
    }
    if (!PhoneBookEntries::isEmpty(m_services.settings, index)) {
        const QString question =
            QStringLiteral("Replace \"%1\" with \"%2 %3\"?")
                .arg(PhoneBookEntries::displayText(m_services.settings, index).trimmed(), callerName, callerNumber);
        if (!m_services.messages.ask(ApplicationTitle, question)) {
            return;
        }
    }
    storeEntry(index, callerName, callerNumber);
}

void PhoneBookPanel::storeEntry(int index, const QString& name, const QString& number) {
    PhoneBookEntries::write(m_services.settings, index, name, number);
    refreshRow(index);
}
