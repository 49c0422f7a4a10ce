#include "windows/ProgramInfo.h"

#include <QTest>

// The texts of the About and splash windows: version, platform, and the splash's time.
class TestProgramInfo : public QObject {
    Q_OBJECT
private slots:
    void versionText_data();
    void versionText();
    void osReleaseText_data();
    void osReleaseText();
    void splashSeconds_data();
    void splashSeconds();
};

void TestProgramInfo::versionText_data() {
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.0.9") << 1 << 0 << 9 << "Version 1.0.9";
    QTest::newRow("revision 10") << 1 << 0 << 10 << "Version 1.0.10";
    QTest::newRow("all zero") << 0 << 0 << 0 << "Version 0.0.0";
    QTest::newRow("two digits each") << 12 << 34 << 56 << "Version 12.34.56";
}

void TestProgramInfo::versionText() {
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, text);
    QCOMPARE(ProgramInfo::versionText(major, minor, revision), text);
}

void TestProgramInfo::osReleaseText_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::newRow("Debian 12") << QByteArray(
                                      "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\n"
                                      "VERSION_ID=\"12\"\nVERSION=\"12 (bookworm)\"\nID=debian\n")
                               << "Debian GNU/Linux 12 (bookworm)";
    QTest::newRow("name and version") << QByteArray("NAME=Fedora\nVERSION=\"39 (Workstation Edition)\"\n")
                                      << "Fedora 39 (Workstation Edition)";
    QTest::newRow("name and version id") << QByteArray("NAME='Alpine Linux'\nVERSION_ID=3.19.1\n")
                                         << "Alpine Linux 3.19.1";
    QTest::newRow("name alone") << QByteArray("NAME=\"Arch Linux\"\nBUILD_ID=rolling\n") << "Arch Linux";
    QTest::newRow("escaped quote") << QByteArray("PRETTY_NAME=\"Joe\\\"s OS 1\"\n") << "Joe\"s OS 1";
    QTest::newRow("comment and blanks") << QByteArray("# PRETTY_NAME=\"Not this\"\n  PRETTY_NAME=\"This\"  \n")
                                        << "This";
    QTest::newRow("empty pretty name") << QByteArray("PRETTY_NAME=\"\"\nNAME=X\nVERSION=1\n") << "X 1";
    QTest::newRow("nothing") << QByteArray("ID=unknown\n") << "";
    QTest::newRow("not text") << QByteArray("\x00\x01\xff", 3) << "";
}

void TestProgramInfo::osReleaseText() {
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QCOMPARE(ProgramInfo::osReleaseText(file), text);
}

void TestProgramInfo::splashSeconds_data() {
    QTest::addColumn<double>("timeOfDay");
    QTest::addColumn<double>("seconds");
    QTest::newRow("on a whole second") << 100.0 << 5.0;
    QTest::newRow("0.4 past") << 100.4 << 4.6;
    QTest::newRow("0.5 past") << 100.5 << 5.5;
    QTest::newRow("0.6 past") << 100.6 << 5.4;
    QTest::newRow("just before midnight") << 86399.7 << 5.3;
    QTest::newRow("midnight") << 0.0 << 5.0;
}

void TestProgramInfo::splashSeconds() {
    QFETCH(double, timeOfDay);
    QFETCH(double, seconds);
    const double actual = ProgramInfo::splashSeconds(timeOfDay);
    QVERIFY2(qAbs(actual - seconds) < 1e-6, qPrintable(QString::number(actual)));
    QVERIFY(actual >= 4.5 && actual <= 5.5);
}

QTEST_GUILESS_MAIN(TestProgramInfo)
#include "tst_programinfo.moc"
