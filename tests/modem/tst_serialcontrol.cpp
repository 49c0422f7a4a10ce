#include "modem/DeviceAccess.h"
#include "modem/DeviceLock.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(DeviceAccess::Verdict)

namespace {

QByteArray hdb(qint64 pid) {
    char text[32];
    std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
    return QByteArray(text);
}

QByteArray binary(qint32 pid) {
    return QByteArray(reinterpret_cast<const char*>(&pid), sizeof pid);
}

void writeFile(const QString& path, const QByteArray& content, int ageSeconds = 0) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.flush(); // a write at close would stamp the file again
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
}

} // namespace

class TestSerialControl : public QObject {
    Q_OBJECT
private slots:
    void accessDecision_data() {
        using V = DeviceAccess::Verdict;
        using Groups = QList<unsigned>;
        QTest::addColumn<unsigned>("mode");
        QTest::addColumn<unsigned>("ownerUid");
        QTest::addColumn<unsigned>("userUid");
        QTest::addColumn<Groups>("groups");
        QTest::addColumn<V>("verdict");
        const unsigned chr = 020000; // a character device: the type bits must not matter
        // The device's group is always 20 (dialout).
        QTest::newRow("root, no bits at all") << chr << 0u << 0u << Groups{0} << V::Allowed;
        QTest::newRow("in dialout") << (chr | 0660) << 0u << 1000u << Groups{1000, 20} << V::Allowed;
        QTest::newRow("not in dialout") << (chr | 0660) << 0u << 1000u << Groups{1000, 24} << V::JoinGroup;
        QTest::newRow("open to all") << (chr | 0666) << 0u << 1000u << Groups{1000} << V::Allowed;
        QTest::newRow("others may only write") << (chr | 0662) << 0u << 1000u << Groups{1000} << V::JoinGroup;
        QTest::newRow("group may only read") << (chr | 0640) << 0u << 1000u << Groups{1000} << V::AskAdministrator;
        QTest::newRow("in a group that may only read")
            << (chr | 0644) << 0u << 1000u << Groups{20} << V::AskAdministrator;
        QTest::newRow("owner") << (chr | 0600) << 1000u << 1000u << Groups{1000} << V::Allowed;
        QTest::newRow("owner refused by own bits")
            << (chr | 0066) << 1000u << 1000u << Groups{20} << V::AskAdministrator;
    }
    void accessDecision() {
        QFETCH(unsigned, mode);
        QFETCH(unsigned, ownerUid);
        QFETCH(unsigned, userUid);
        QFETCH(QList<unsigned>, groups);
        QTEST(DeviceAccess::decide(mode, ownerUid, 20, userUid, groups), "verdict");
    }

    void refusalNamesTheDevicesGroup() {
        // A device owned by root:dialout, as a user outside that group sees it.
        const group* dialout = ::getgrnam("dialout");
        QTemporaryDir dir;
        const QString device = dir.filePath(QStringLiteral("ttyACM0"));
        const QByteArray native = QFile::encodeName(device);
        writeFile(device, QByteArray());
        if (!dialout || ::chown(native.constData(), 0, dialout->gr_gid) != 0) {
            QSKIP("needs a dialout group and the right to give it a file");
        }
        QVERIFY(::chmod(native.constData(), 0660) == 0);
        const QString alice = QStringLiteral("alice");
        const QString text = DeviceAccess::refusalFor(device, device, 1000, {1000}, alice);
        QVERIFY2(text.contains(device) && text.contains(QStringLiteral("\"dialout\"")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("sudo adduser alice dialout")), qPrintable(text));
        QVERIFY(DeviceAccess::refusalFor(device, device, 1000, {1000, dialout->gr_gid}, alice).isEmpty());

        QVERIFY(::chmod(native.constData(), 0600) == 0); // no group can grant it
        const QString noGroup = DeviceAccess::refusalFor(device, device, 1000, {1000}, alice);
        QVERIFY(noGroup.contains(device) && !noGroup.contains(QStringLiteral("adduser")));
    }

    void pidFromContent_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("pid");
        QTest::newRow("HDB") << QByteArray("      4242\n") << qint64(4242);
        QTest::newRow("bare, no line end") << QByteArray("4242") << qint64(4242);
        QTest::newRow("tab and CRLF") << QByteArray("\t4242\r\n") << qint64(4242);
        QTest::newRow("Qt lock file") << QByteArray("4242\nminiterm\nhost\n") << qint64(4242);
        QTest::newRow("binary") << binary(4242) << qint64(4242);
        QTest::newRow("ASCII of four bytes") << QByteArray("123\n") << qint64(123);
        QTest::newRow("empty") << QByteArray() << qint64(0);
        QTest::newRow("text") << QByteArray("locked\n") << qint64(0);
        QTest::newRow("number glued to text") << QByteArray("42abc\n") << qint64(0);
        QTest::newRow("zero") << hdb(0) << qint64(0);
        QTest::newRow("negative") << QByteArray("-42\n") << qint64(0);
        QTest::newRow("too long") << QByteArray("99999999999\n") << qint64(0);
        QTest::newRow("binary negative") << binary(-5) << qint64(0);
    }
    void pidFromContent() {
        QFETCH(QByteArray, content);
        QTEST(DeviceLock::pidFromContent(content), "pid");
    }
};

QTEST_GUILESS_MAIN(TestSerialControl)
#include "tst_serialcontrol.moc"
