#include "platform/QtMessageBoxes.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QWindow>

namespace {

// The program breaks lines with a carriage return; labels break them at line feeds.
QString forDisplay(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QMessageBox::Icon qtIcon(MessageBoxes::Icon icon) {
    switch (icon) {
    case MessageBoxes::Icon::Critical:
        return QMessageBox::Critical;
    case MessageBoxes::Icon::Warning:
        return QMessageBox::Warning;
    case MessageBoxes::Icon::Information:
        return QMessageBox::Information;
    case MessageBoxes::Icon::Question:
        return QMessageBox::Question;
    case MessageBoxes::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Runs `dialog` until the user dismisses it. The window that is active when it opens may go
// while it waits: the splash ends by itself, a side window closes, and a parent widget would
// take the dialog with it. So the dialog has no parent widget and blocks the whole program
// instead; the active window is only its transient parent, which keeps it above that window
// and centred on it, and which lets go of it when that window goes.
int execOverActiveWindow(QDialog& dialog) {
    dialog.setWindowModality(Qt::ApplicationModal);
    if (const QWidget* active = QApplication::activeWindow(); active && active->windowHandle()) {
        dialog.winId(); // creates the native window, which the transient parent belongs to
        dialog.windowHandle()->setTransientParent(active->windowHandle());
    }
    return dialog.exec();
}

} // namespace

void QtMessageBoxes::show(Icon icon, const QString& title, const QString& text) {
    QMessageBox box(qtIcon(icon), title, forDisplay(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    // What a box tells (a command to run, a line for a configuration file) can be copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    execOverActiveWindow(box);
}

bool QtMessageBoxes::ask(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, forDisplay(text), QMessageBox::Yes | QMessageBox::No);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return execOverActiveWindow(box) == QMessageBox::Yes;
}

QString QtMessageBoxes::askText(const QString& title, const QString& label, const QString& initial, bool* ok) {
    QInputDialog dialog;
    dialog.setWindowTitle(title);
    dialog.setLabelText(forDisplay(label));
    dialog.setTextEchoMode(QLineEdit::Normal);
    dialog.setTextValue(initial);
    const bool accepted = execOverActiveWindow(dialog) == QDialog::Accepted;
    if (ok) {
        *ok = accepted;
    }
    return accepted ? dialog.textValue() : QString();
}
