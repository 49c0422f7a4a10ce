#pragma once

#include <QObject>

class frmPhone;
struct Services;

// The phone-book panel on the right of the main window: its twelve rows, shown by widening the
// window, and the entry buttons that select a row.
class PhoneBookPanel : public QObject {
    Q_OBJECT
public:
    PhoneBookPanel(frmPhone& form, Services& services);

    // Fills the twelve rows from the store (part of the window's load).
    void loadEntries();
    // Shows or hides the panel by widening or narrowing the window.
    void cmdPB_Click();
    // An entry button was clicked; a pressed button selects its entry.
    void ribPhoneBook_Click(int index, bool value);

private:
    frmPhone& m_form;
    Services& m_services;
};
