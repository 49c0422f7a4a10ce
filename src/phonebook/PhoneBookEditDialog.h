#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// Edits one phone-book entry: its name and its number. The number takes only the characters the
// number display can dial, at most as many as it holds. The dialog only collects the texts; the
// phone-book panel stores them when the user presses OK.
class PhoneBookEditDialog : public QDialog {
    Q_OBJECT
public:
    PhoneBookEditDialog(int index, const QString& name, const QString& number, QWidget* parent = nullptr);

    int index() const { return m_index; }
    QString name() const;
    QString number() const;

private:
    // Controls, by their design names.
    QLineEdit* txtEntryName = nullptr;
    QLineEdit* txtEntryNumber = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    int m_index = 0;
};
