#pragma once

// The Calls window: the call history as a table (CallList), newest first, with a filter and a
// search, what can be done with the selected call, and the switches of the block list. A view: the
// rows and what they allow come from CallList; Call back and Add to phone book are handed to the
// telephone through this window's signals.

#include <QWidget>

class CallHistory;
class CallList;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;
struct Services;

class frmCalls : public QWidget {
    Q_OBJECT
public:
    frmCalls(CallHistory& history, Services& services, QWidget* parent = nullptr);
    ~frmCalls() override;

    CallList& list() { return *m_list; }
    // The selected row, or -1.
    int selectedRow() const;
    void selectRow(int row);

signals:
    // The selected call's number, for the number display; never dialled here.
    void callBackRequested(const QString& number);
    // The selected call's name and number, for the phone book.
    void addToPhoneBookRequested(const QString& name, const QString& number);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void build();
    void connectControls();
    // Enables what applies to the selected row; Block says what it will do.
    void updateButtons();
    void callBack();
    void addToPhoneBook();
    void toggleBlock();
    void deleteCall();
    void clearHistory();
    void exportHistory();
    void tell(const QString& text);

    CallHistory& m_history;
    Services& m_services;
    CallList* m_list = nullptr;
    // The call selected before the rows were read again.
    qint64 m_keptId = 0;

    QComboBox* cboFilter = nullptr;
    QLineEdit* txtSearch = nullptr;
    QTableView* grdCalls = nullptr;
    QPushButton* cmdCallBack = nullptr;
    QPushButton* cmdAddToPhoneBook = nullptr;
    QPushButton* cmdBlock = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdExport = nullptr;
    QCheckBox* chkBlockPrivate = nullptr;
    QCheckBox* chkBlockOutOfArea = nullptr;
    QCheckBox* chkHangUpBlocked = nullptr;
};
