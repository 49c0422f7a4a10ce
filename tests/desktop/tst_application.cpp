#include "console/Application.h"
#include "console/frmPhone.h"
#include "setup/frmSetup.h"
#include "windows/frmSplash.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

template <typename Window> Window* openWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(widget)) {
            return window;
        }
    }
    return nullptr;
}

frmPhone* telephoneWindow() {
    return openWindow<frmPhone>();
}

QString numberShown(frmPhone& window) {
    return window.findChild<QLineEdit*>(QStringLiteral("txtNumberOut"))->text();
}

} // namespace

// The program's own Application with its real window, in a settings folder of its own: links
// from the command line and from later starts reach the number display once the load is over,
// and a later start brings the window back from the task bar. The splash opens while the load
// waits, and not for a telephone that is closing.
class TestApplication : public QObject {
    Q_OBJECT
private slots:
    void linksWaitForTheLoad();
    void noSplashWhileClosing();
};

void TestApplication::linksWaitForTheLoad() {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(config.path()));
    // A first start with no modem set up: the setup dialog opens beside the telephone.
    Application application;
    QStringList seenDuringLoad;
    QString afterCommandLine;
    bool restored = false;
    bool splashDuringLoad = false;
    // Comes inside the load's one-second wait, as a later start would.
    QTimer::singleShot(0, [&] {
        frmPhone* window = telephoneWindow();
        QVERIFY(window && !window->isVisible());
        // The splash and the setup dialog of a first start stand while the load waits.
        QTimer::singleShot(0, [&] {
            const frmSplash* splash = openWindow<frmSplash>();
            const frmSetup* setup = openWindow<frmSetup>();
            splashDuringLoad = splash && splash->isVisible() && setup && setup->isVisible();
        });
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
    QVERIFY(splashDuringLoad);
}

void TestApplication::noSplashWhileClosing() {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(config.path()));
    Application application;
    // Closed before the load gets to its wait: the program ends without a splash.
    bool splashSeen = false;
    QTimer::singleShot(0, [] { telephoneWindow()->close(); });
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] { splashSeen = splashSeen || openWindow<frmSplash>(); });
    watch.start(0);
    QCOMPARE(application.run(), 0);
    QVERIFY(!splashSeen);
    QVERIFY(!openWindow<frmSplash>());
}

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
