#pragma once

#include <QObject>

class frmPhone;
struct Services;

// The phone-book panel on the right of the main window: its twelve rows, shown by widening the
// window, the entry buttons that select a row (one at a time), and the buttons that take a
// number into the number display, edit an entry and store the last caller.
class PhoneBookPanel : public QObject {
    Q_OBJECT
public:
    PhoneBookPanel(frmPhone& form, Services& services);

    // Fills the twelve rows from the store (part of the window's load).
    void loadEntries();
    // Shows or hides the panel by widening or narrowing the window.
    void cmdPB_Click();
    // An entry button was clicked; a pressed button selects its entry and releases the others.
    void ribPhoneBook_Click(int index, bool value);
    // The selected entry's number goes into the number display.
    void cmdPBEnter_Click();
    // Opens the editor for the selected entry.
    void cmdPBEdit_Click();
    // Stores the last caller in the selected entry, or in the first empty one.
    void cmdAddCaller_Click();

    // The entry whose button is down, or -1.
    int selectedEntry() const;

private:
    void storeEntry(int index, const QString& name, const QString& number);
    void refreshRow(int index);
    void tell(const QString& text);

    frmPhone& m_form;
    Services& m_services;
};
