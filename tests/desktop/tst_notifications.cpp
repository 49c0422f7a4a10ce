#include "PhoneLine.h"
#include "call/CallControl.h"
#include "console/Phone.h"
#include "console/PhoneFace.h"
#include "desktop/CallerNotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QTest>
#include <memory>

// A notification service that records what it is asked, on a session bus of the test's own.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown {
        uint id;
        uint replaces;
        QString summary;
        QString body;
        QStringList actions;
    };
    QList<Shown> shown;
    QList<uint> closed;
    QStringList capabilities{QStringLiteral("actions"), QStringLiteral("body")};

public slots:
    uint Notify(const QString&, uint replaces, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap&, int) {
        const uint id = replaces != 0 ? replaces : uint(shown.size() + 1);
        shown.append({id, replaces, summary, body, actions});
        return id;
    }
    void CloseNotification(uint id) {
        closed.append(id);
        emit NotificationClosed(id, 3);
    }
    QStringList GetCapabilities() { return capabilities; }

signals:
    void ActivationToken(uint id, const QString& token);
    void ActionInvoked(uint id, const QString& actionKey);
    void NotificationClosed(uint id, uint reason);
};

// The notification for a caller, through a private session bus: shown only while the window is
// not the active one, answered by its action, withdrawn when the call is answered, ended or its
// five seconds pass, and nothing at all without a notification service.
class TestNotifications : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void withdrawnWhenTheCallerIsDealtWith_data();
    void withdrawnWhenTheCallerIsDealtWith();
    void answerAction();
    void missedCallStaysWithCallBack();
    void notWhileTheWindowIsActive();
    void callerTextsArePlainText_data();
    void callerTextsArePlainText();
    void noNotificationService();

private:
    void ring(const QByteArray& number, const QByteArray& name);
    QDBusConnection bus(const QString& name) { return QDBusConnection::connectToBus(m_address, name); }

    QProcess m_daemon;
    QString m_address;
    std::unique_ptr<FakeNotifications> m_service;
    std::unique_ptr<PhoneLine> m_line;
    std::unique_ptr<CallerNotifier> m_notifier;
    bool m_windowActive = false;
};

namespace {
const QByteArray Ata("ATA\r");
} // namespace

void TestNotifications::initTestCase() {
    m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                   QStringLiteral("--nopidfile"), QStringLiteral("--print-address")});
    QVERIFY2(m_daemon.waitForReadyRead(5000), "dbus-daemon did not start");
    m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
    QVERIFY(!m_address.isEmpty());
}

void TestNotifications::cleanupTestCase() {
    m_daemon.terminate();
    m_daemon.waitForFinished(3000);
}

void TestNotifications::init() {
    m_service = std::make_unique<FakeNotifications>();
    QDBusConnection server = bus(QStringLiteral("server"));
    QVERIFY(server.registerObject(QStringLiteral("/org/freedesktop/Notifications"), m_service.get(),
                                  QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
    QVERIFY(server.registerService(QStringLiteral("org.freedesktop.Notifications")));
    m_windowActive = false;
    m_line = std::make_unique<PhoneLine>();
    QVERIFY(m_line->attach());
    m_notifier = std::make_unique<CallerNotifier>(
        m_line->phone(), [this] { return m_windowActive; }, bus(QStringLiteral("client")));
}

void TestNotifications::cleanup() {
    m_notifier.reset();
    m_line.reset();
    QDBusConnection server = bus(QStringLiteral("server"));
    server.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    server.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
    m_service.reset();
}

void TestNotifications::ring(const QByteArray& number, const QByteArray& name) {
    m_line->send("\r\nRING\r\n\r\nDATE = 1207\r\nTIME = 1205\r\nNMBR = " + number + "\r\nNAME = " + name + "\r\n");
}

void TestNotifications::withdrawnWhenTheCallerIsDealtWith_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("answered with Send") << "send";
    QTest::newRow("turned down with End") << "end";
    QTest::newRow("five seconds unanswered") << "time";
}

void TestNotifications::withdrawnWhenTheCallerIsDealtWith() {
    QFETCH(QString, how);
    ring("4075551212", "SMITH,JOHN");
    QTRY_COMPARE(m_service->shown.size(), 1);
    const FakeNotifications::Shown shown = m_service->shown.first(); // a copy: more may be shown
    QCOMPARE(shown.summary, QStringLiteral("JOHN SMITH"));
    QCOMPARE(shown.body, QStringLiteral("555-1212"));
    QCOMPARE(shown.actions, (QStringList{QStringLiteral("answer"), QStringLiteral("Answer")}));
    QTRY_COMPARE(m_notifier->shownId(), shown.id);
    QVERIFY(m_service->closed.isEmpty());

    if (how == QLatin1String("send")) {
        m_line->phone().calls().cmdSend_Click();
    } else if (how == QLatin1String("end")) {
        m_line->phone().calls().cmdEnd_Click();
    }
    QTRY_COMPARE(m_service->closed, QList<uint>{shown.id});
    QCOMPARE(m_notifier->shownId(), 0u);
    QCOMPARE(m_line->writeCount(Ata), how == QLatin1String("send") ? 1 : 0);
}

void TestNotifications::answerAction() {
    QStringList raised;
    connect(m_notifier.get(), &CallerNotifier::windowWanted, this, [&](const QString& token) {
        // The window comes forward before the answer waits for the modem.
        QCOMPARE(m_line->writeCount(Ata), 0);
        raised << token;
    });
    ring("4075551212", "SMITH,JOHN");
    QTRY_VERIFY(m_notifier->shownId() != 0);
    const uint id = m_notifier->shownId();
    emit m_service->ActivationToken(id, QStringLiteral("token-1"));
    emit m_service->ActivationToken(id + 1, QStringLiteral("another program's"));
    emit m_service->ActionInvoked(id, QStringLiteral("answer"));
    QTRY_COMPARE(m_line->writeCount(Ata), 1);
    QCOMPARE(raised, QStringList{QStringLiteral("token-1")});
    QVERIFY(m_line->shared.CallActive);
    QTRY_COMPARE(m_service->closed, QList<uint>{id});
    // A late second press of the action finds nothing to answer.
    emit m_service->ActionInvoked(id, QStringLiteral("answer"));
    m_line->letPass(1);
    QCOMPARE(m_line->writeCount(Ata), 1);
    QCOMPARE(raised.size(), 1);
}

void TestNotifications::missedCallStaysWithCallBack() {
    ring("4075551212", "SMITH,JOHN");
    QTRY_VERIFY(m_notifier->shownId() != 0);
    const uint callerId = m_notifier->shownId();
    m_line->letPass(6);
    QTRY_COMPARE(m_service->shown.size(), 2);
    const FakeNotifications::Shown missed = m_service->shown.last();
    QCOMPARE(m_service->closed, QList<uint>{callerId});
    QCOMPARE(missed.summary, QStringLiteral("Missed call"));
    QCOMPARE(missed.body, QStringLiteral("JOHN SMITH 555-1212"));
    QCOMPARE(missed.actions, (QStringList{QStringLiteral("call-back"), QStringLiteral("Call back")}));
    // Call back puts the whole number on the display for the user's Send; nothing is dialled.
    m_line->clearWritten();
    emit m_service->ActionInvoked(missed.id, QStringLiteral("call-back"));
    QTRY_COMPARE(m_service->closed, (QList<uint>{callerId, missed.id}));
    QCOMPARE(m_line->phone().face().text(PhoneFace::Box::NumberOut), QStringLiteral("4075551212"));
    QCOMPARE(m_line->written(), QByteArray());
}

void TestNotifications::notWhileTheWindowIsActive() {
    m_windowActive = true;
    ring("4075551212", "SMITH,JOHN");
    QTRY_COMPARE(m_line->view.log.contains(QStringLiteral("text Name JOHN SMITH")), true);
    QVERIFY(!m_line->waitUntil([this] { return !m_service->shown.isEmpty(); }, 1));
}

void TestNotifications::callerTextsArePlainText_data() {
    QTest::addColumn<bool>("markup");
    QTest::addColumn<QByteArray>("number");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("body");
    QTest::newRow("private caller") << false << QByteArray("P") << QByteArray("") << "Private"
                                    << "";
    QTest::newRow("out of area") << false << QByteArray("O") << QByteArray("") << "Out of Area"
                                 << "";
    // The summary is plain text by the notification protocol: the name goes as the display shows it.
    QTest::newRow("markup in the name, markup-reading service")
        << true << QByteArray("4075551212") << QByteArray("<a href=x>&AMP</a>") << "<a href=x>&AMP</a>"
        << "555-1212";
}

void TestNotifications::callerTextsArePlainText() {
    QFETCH(bool, markup);
    QFETCH(QByteArray, number);
    QFETCH(QByteArray, name);
    QFETCH(QString, summary);
    QFETCH(QString, body);
    if (markup) {
        m_service->capabilities << QStringLiteral("body-markup");
    }
    // The notifier asks for the service's capabilities when it is made.
    m_notifier = std::make_unique<CallerNotifier>(
        m_line->phone(), [this] { return m_windowActive; }, bus(QStringLiteral("client")));
    m_line->letPass(0.5); // the capabilities come back
    ring(number, name);
    QTRY_COMPARE(m_service->shown.size(), 1);
    QCOMPARE(m_service->shown.first().summary, summary);
    QCOMPARE(m_service->shown.first().body, body);
}

void TestNotifications::noNotificationService() {
    m_notifier.reset();
    m_service.reset();
    QDBusConnection server = bus(QStringLiteral("server"));
    server.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    m_service = std::make_unique<FakeNotifications>();
    m_notifier = std::make_unique<CallerNotifier>(
        m_line->phone(), [this] { return m_windowActive; }, bus(QStringLiteral("client")));
    ring("4075551212", "SMITH,JOHN");
    QTRY_VERIFY(m_line->view.log.contains(QStringLiteral("text Name JOHN SMITH")));
    m_line->phone().calls().cmdSend_Click();
    QCOMPARE(m_line->writeCount(Ata), 1);
    QVERIFY(!m_line->waitUntil([this] { return m_notifier->shownId() != 0; }, 1));
    QVERIFY(m_line->messages.boxes.isEmpty());
}

QTEST_GUILESS_MAIN(TestNotifications)
#include "tst_notifications.moc"
