#include "phonebook/PhoneBookPanel.h"

#include "console/SharedState.h"
#include "console/frmPhone.h"
#include "phonebook/PhoneBookEntries.h"
#include "platform/Controls.h"

#include <QLineEdit>

PhoneBookPanel::PhoneBookPanel(frmPhone& form, Services& services)
    : QObject(&form)
    , m_form(form)
    , m_services(services) {
    connect(m_form.cmdPB, &QPushButton::clicked, this, &PhoneBookPanel::cmdPB_Click);
    for (RibbonButton* ribbon : m_form.ribPhoneBook) {
        connect(ribbon, &RibbonButton::ribbonClicked, this, &PhoneBookPanel::ribPhoneBook_Click);
    }
}

void PhoneBookPanel::loadEntries() {
    for (int i = 0; i < PhoneBookEntries::Count; ++i) {
        m_form.txtPhoneBook[i]->setText(PhoneBookEntries::displayText(m_services.settings, i));
    }
}

void PhoneBookPanel::cmdPB_Click() {
    m_form.setWidthTwips(m_form.widthTwips() == frmPhone::NarrowWidth ? frmPhone::WideWidth : frmPhone::NarrowWidth);
}

void PhoneBookPanel::ribPhoneBook_Click(int index, bool) {
    if (m_form.ribPhoneBook[index]->isChecked()) {
        m_services.shared.SelectedEntry = QString::number(index);
    }
}
