#include "desktop/Activation.h"
#include "desktop/CommandLine.h"
#include "desktop/HandOverMessage.h"
#include "desktop/SingleTelephone.h"
#include "modem/Clock.h"
#include "modem/Waiter.h"

#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
QStringList args(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items) {
        list << QString::fromUtf8(item);
    }
    return list;
}
} // namespace

using Start = SingleTelephone::Start;
using Status = HandOverMessage::Reader::Status;
using Outcome = CommandLine::Outcome;
Q_DECLARE_METATYPE(HandOverMessage::Reader::Status)
Q_DECLARE_METATYPE(CommandLine::Outcome)

// One running telephone per settings file, within one process: two SingleTelephone objects play
// the first and the second start over a real local socket in a private runtime folder. The
// command line and the message between the two are read as tables.
class TestSingleTelephone : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void commandLine_data();
    void commandLine();
    void frames_data();
    void frames();
    void frameArrivingInPieces();
    void secondStartHandsItsLinksOver();
    void simultaneousStartsMakeOneTelephone();
    void staleSocketIsReplaced();
    void startsOfOtherSettingsDoNotMeet();
    void closingTelephoneIsWaitedFor();
    void lockWithoutListenerIsNoAnswer();
    void malformedPeerIsDropped();
    void folderOthersCanEnterIsNotUsed();

private:
    QString socketPath(const QString& settings) const {
        return m_runtime->path() + QLatin1Char('/') + SingleTelephone::socketName(settings) + QStringLiteral(".socket");
    }

    QString m_base;
    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<QTemporaryDir> m_temp;
    SystemClock m_clock;
    Waiter m_waiter{m_clock};
    const QString m_settings = QStringLiteral("/home/someone/.config/Vantrel.conf");
};

void TestSingleTelephone::initTestCase() {
    m_base = QDir::tempPath();
}

void TestSingleTelephone::init() {
    m_runtime = std::make_unique<QTemporaryDir>(m_base + QStringLiteral("/run-XXXXXX"));
    m_temp = std::make_unique<QTemporaryDir>(m_base + QStringLiteral("/tmp-XXXXXX"));
    QVERIFY(m_runtime->isValid() && m_temp->isValid());
    // QTemporaryDir makes its folders 0700.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
    qputenv("TMPDIR", QFile::encodeName(m_temp->path()));
}

void TestSingleTelephone::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<QString>("message"); // a part of it
    QTest::newRow("nothing") << QStringList{} << Outcome::Run << QStringList{} << "";
    QTest::newRow("tel link") << args({"tel:+1-407-555-1212"}) << Outcome::Run << args({"tel:+1-407-555-1212"}) << "";
    QTest::newRow("callto link") << args({"CALLTO:5551212"}) << Outcome::Run << args({"CALLTO:5551212"}) << "";
    // The display decides about the number itself, and tells the user there.
    QTest::newRow("link with nothing dialable") << args({"tel:"}) << Outcome::Run << args({"tel:"}) << "";
    QTest::newRow("help") << args({"--help"}) << Outcome::Help << QStringList{} << "Usage: brisvane [options] [link]";
    QTest::newRow("help among unknown options")
        << args({"-platform", "offscreen", "-h"}) << Outcome::Help << QStringList{} << "--version";
    QTest::newRow("version") << args({"--version"}) << Outcome::Version << QStringList{} << "brisvane 1.0.9";
    QTest::newRow("unknown option") << args({"--dial"}) << Outcome::Error << QStringList{} << "Unknown option 'dial'.";
    QTest::newRow("bare number") << args({"5551212"}) << Outcome::Error << QStringList{}
                                 << "not a tel: or callto: link: 5551212";
    const QString longest = QStringLiteral("tel:") + QString(CommandLine::MaxLinkLength - 4, QLatin1Char('1'));
    QTest::newRow("the longest link") << QStringList{longest} << Outcome::Run << QStringList{longest} << "";
    QTest::newRow("a longer link") << QStringList{longest + QLatin1Char('1')} << Outcome::Error << QStringList{}
                                   << "a link of more than 2048 characters";
    QTest::newRow("two links") << args({"tel:1", "tel:2"}) << Outcome::Error << QStringList{}
                               << "one link at most: tel:2";
}

void TestSingleTelephone::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(Outcome, outcome);
    QFETCH(QStringList, links);
    QFETCH(QString, message);
    CommandLine parsed;
    QString text;
    QCOMPARE(CommandLine::parse(args({"brisvane"}) + arguments, &parsed, &text), outcome);
    QCOMPARE(parsed.links, links);
    QVERIFY2(text.contains(message), qPrintable(text));
}

namespace {

QByteArray header(quint32 length) {
    QByteArray bytes(4, '\0');
    qToBigEndian(length, bytes.data());
    return bytes;
}

} // namespace

void TestSingleTelephone::frames_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Status>("status");
    QTest::addColumn<QStringList>("arguments");
    const QStringList two{QStringLiteral("tel:5551212"), QString::fromUtf8("callto:\xc3\xa9")};
    QTest::newRow("two arguments") << HandOverMessage::encode(two) << Status::Complete << two;
    QTest::newRow("no arguments") << HandOverMessage::encode({}) << Status::Complete << QStringList{};
    QTest::newRow("an empty argument") << HandOverMessage::encode(args({""})) << Status::Complete << args({""});
    QTest::newRow("header only") << header(5) << Status::More << QStringList{};
    QTest::newRow("part of a header") << QByteArray(2, '\0') << Status::More << QStringList{};
    QTest::newRow("announces too much") << header(HandOverMessage::MaxPayload + 1) << Status::Bad << QStringList{};
    QTest::newRow("bytes after the frame")
        << HandOverMessage::encode(args({"tel:1"})) + "x" << Status::Bad << QStringList{};
    QTest::newRow("unterminated argument") << header(5) + "tel:1" << Status::Bad << QStringList{};
    // From a later Brisvane.
    QTest::newRow("context unknown here")
        << header(19) + QByteArray("--colour=red\0tel:1\0", 19) << Status::Complete << args({"tel:1"});
}

void TestSingleTelephone::frames() {
    QFETCH(QByteArray, bytes);
    QFETCH(Status, status);
    QFETCH(QStringList, arguments);
    HandOverMessage::Reader reader;
    QCOMPARE(reader.feed(bytes), status);
    if (status == Status::Complete) {
        QCOMPARE(reader.arguments(), arguments);
    }
}

void TestSingleTelephone::frameArrivingInPieces() {
    const QByteArray frame = HandOverMessage::encode(args({"tel:4075551212"}));
    HandOverMessage::Reader reader;
    for (qsizetype i = 0; i + 1 < frame.size(); ++i) {
        QCOMPARE(reader.feed(frame.mid(i, 1)), Status::More);
    }
    QCOMPARE(reader.feed(frame.right(1)), Status::Complete);
    QCOMPARE(reader.arguments(), args({"tel:4075551212"}));
    QVERIFY(HandOverMessage::encode({QString(HandOverMessage::MaxPayload, QLatin1Char('1'))}).isEmpty());
    QVERIFY(HandOverMessage::encode({QStringLiteral("a\0b")}).isEmpty());
    QVERIFY(HandOverMessage::encode(args({"--startup-id=x"})).isEmpty());
    // What the command line lets through fits in one message.
    QVERIFY(!HandOverMessage::encode({QString(CommandLine::MaxLinkLength, QChar(0x20ac))}).isEmpty());
}

void TestSingleTelephone::secondStartHandsItsLinksOver() {
    SingleTelephone first(m_settings, m_waiter);
    QSignalSpy received(&first, &SingleTelephone::argumentsReceived);
    qputenv("XDG_ACTIVATION_TOKEN", "first");
    QCOMPARE(first.start(args({"tel:1"}), Activation::fromEnvironment()), Start::First);
    QVERIFY(QFileInfo(first.socketPath()).exists());
    QCOMPARE(first.socketPath(), socketPath(m_settings));
    // The telephone's own first window may take its launcher's token.
    QCOMPARE(qgetenv("XDG_ACTIVATION_TOKEN"), "first");

    for (const QStringList& links : {args({"tel:+1-407-555-1212"}), QStringList{}}) {
        const QByteArray token = "token-" + QByteArray::number(links.size());
        qputenv("XDG_ACTIVATION_TOKEN", token);
        qputenv("DESKTOP_STARTUP_ID", token + "_TIME1");
        SingleTelephone second(m_settings, m_waiter);
        QCOMPARE(second.start(links, Activation::fromEnvironment()), Start::HandedOver);
        // Good for one window: the running telephone's now.
        QVERIFY(!qEnvironmentVariableIsSet("XDG_ACTIVATION_TOKEN") && !qEnvironmentVariableIsSet("DESKTOP_STARTUP_ID"));
        QTRY_COMPARE(received.size(), 1);
        const QList<QVariant> arguments = received.takeFirst();
        QCOMPARE(arguments.at(0).toStringList(), links);
        const auto activation = arguments.at(1).value<Activation>();
        QCOMPARE(activation.token + QLatin1Char(' ') + activation.startupId,
                 QString::fromUtf8(token + ' ' + token + "_TIME1"));
    }
    // Only this user may connect.
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(first.socketPath()).constData(), &info), 0);
    QCOMPARE(info.st_mode & 077, 0u);
}

void TestSingleTelephone::simultaneousStartsMakeOneTelephone() {
    // Both lose the lock race in turn: the one to take the lock listens, the other hands over.
    SingleTelephone a(m_settings, m_waiter);
    SingleTelephone b(m_settings, m_waiter);
    QSignalSpy receivedA(&a, &SingleTelephone::argumentsReceived);
    QSignalSpy receivedB(&b, &SingleTelephone::argumentsReceived);
    Start resultB = Start::NoAnswer;
    // b starts inside a's wait for its first attempt, as a second process would at that moment.
    QTimer::singleShot(0, &b, [&] { resultB = b.start(args({"tel:2"})); });
    const Start resultA = a.start(args({"tel:1"}));
    QTRY_VERIFY(resultB != Start::NoAnswer);
    QCOMPARE(QList<Start>({resultA, resultB}).count(Start::First), 1);
    QCOMPARE(QList<Start>({resultA, resultB}).count(Start::HandedOver), 1);
    QTRY_COMPARE(receivedA.size() + receivedB.size(), 1);
}

void TestSingleTelephone::staleSocketIsReplaced() {
    // A socket file nobody listens on, as a crash leaves it, and a lock of a process that is gone.
    const QString path = socketPath(m_settings);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(path);
    qstrncpy(address.sun_path, encoded.constData(), sizeof address.sun_path);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    QFile lock(m_runtime->path() + QLatin1Char('/') + SingleTelephone::socketName(m_settings) +
               QStringLiteral(".lock"));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write("999999999\nbrisvane\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();

    SingleTelephone first(m_settings, m_waiter);
    QCOMPARE(first.start({}), Start::First);
    QVERIFY2(first.problem().isEmpty(), qPrintable(first.problem()));
    SingleTelephone second(m_settings, m_waiter);
    QCOMPARE(second.start({}), Start::HandedOver);
}

void TestSingleTelephone::startsOfOtherSettingsDoNotMeet() {
    SingleTelephone first(m_settings, m_waiter);
    QCOMPARE(first.start({}), Start::First);
    SingleTelephone other(QStringLiteral("/tmp/elsewhere/Vantrel.conf"), m_waiter);
    QCOMPARE(other.start({}), Start::First);
    QVERIFY(first.socketPath() != other.socketPath());
}

void TestSingleTelephone::closingTelephoneIsWaitedFor() {
    auto first = std::make_unique<SingleTelephone>(m_settings, m_waiter);
    QCOMPARE(first->start({}), Start::First);
    first->stopListening();
    QVERIFY(!QFileInfo::exists(first->socketPath()));
    // The telephone ends (its lock goes with it) while the next start waits.
    SingleTelephone next(m_settings, m_waiter);
    QTimer::singleShot(300, this, [&first] { first.reset(); });
    QCOMPARE(next.start(args({"tel:3"})), Start::First);
    QVERIFY(!first);
}

void TestSingleTelephone::lockWithoutListenerIsNoAnswer() {
    SingleTelephone first(m_settings, m_waiter);
    QCOMPARE(first.start({}), Start::First);
    first.stopListening();
    SingleTelephone second(m_settings, m_waiter);
    QCOMPARE(second.start(args({"tel:4"}), {}, 0.3), Start::NoAnswer);
}

void TestSingleTelephone::malformedPeerIsDropped() {
    SingleTelephone first(m_settings, m_waiter);
    QSignalSpy received(&first, &SingleTelephone::argumentsReceived);
    QCOMPARE(first.start({}), Start::First);
    QLocalSocket peer;
    peer.connectToServer(first.socketPath());
    QVERIFY(peer.waitForConnected(5000));
    peer.write(header(0x7fffffff) + QByteArray(64, 'x'));
    QTRY_COMPARE(peer.state(), QLocalSocket::UnconnectedState);
    QVERIFY(!peer.readAll().contains("OK"));
    // The telephone still listens.
    SingleTelephone second(m_settings, m_waiter);
    QCOMPARE(second.start(args({"tel:5"})), Start::HandedOver);
    QTRY_COMPARE(received.size(), 1);
    QCOMPARE(received.first().first().toStringList(), args({"tel:5"}));
}

void TestSingleTelephone::folderOthersCanEnterIsNotUsed() {
    QVERIFY(QFile::setPermissions(m_runtime->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                         QFile::ReadOther | QFile::ExeOther));
    QString problem;
    const QString expected = m_temp->path() + QStringLiteral("/brisvane-%1").arg(::getuid());
    QCOMPARE(SingleTelephone::privateFolder(&problem), expected);
    struct stat info {};
    QCOMPARE(::lstat(QFile::encodeName(expected).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, 0700u);

    // The fallback made open to others by someone: no folder at all.
    QVERIFY(QFile::setPermissions(expected, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::WriteOther |
                                                QFile::ExeOther));
    QCOMPARE(SingleTelephone::privateFolder(&problem), QString());
    QVERIFY2(problem.contains(QStringLiteral("not a folder of this user's alone")), qPrintable(problem));
    SingleTelephone alone(m_settings, m_waiter);
    QCOMPARE(alone.start({}), Start::NoFolder);
}

QTEST_GUILESS_MAIN(TestSingleTelephone)
#include "tst_singletelephone.moc"
