#pragma once

#include <QObject>
#include <QString>

class PhoneFace;
struct PhoneState;
struct Services;

// The phone book on the right of the telephone: its twelve rows, shown by widening the window,
// the entry buttons that select a row (one at a time), and the buttons that take a number into
// the number display, edit an entry and store the last caller.
class PhoneBookPanel : public QObject {
    Q_OBJECT
public:
    PhoneBookPanel(Services& services, const PhoneState& state, PhoneFace& face, QObject* parent = nullptr);

    // Fills the twelve rows from the store (part of the window's load).
    void loadEntries();
    // Shows or hides the panel by widening or narrowing the window.
    void cmdPB_Click();
    // An entry button was clicked and is now down (`value`) or up; a pressed button selects its
    // entry and releases the others.
    void ribPhoneBook_Click(int index, bool value);
    // The selected entry's number goes into the number display.
    void cmdPBEnter_Click();
    // Opens the editor for the selected entry.
    void cmdPBEdit_Click();
    // The editor's OK: stores the entry and shows it.
    void storeEntry(int index, const QString& name, const QString& number);
    // Stores the last caller in the selected entry, or in the first empty one.
    void cmdAddCaller_Click();
    // Stores `name` and `number` as Add Caller does: in the selected entry, else the first empty
    // one, asking before a filled entry is replaced. True when stored.
    bool addToPhoneBook(const QString& name, const QString& number);

    // The entry whose button is down, or -1.
    int selectedEntry() const;

private:
    void refreshRow(int index);
    void tell(const QString& text);

    Services& m_services;
    const PhoneState& m_state;
    PhoneFace& m_face;
};
