#include "console/Application.h"
#include "console/frmPhone.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

frmPhone* telephoneWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<frmPhone*>(widget)) {
            return window;
        }
    }
    return nullptr;
}

QString numberShown(frmPhone& window) {
    return window.findChild<QLineEdit*>(QStringLiteral("txtNumberOut"))->text();
}

} // namespace

// The program's own Application with its real window, in a settings folder of its own: links
// from the command line and from later starts reach the number display once the load is over,
// and a later start brings the window back from the task bar.
class TestApplication : public QObject {
    Q_OBJECT
private slots:
    void linksWaitForTheLoad();
};

void TestApplication::linksWaitForTheLoad() {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    // A first start with no modem set up: the setup dialog opens beside the telephone.
    Application application;
    QStringList seenDuringLoad;
    QString afterCommandLine;
    bool restored = false;
    // Comes inside the load's one-second wait, as a later start would.
    QTimer::singleShot(0, [&] {
        frmPhone* window = telephoneWindow();
        QVERIFY(window && !window->isVisible());
        application.handOver({QStringLiteral("tel:555-0100")});
        seenDuringLoad << numberShown(*window);
        // The load shows the window; the event loop after it runs the rest.
        connect(window, &frmPhone::loaded, this, [&, window] {
            QTimer::singleShot(0, [&, window] {
                // After the load: the later start's link came last.
                afterCommandLine = numberShown(*window);
                window->showMinimized();
                application.handOver({QStringLiteral("callto:+1(407)555-1212")});
                restored = !window->isMinimized() && window->isVisible();
                seenDuringLoad << numberShown(*window);
                QApplication::closeAllWindows();
            });
        });
    });
    QCOMPARE(application.run({QStringLiteral("tel:4075550199")}), 0);
    QCOMPARE(seenDuringLoad, QStringList({QString(), QStringLiteral("14075551212")}));
    QCOMPARE(afterCommandLine, QStringLiteral("5550100"));
    QVERIFY(restored);
}

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
