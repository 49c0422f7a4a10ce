#include "modem/Clock.h"
#include "platform/QtMessageBoxes.h"
#include "windows/frmSplash.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <utility>

// The real message boxes, opened over a window that goes away while they wait for the user: the
// splash that ends by itself, a window closed from code, a window deleted outright.
class TestMessageBoxes : public QObject {
    Q_OBJECT
private slots:
    void boxOutlivesTheWindowItOpenedOver_data();
    void boxOutlivesTheWindowItOpenedOver();
};

namespace {

enum class Owner { Splash, ClosedWindow, DeletedWindow };
enum class Call { Show, Ask, AskText };

// What the test saw of the box while it was up.
struct Seen {
    QPointer<QDialog> box;
    bool transientForOwner = false;
    bool upAfterOwnerWent = false;
    Qt::WindowModality modality = Qt::NonModal;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// The user's answer: OK, Yes, or "555" typed and OK.
void answer(QDialog& box) {
    if (auto* message = qobject_cast<QMessageBox*>(&box)) {
        QAbstractButton* button = message->button(QMessageBox::Yes);
        (button ? button : message->button(QMessageBox::Ok))->click();
    } else if (auto* input = qobject_cast<QInputDialog*>(&box)) {
        input->setTextValue(QStringLiteral("555"));
        input->accept();
    }
}

} // namespace

void TestMessageBoxes::boxOutlivesTheWindowItOpenedOver_data() {
    QTest::addColumn<Owner>("owner");
    QTest::addColumn<Call>("call");
    const std::pair<const char*, Owner> owners[] = {{"splash ends by itself", Owner::Splash},
                                                    {"window closed", Owner::ClosedWindow},
                                                    {"window deleted", Owner::DeletedWindow}};
    const std::pair<const char*, Call> calls[] = {
        {"message", Call::Show}, {"question", Call::Ask}, {"text", Call::AskText}};
    for (const auto& [ownerName, owner] : owners) {
        for (const auto& [callName, call] : calls) {
            QTest::addRow("%s, %s", callName, ownerName) << owner << call;
        }
    }
}

void TestMessageBoxes::boxOutlivesTheWindowItOpenedOver() {
    QFETCH(Owner, owner);
    QFETCH(Call, call);
    ScaledClock clock(50); // the splash's five seconds in a tenth of one
    QPointer<QWidget> window;
    if (owner == Owner::Splash) {
        auto* splash = new frmSplash(clock, QPixmap());
        splash->setAttribute(Qt::WA_DeleteOnClose);
        splash->Form_Load(100.0);
        window = splash;
    } else {
        window = new QWidget;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    // As a window manager that gives every new window the focus leaves it.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QWindow* ownerHandle = window->windowHandle();

    Seen seen;
    // Once the window has gone, the box is looked at again and answered.
    connect(window, &QObject::destroyed, this, [&] {
        QTimer::singleShot(0, this, [&] {
            seen.upAfterOwnerWent = seen.box && seen.box->isVisible();
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                answer(*box);
            }
        });
    });
    // Runs in the box's own event loop, once it is up.
    QTimer::singleShot(0, this, [&] {
        seen.box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (seen.box) {
            seen.transientForOwner = seen.box->windowHandle()->transientParent() == ownerHandle;
            seen.modality = seen.box->windowModality();
            seen.title = seen.box->windowTitle();
            if (auto* message = qobject_cast<QMessageBox*>(seen.box)) {
                seen.text = message->text();
                seen.icon = message->icon();
                seen.buttons = message->standardButtons();
            } else if (auto* input = qobject_cast<QInputDialog*>(seen.box)) {
                seen.text = input->labelText() + QLatin1Char('|') + input->textValue();
            }
        }
        if (owner == Owner::ClosedWindow) {
            window->close();
        } else if (owner == Owner::DeletedWindow) {
            delete window.data();
        }
    });

    QtMessageBoxes boxes;
    switch (call) {
    case Call::Show:
        boxes.show(MessageBoxes::Icon::Critical, QStringLiteral("Brisvane"), QStringLiteral("8002\rInvalid port"));
        QCOMPARE(seen.text, QStringLiteral("8002\nInvalid port"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        break;
    case Call::Ask:
        QVERIFY(boxes.ask(QStringLiteral("Brisvane"), QStringLiteral("Replace?")));
        QCOMPARE(seen.text, QStringLiteral("Replace?"));
        QCOMPARE(seen.icon, QMessageBox::Question);
        QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
        break;
    case Call::AskText: {
        bool ok = false;
        QCOMPARE(boxes.askText(QStringLiteral("Brisvane"), QStringLiteral("Number?"), QStringLiteral("1"), &ok),
                 QStringLiteral("555"));
        QVERIFY(ok);
        QCOMPARE(seen.text, QStringLiteral("Number?|1"));
        break;
    }
    }
    QVERIFY(!window);
    QVERIFY(seen.upAfterOwnerWent); // answered by the user, not taken down with the window
    QVERIFY(seen.transientForOwner);
    QCOMPARE(seen.modality, Qt::ApplicationModal);
    QCOMPARE(seen.title, QStringLiteral("Brisvane"));
    QVERIFY(!seen.box); // gone with its call
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
