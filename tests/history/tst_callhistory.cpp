#include "history/CallHistory.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

namespace {

using D = CallRecord::Direction;
using O = CallRecord::Outcome;

CallRecord call(const char* started, D direction, O outcome, const QString& number, const QString& name = {},
                std::optional<int> seconds = {}) {
    return {0, QDateTime::fromString(QLatin1String(started), Qt::ISODate), direction, outcome, number, name, seconds};
}

// The last column of every row of a query.
QStringList select(const CallHistory& history, const QString& sql) {
    QSqlQuery query(history.database());
    QStringList rows;
    for (query.exec(sql); query.next();) {
        rows << query.value(query.record().count() - 1).toString();
    }
    return rows;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

void write(const QString& path, const QByteArray& bytes, qint64 offset = 0) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(offset) && file.write(bytes) == bytes.size());
}

} // namespace

class TestCallHistory : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = m_dir->filePath(QStringLiteral("data/brisvane/calls.sqlite"));
    }
    void callsOutliveARestart();
    void unseenMissedCountUsesItsIndex();
    void exportToAFile();
    void opening_data();
    void opening();
    void blockList();
    void unseenMissed();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

// Order, quoting and the values as stored: what sqlite3 and a spreadsheet see.
void TestCallHistory::callsOutliveARestart() {
    const auto owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    {
        CallHistory history(m_path);
        QVERIFY2(history.open(), qPrintable(history.problem()));
        QCOMPARE(QFileInfo(m_path).permissions(), owner);
        QCOMPARE(QFileInfo(QFileInfo(m_path).path()).permissions(), owner | QFile::ExeOwner | QFile::ExeUser);
        QCOMPARE(select(history, QStringLiteral("PRAGMA journal_mode")), QStringList{QStringLiteral("wal")});
        CallRecord in = call("2026-05-01T10:00:00+02:00", D::In, O::Missed, QStringLiteral("555"),
                             QStringLiteral("O'BRIEN, \"DAN\""));
        in.id = history.add(in);
        in.outcome = O::Answered;
        in.seconds = 75;
        QVERIFY(history.update(in));
        history.add(call("2026-05-02T08:00:00Z", D::Out, O::Unanswered, QStringLiteral("*69")));
        history.add(
            call("2026-05-01T08:00:00Z", D::In, O::Missed, QStringLiteral("P"), QStringLiteral("MÜLLER\r\nJÖ")));
        // As sqlite3 would: every column but these three has a default.
        QVERIFY(QSqlQuery(history.database())
                    .exec(QStringLiteral("INSERT INTO calls (started, direction, outcome) "
                                         "VALUES ('2026-05-01T09:30:00Z', 'out', 'connected')")));
    }
    CallHistory again(m_path);
    QVERIFY(again.open());
    QBuffer out;
    QVERIFY(out.open(QIODevice::WriteOnly) && again.exportCsv(out, nullptr));
    QCOMPARE(QString::fromUtf8(out.data()),
             QStringLiteral("started,direction,outcome,number,name,seconds\r\n"
                            "2026-05-01T08:00:00Z,in,answered,555,\"O'BRIEN, \"\"DAN\"\"\",75\r\n"
                            "2026-05-01T08:00:00Z,in,missed,P,\"MÜLLER\r\nJÖ\",\r\n"
                            "2026-05-01T09:30:00Z,out,connected,,,\r\n"
                            "2026-05-02T08:00:00Z,out,unanswered,*69,,\r\n"));
}

// The start reads the count of unseen missed calls, and only through its index, however long
// the history.
void TestCallHistory::unseenMissedCountUsesItsIndex() {
    CallHistory history(m_path);
    QVERIFY(history.open());
    QCOMPARE(
        select(history, QStringLiteral("EXPLAIN QUERY PLAN ") + CallHistory::unseenMissedStatement()),
        QStringList{QStringLiteral("SEARCH calls USING COVERING INDEX calls_unseen_missed (outcome=? AND seen=?)")});
}

// A new export is the user's alone, like the history; one that cannot be written says why.
void TestCallHistory::exportToAFile() {
    CallHistory history(m_path);
    QVERIFY(history.open());
    const QString folder = QFileInfo(m_path).absolutePath();
    QString problem;
    QVERIFY(!history.exportTo(folder + QStringLiteral("/none/calls.csv"), &problem));
    QVERIFY(problem.contains(QStringLiteral("none/calls.csv")));
    const QString written = folder + QStringLiteral("/calls.csv");
    QVERIFY(history.exportTo(written, &problem));
    QCOMPARE(contents(written), QByteArray("started,direction,outcome,number,name,seconds\r\n"));
    QCOMPARE(QFileInfo(written).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
}

void TestCallHistory::opening_data() {
    QTest::addColumn<QString>("file"); // what is found where the history should be
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("setAside"); // the damaged file's new name after "calls.sqlite.damaged-<date>"
    // Version 0 (an empty file): opening it runs every step from the first.
    QTest::newRow("empty file") << "empty" << true << "";
    QTest::newRow("not a database") << "text" << true << "-";
    QTest::newRow("the day's name taken") << "text, taken" << true << ".2";
    QTest::newRow("a page overwritten") << "overwritten" << true << "-";
    QTest::newRow("newer version") << "newer" << false << "";
    QTest::newRow("a folder") << "folder" << false << "";
    QTest::newRow("no permission") << "no permission" << false << "";
}

void TestCallHistory::opening() {
    QFETCH(QString, file);
    QFETCH(bool, opens);
    QFETCH(QString, setAside);
    const QString folder = QFileInfo(m_path).path();
    const QString damaged = m_path + QStringLiteral(".damaged-") + QDate::currentDate().toString(Qt::ISODate);
    QVERIFY(QDir().mkpath(file == QLatin1String("folder") ? m_path : folder));
    {
        CallHistory made(m_path);
        for (int i = 0; made.open() && i < 100; ++i) {
            made.add(call("2026-01-01T00:00:00Z", D::In, O::Missed, QStringLiteral("4075551212")));
        }
        if (file == QLatin1String("newer")) {
            QSqlQuery(made.database())
                .exec(QStringLiteral("PRAGMA user_version = %1").arg(CallHistory::SchemaVersion + 1));
        }
    }
    if (file == QLatin1String("empty") || file.startsWith(QLatin1String("text"))) {
        QVERIFY(QFile(m_path).resize(0));
    }
    if (file.startsWith(QLatin1String("text"))) {
        write(m_path, "name,number\nSMITH,555\n");
        // A WAL left over from the damaged file must go with it, not into the new one. (SQLite
        // removes one with a header as it closes a file that is no database; an empty one stays.)
        write(m_path + QStringLiteral("-wal"), "");
        if (file.endsWith(QLatin1String("taken"))) {
            write(damaged, "earlier");
        }
    } else if (file == QLatin1String("overwritten")) {
        write(m_path, QByteArray(4096, '\x7f'), 4096);
    } else if (file == QLatin1String("no permission")) {
        QVERIFY(QFile::setPermissions(m_path, QFile::WriteOwner));
        if (QFileInfo(m_path).isReadable()) {
            QSKIP("root reads every file");
        }
    }
    const QStringList files = QDir(folder).entryList(QDir::Files);
    const QByteArray before = contents(m_path);

    CallHistory history(m_path);
    QCOMPARE(history.open(), opens);
    // Damage deep in the file shows at the first statement that reaches it, not at the opening.
    const bool added = history.add(call("2026-01-01T00:00:00Z", D::In, O::Missed, QStringLiteral("1"))) > 0;
    if (!opens) {
        QVERIFY2(history.problem().startsWith(QLatin1String("The call history could not be read: ")) &&
                     history.problem().endsWith(QLatin1String(". Brisvane goes on without one.")),
                 qPrintable(history.problem()));
        QCOMPARE(QDir(folder).entryList(QDir::Files), files);
        QCOMPARE(contents(m_path), before);
    } else if (!setAside.isEmpty()) {
        const QString aside = setAside == QLatin1String("-") ? damaged : damaged + setAside;
        QCOMPARE(history.setAside(), aside);
        QCOMPARE(contents(aside), before);
        QCOMPARE(QFileInfo::exists(aside + QStringLiteral("-wal")), file.startsWith(QLatin1String("text")));
        QVERIFY(aside == damaged || contents(damaged) == "earlier");
    } else {
        QCOMPARE(select(history, QStringLiteral("PRAGMA user_version")),
                 QStringList{QString::number(CallHistory::SchemaVersion)});
    }
    QCOMPARE(added, opens);
}

void TestCallHistory::blockList() {
    CallHistory history(m_path);
    QVERIFY(history.open());
    QSignalSpy changed(&history, &CallHistory::changed);
    for (const char* number : {"(407) 555-1212", "P", "4075551212", "555.1234"}) {
        QVERIFY(history.block(QLatin1String(number)));
    }
    QVERIFY(!history.block(QStringLiteral("tel:555")));
    QVERIFY(history.isBlocked(QStringLiteral("407-555-1212")));
    QVERIFY(history.unblock(QStringLiteral("555 1234")) && history.unblock(QStringLiteral("999")));
    QCOMPARE(history.blockedNumbers(), (QStringList{QStringLiteral("4075551212"), QStringLiteral("P")}));
    QCOMPARE(changed.size(), 4); // three blocked, one unblocked
}

void TestCallHistory::unseenMissed() {
    CallHistory history(m_path);
    QVERIFY(history.open());
    QSignalSpy counts(&history, &CallHistory::unseenMissedChanged);
    CallRecord first = call("2026-01-01T00:00:00Z", D::In, O::Missed, QStringLiteral("1"));
    first.id = history.add(first);
    history.add(call("2026-01-01T00:01:00Z", D::In, O::Answered, QStringLiteral("2"), {}, 5));
    history.add(call("2026-01-01T00:02:00Z", D::In, O::Missed, QStringLiteral("3")));
    first.outcome = O::Answered; // the ringing call was answered after all
    QVERIFY(history.update(first));
    history.markMissedSeen();
    history.markMissedSeen();
    history.add(call("2026-01-01T00:03:00Z", D::In, O::Missed, QStringLiteral("4")));
    QCOMPARE(static_cast<QList<QList<QVariant>>>(counts), (QList<QList<QVariant>>{{1}, {2}, {1}, {0}, {1}}));
    QCOMPARE(history.unseenMissed(), 1);
}

QTEST_GUILESS_MAIN(TestCallHistory)
#include "tst_callhistory.moc"
