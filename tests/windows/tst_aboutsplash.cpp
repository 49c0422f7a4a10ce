#include "WindowLine.h"
#include "console/frmPhone.h"
#include "windows/SideWindows.h"
#include "windows/frmAbout.h"
#include "windows/frmSplash.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTestEventLoop>
#include <QTimer>

// The About window from the Help menu and the splash window, as the user sees them.
class TestAboutSplash : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void aboutShowsTitleVersionAndIcon();
    void aboutCloses_data();
    void aboutCloses();
    void oneAboutAtATime();
    void systemInfo_data();
    void systemInfo();
    void aboutClosedWhileItsBoxIsUp();
    void splashShowsAndGoesByItself();
    void clickOnTheSplashFrame_data();
    void clickOnTheSplashFrame();

private:
    QByteArray m_path;
};

namespace {

frmAbout* openAbout(WindowLine& line) {
    line.control<QAction>(QStringLiteral("mnuAbout"))->trigger();
    return line.window().sideWindows().aboutWindow();
}

bool sameShared(const SharedState& a, const SharedState& b) {
    return a.PortNumber == b.PortNumber && a.IntString == b.IntString && a.ModemAttached == b.ModemAttached &&
           a.AutoOn == b.AutoOn && a.CallerID == b.CallerID && a.CallerIDString == b.CallerIDString &&
           a.CallActive == b.CallActive && a.AutoAns == b.AutoAns && a.DisCID == b.DisCID && a.DisCW == b.DisCW;
}

} // namespace

void TestAboutSplash::init() {
    m_path = qgetenv("PATH");
}

void TestAboutSplash::cleanup() {
    qputenv("PATH", m_path);
}

void TestAboutSplash::aboutShowsTitleVersionAndIcon() {
    WindowLine line;
    line.phone();
    const SharedState before = line.shared;
    frmAbout* about = openAbout(line);
    QVERIFY(about);
    QVERIFY(about->isVisible());
    QVERIFY(!about->isModal());
    QCOMPARE(about->windowTitle(), QStringLiteral("Brisvane"));
    QCOMPARE(child<QLabel>(about, "lblTitle")->text(), QStringLiteral("Brisvane"));
    QCOMPARE(child<QLabel>(about, "lblVersion")->text(), QStringLiteral("Version 1.0.9"));
    QVERIFY(!child<QLabel>(about, "picIcon")->pixmap().isNull());
    QCOMPARE(child<QPushButton>(about, "cmdSysInfo")->text(), QStringLiteral("&System Info..."));
    QVERIFY(child<QPushButton>(about, "cmdOK")->isDefault());
    QVERIFY(!line.widget().isVisible()); // the About window leaves the main window as it is
    QVERIFY(sameShared(before, line.shared));
}

void TestAboutSplash::aboutCloses_data() {
    QTest::addColumn<int>("how"); // 0 OK, 1 Enter, 2 Esc, 3 close box
    QTest::newRow("OK") << 0;
    QTest::newRow("Enter") << 1;
    QTest::newRow("Esc") << 2;
    QTest::newRow("close box") << 3;
}

void TestAboutSplash::aboutCloses() {
    QFETCH(int, how);
    WindowLine line;
    line.phone();
    QPointer<frmAbout> about = openAbout(line);
    switch (how) {
    case 0:
        QTest::mouseClick(child<QPushButton>(about, "cmdOK"), Qt::LeftButton);
        break;
    case 1:
        QTest::keyClick(about, Qt::Key_Return);
        break;
    case 2:
        QTest::keyClick(about, Qt::Key_Escape);
        break;
    default:
        QVERIFY(about->close());
    }
    QTRY_VERIFY(!about); // destroyed, not only hidden
    QVERIFY(line.messages.boxes.isEmpty());
}

void TestAboutSplash::oneAboutAtATime() {
    WindowLine line;
    line.phone();
    QPointer<frmAbout> first = openAbout(line);
    QCOMPARE(openAbout(line), first.data());
    QTest::mouseClick(child<QPushButton>(first, "cmdOK"), Qt::LeftButton);
    QTRY_VERIFY(!first);
    QPointer<frmAbout> second = openAbout(line);
    QVERIFY(second);
    QCOMPARE(child<QLabel>(second, "lblVersion")->text(), QStringLiteral("Version 1.0.9"));
}

void TestAboutSplash::systemInfo_data() {
    QTest::addColumn<QString>("tool"); // "" none, "runs" a working tool, "plain" a file that cannot run
    QTest::newRow("tool found") << "runs";
    QTest::newRow("no tool") << "";
    QTest::newRow("tool file cannot run") << "plain";
}

void TestAboutSplash::systemInfo() {
    QFETCH(QString, tool);
    QTemporaryDir bin;
    const QString program = bin.path() + QStringLiteral("/hardinfo");
    if (!tool.isEmpty()) {
        QFile file(program);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n: > \"$0.ran\"\n"); // a shell built-in: PATH holds only this folder
        file.close();
        if (tool == QLatin1String("runs")) {
            QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
        }
    }
    qputenv("PATH", QFile::encodeName(bin.path()));
    WindowLine line;
    line.phone();
    const SharedState before = line.shared;
    QPointer<frmAbout> about = openAbout(line);
    QTest::mouseClick(child<QPushButton>(about, "cmdSysInfo"), Qt::LeftButton);
    if (tool == QLatin1String("runs")) {
        QTRY_VERIFY(QFile::exists(program + QStringLiteral(".ran")));
        QVERIFY(line.messages.boxes.isEmpty());
    } else {
        QCOMPARE(line.messages.boxes.size(), 1);
        QCOMPARE(line.messages.boxes[0].text, QStringLiteral("System Information Is Unavailable At This Time"));
        QCOMPARE(line.messages.boxes[0].title, QStringLiteral("Brisvane"));
        QCOMPARE(line.messages.boxes[0].icon, MessageBoxes::Icon::None);
    }
    QVERIFY(about); // the About window stays open
    QVERIFY(about->isVisible());
    QVERIFY(sameShared(before, line.shared));
}

void TestAboutSplash::aboutClosedWhileItsBoxIsUp() {
    QTemporaryDir bin;
    qputenv("PATH", QFile::encodeName(bin.path())); // no tool: the button shows a box
    WindowLine line;
    line.phone();
    QPointer<frmAbout> about = openAbout(line);
    bool keptWhileBoxUp = false;
    // The About window closes while its box waits for the user, as every window does when the
    // program ends.
    line.messages.whileOpen = [&] {
        bool closed = false;
        QTimer::singleShot(0, about, [&] {
            about->close();
            // By then the event loop has carried out whatever the close left for it.
            QTimer::singleShot(0, about, [&] { QTimer::singleShot(0, about, [&] { closed = true; }); });
        });
        QVERIFY(line.waiter.waitUntil([&] { return closed || !about; }, 10) != Waiter::Result::TimedOut);
        keptWhileBoxUp = about && about->isHidden();
    };
    QTest::mouseClick(child<QPushButton>(about, "cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(line.messages.boxes.size(), 1);
    QVERIFY(keptWhileBoxUp); // the handler returned into a window that still exists
    // Back in the main loop, which has nothing left to do, it goes.
    if (about) {
        connect(about, &QObject::destroyed, &QTestEventLoop::instance(), &QTestEventLoop::exitLoop);
        QTestEventLoop::instance().enterLoop(10);
    }
    QVERIFY(!about);
    QPointer<frmAbout> next = openAbout(line);
    QVERIFY(next);
    QVERIFY(next->isVisible());
}

void TestAboutSplash::splashShowsAndGoesByItself() {
    WindowLine line(PhoneLine::Line::Scripted, 50); // five seconds in a tenth of one
    line.phone();
    const SharedState before = line.shared;
    QPointer<frmSplash> splash = new frmSplash(line.clock, frmSplash::telephonePicture(line.widget()));
    splash->setAttribute(Qt::WA_DeleteOnClose);
    bool finished = false;
    connect(splash, &frmSplash::finished, this, [&] { finished = true; });
    const double start = line.clock.now();
    splash->Form_Load(100.0);
    QVERIFY(splash->isVisible());
    QCOMPARE(child<QLabel>(splash, "lblProductName")->text(), QStringLiteral("Brisvane"));
    QCOMPARE(child<QLabel>(splash, "lblVersion")->text(), QStringLiteral("Version 1.0.9"));
    QVERIFY(!child<QLabel>(splash, "lblPlatform")->text().isEmpty());
    QVERIFY(child<QLabel>(splash, "lblPlatform")->text() != frmSplash::DesignPlatformText);
    QVERIFY(!child<QLabel>(splash, "imgLogo")->pixmap().isNull());
    QCOMPARE(child<QLabel>(splash, "lblCompany")->text(), QStringLiteral("Company"));
    QTRY_VERIFY(!splash);
    QVERIFY(finished);
    QVERIFY(line.clock.now() - start >= 4.5);
    QVERIFY(!line.widget().isVisible()); // the main window is left to its own load
    QVERIFY(sameShared(before, line.shared));
}

void TestAboutSplash::clickOnTheSplashFrame_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("ends");
    QTest::newRow("free area of the frame") << "Frame1" << true;
    QTest::newRow("product name") << "lblProductName" << false;
    QTest::newRow("picture") << "imgLogo" << false;
}

void TestAboutSplash::clickOnTheSplashFrame() {
    QFETCH(QString, target);
    QFETCH(bool, ends);
    WindowLine line(PhoneLine::Line::Scripted, 1); // real time: only a click can end it within the test
    line.phone();
    QPointer<frmSplash> splash = new frmSplash(line.clock, QPixmap());
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->Form_Load(frmSplash::timeOfDay());
    bool finished = false;
    connect(splash, &frmSplash::finished, this, [&] { finished = true; });
    QWidget* widget = splash->findChild<QWidget*>(target);
    QVERIFY(widget);
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(finished, ends); // a click ends it at once, or not at all
    if (ends) {
        QTRY_VERIFY(!splash);
    } else {
        QVERIFY(splash);
        QVERIFY(splash->isVisible());
        delete splash.data();
    }
}

QTEST_MAIN(TestAboutSplash)
#include "tst_aboutsplash.moc"
