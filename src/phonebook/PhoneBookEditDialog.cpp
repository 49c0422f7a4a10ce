#include "phonebook/PhoneBookEditDialog.h"

#include "call/CommandLines.h"
#include "phonebook/PhoneBookEntries.h"
#include "platform/Fonts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

PhoneBookEditDialog::PhoneBookEditDialog(int index, const QString& name, const QString& number, QWidget* parent)
    : QDialog(parent)
    , m_index(index) {
    setObjectName(QStringLiteral("PhoneBookEditDialog"));
    setWindowTitle(QStringLiteral("Phone Book Entry %1").arg(index + 1));
    setFont(Fonts::design(QStringLiteral("MS Sans Serif"), 8.25));

    txtEntryName = new QLineEdit(name, this);
    txtEntryName->setObjectName(QStringLiteral("txtEntryName"));
    txtEntryName->setMinimumWidth(220);
    txtEntryName->setAccessibleName(QStringLiteral("Name"));

    txtEntryNumber = new QLineEdit(this);
    txtEntryNumber->setObjectName(QStringLiteral("txtEntryNumber"));
    txtEntryNumber->setMaxLength(PhoneBookEntries::MaxNumberLength);
    txtEntryNumber->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9*#,]{0,%1}").arg(PhoneBookEntries::MaxNumberLength)), txtEntryNumber));
    // A number stored by hand or from a caller-ID report may hold other characters; the box shows
    // what would be dialled.
    txtEntryNumber->setText(CommandLines::dialable(number).left(PhoneBookEntries::MaxNumberLength));
    txtEntryNumber->setToolTip(QStringLiteral("Digits, * and #, and , for a pause"));
    txtEntryNumber->setAccessibleName(QStringLiteral("Number"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), txtEntryName);
    form->addRow(QStringLiteral("N&umber:"), txtEntryNumber);

    auto* buttons = new QDialogButtonBox(this);
    cmdOK = buttons->addButton(QDialogButtonBox::Ok);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = buttons->addButton(QDialogButtonBox::Cancel);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString PhoneBookEditDialog::name() const {
    return txtEntryName->text();
}

QString PhoneBookEditDialog::number() const {
    return CommandLines::dialable(txtEntryNumber->text()).left(PhoneBookEntries::MaxNumberLength);
}
