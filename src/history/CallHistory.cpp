#include "history/CallHistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

// Step n brings the tables from version n to n + 1, in one transaction with the new user_version.
// Every column but the three that make a call has a default, so a row can be added with sqlite3.
// `seen` is 1 once a missed call has been shown to the user; the partial index holds only the
// missed calls not yet seen, so counting them does not read the table.
const std::array<QStringList, CallHistory::SchemaVersion> Upgrades{
    QStringList{
        QStringLiteral("CREATE TABLE calls ("
                       "id INTEGER PRIMARY KEY, "
                       "started TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%SZ', 'now')), "
                       "direction TEXT NOT NULL, "
                       "outcome TEXT NOT NULL, "
                       "number TEXT NOT NULL DEFAULT '', "
                       "name TEXT NOT NULL DEFAULT '', "
                       "seconds INTEGER CHECK (seconds >= 0), "
                       "seen INTEGER NOT NULL DEFAULT 0 CHECK (seen IN (0, 1)), "
                       "CHECK (direction = 'in' AND outcome IN ('answered', 'missed', 'blocked') "
                       "OR direction = 'out' AND outcome IN ('connected', 'unanswered')))"),
        QStringLiteral("CREATE INDEX calls_started ON calls (started)"),
        QStringLiteral(
            "CREATE INDEX calls_unseen_missed ON calls (outcome, seen) WHERE outcome = 'missed' AND seen = 0"),
        QStringLiteral("CREATE TABLE blocked (number TEXT PRIMARY KEY NOT NULL) WITHOUT ROWID"),
    },
};

const QString CountUnseenMissed = QStringLiteral("SELECT count(*) FROM calls WHERE outcome = 'missed' AND seen = 0");

// SQLite's primary result codes for a file that is no database, or a damaged one.
constexpr int SqliteCorrupt = 11;
constexpr int SqliteNotADatabase = 26;

// The pause after the last write before the WAL is copied into the file.
constexpr int CheckpointAfterMs = 30 * 1000;

// What an export gathers before it writes.
constexpr qsizetype ChunkBytes = 64 * 1024;

QLatin1String directionText(CallRecord::Direction direction) {
    return direction == CallRecord::Direction::In ? QLatin1String("in") : QLatin1String("out");
}

QLatin1String outcomeText(CallRecord::Outcome outcome) {
    switch (outcome) {
    case CallRecord::Outcome::Answered:
        return QLatin1String("answered");
    case CallRecord::Outcome::Missed:
        return QLatin1String("missed");
    case CallRecord::Outcome::Blocked:
        return QLatin1String("blocked");
    case CallRecord::Outcome::Connected:
        return QLatin1String("connected");
    case CallRecord::Outcome::Unanswered:
        break;
    }
    return QLatin1String("unanswered");
}

QVariant secondsValue(const std::optional<int>& seconds) {
    return seconds ? QVariant(*seconds) : QVariant(QMetaType::fromType<int>());
}

// Qt SQL names each connection: one a history object.
QString connectionName() {
    static int connections = 0;
    return QStringLiteral("brisvane-history-%1").arg(++connections);
}

bool isDamage(const QSqlError& error) {
    const int code = error.nativeErrorCode().toInt() & 0xff; // extended codes carry the primary one in the low byte
    return code == SqliteCorrupt || code == SqliteNotADatabase;
}

// RFC 4180: a field with a comma, quote or line break goes in quotes, its quotes doubled.
void appendCsvField(QByteArray& line, const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r')) {
        bytes.replace('"', "\"\"");
        line += '"' + bytes + '"';
    } else {
        line += bytes;
    }
}

} // namespace

CallHistory::CallHistory(QString path, QObject* parent)
    : QObject(parent)
    , m_path(std::move(path)) {
    m_connection = connectionName();
    m_checkpoint.setSingleShot(true);
    m_checkpoint.setInterval(CheckpointAfterMs);
    connect(&m_checkpoint, &QTimer::timeout, this, [this] {
        // PASSIVE waits for no one: what a reader still needs stays in the WAL until next time.
        if (isOpen()) {
            QSqlQuery(database()).exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
        }
    });
}

CallHistory::~CallHistory() {
    close();
}

QString CallHistory::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/brisvane/calls.sqlite");
}

bool CallHistory::open() {
    close();
    m_problem.clear();
    m_setAside.clear();
    Opened opened = openFile();
    if (opened == Opened::Damaged) {
        close();
        if (!putAside()) {
            return false;
        }
        opened = openFile();
        if (opened == Opened::Damaged) {
            turnOff(QStringLiteral("a new one was started but SQLite finds it damaged"));
        }
    }
    if (opened != Opened::Yes) {
        close();
        return false;
    }
    m_unseenMissed = unseenMissed();
    return true;
}

CallHistory::Opened CallHistory::openFile() {
    const QFileInfo file(m_path);
    const QString folder = file.absolutePath();
    if (!QFileInfo(folder).isDir()) {
        // Calls and numbers are this user's own: the folder is closed to others.
        if (!QDir().mkpath(QFileInfo(folder).absolutePath()) ||
            !QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
            turnOff(QStringLiteral("the folder %1 cannot be made").arg(folder));
            return Opened::No;
        }
    }
    if (!file.exists()) {
        QFile created(m_path);
        if (!created.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner)) {
            turnOff(QStringLiteral("%1 cannot be made: %2").arg(m_path, created.errorString()));
            return Opened::No;
        }
    } else if (!file.isFile() || !file.isReadable() || !file.isWritable()) {
        // Never put aside: the file may be whole, only out of this user's reach.
        turnOff(QStringLiteral("%1 is no file this user may read and write").arg(m_path));
        return Opened::No;
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    if (!db.isValid()) {
        turnOff(QStringLiteral("Qt's SQLite driver is not installed (the Debian package libqt6sql6-sqlite)"));
        return Opened::No;
    }
    db.setDatabaseName(m_path);
    // Another process may be writing (a --block beside the running telephone): wait for it a little.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=1000"));
    if (!db.open()) {
        turnOff(db.lastError().databaseText());
        return Opened::No;
    }
    // The schema and the unseen missed calls: a file that is no database fails here. Damage deeper
    // in the file shows when a statement reaches it (recoverFromDamage); a check of every page
    // would hold up the start by a second for every hundred thousand calls.
    QSqlQuery query(db);
    const bool checked = query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) && query.next();
    if (!checked && !isDamage(query.lastError())) {
        turnOff(query.lastError().databaseText()); // busy, out of memory, ...: no sign of damage
        return Opened::No;
    }
    if (!checked) {
        return Opened::Damaged;
    }
    // WAL: a reader (an export, the Calls window) never holds up a write. NORMAL: a commit does not
    // wait for the disk; a power loss may lose the last calls but leaves the file whole.
    // No checkpoint inside a commit: m_checkpoint copies the WAL into the file once writes pause.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) ||
        !query.exec(QStringLiteral("PRAGMA synchronous=NORMAL")) ||
        !query.exec(QStringLiteral("PRAGMA wal_autocheckpoint=0"))) {
        turnOff(query.lastError().databaseText());
        return Opened::No;
    }
    return upgrade() ? Opened::Yes : Opened::No;
}

bool CallHistory::upgrade() {
    QSqlDatabase db = database();
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        return turnOff(query.lastError().databaseText());
    }
    const int version = query.value(0).toInt();
    if (version > SchemaVersion || version < 0) {
        return turnOff(QStringLiteral("%1 has tables of version %2, and this Brisvane knows them up to version %3 "
                                      "(a newer Brisvane wrote it); it is left as it is")
                           .arg(m_path)
                           .arg(version)
                           .arg(SchemaVersion));
    }
    for (int step = version; step < SchemaVersion; ++step) {
        bool done = db.transaction();
        for (const QString& statement : Upgrades.at(static_cast<size_t>(step))) {
            done = done && query.exec(statement);
        }
        done = done && query.exec(QStringLiteral("PRAGMA user_version = %1").arg(step + 1));
        if (!done || !db.commit()) {
            const QString reason = query.lastError().databaseText();
            db.rollback();
            return turnOff(
                QStringLiteral("its tables could not be brought to version %1: %2").arg(step + 1).arg(reason));
        }
    }
    return true;
}

// The WAL and journal files belong to the damaged file: left behind, SQLite would apply them to the
// new one. They go first, so that the new file never meets them.
bool CallHistory::putAside() {
    const QStringList sideFiles{QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")};
    const QString stem = m_path + QStringLiteral(".damaged-") + QDate::currentDate().toString(Qt::ISODate);
    QString aside = stem;
    const auto taken = [&](const QString& name) {
        for (const QString& side : sideFiles) {
            if (QFileInfo::exists(name + side)) {
                return true;
            }
        }
        return QFileInfo::exists(name);
    };
    for (int n = 2; taken(aside); ++n) {
        aside = stem + QLatin1Char('.') + QString::number(n);
    }
    QStringList moving;
    for (const QString& side : sideFiles) {
        if (QFileInfo::exists(m_path + side)) {
            moving << side;
        }
    }
    moving << QString(); // the file itself, last
    for (const QString& suffix : moving) {
        if (!QFile::rename(m_path + suffix, aside + suffix)) {
            return turnOff(QStringLiteral("%1 is damaged and could not be renamed aside").arg(m_path));
        }
    }
    m_setAside = aside;
    return true;
}

void CallHistory::close() {
    m_checkpoint.stop();
    if (QSqlDatabase::contains(m_connection)) {
        database().close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

bool CallHistory::turnOff(const QString& reason) {
    m_problem = QStringLiteral("The call history could not be read: %1. Brisvane goes on without one.").arg(reason);
    return false;
}

bool CallHistory::isOpen() const {
    return QSqlDatabase::contains(m_connection) && database().isOpen();
}

QString CallHistory::problem() const {
    return m_problem;
}

QString CallHistory::setAsideMessage() const {
    if (m_setAside.isEmpty()) {
        return {};
    }
    return QStringLiteral("The call history was damaged: it is kept as %1, and a new one was started.").arg(m_setAside);
}

QSqlDatabase CallHistory::database() const {
    return QSqlDatabase::database(m_connection, false);
}

int CallHistory::execute(const QString& statement, const QVariantList& values, bool mayRecover) {
    if (!isOpen()) {
        return -1;
    }
    QSqlQuery query(database());
    if (!query.prepare(statement)) {
        return -1;
    }
    for (const QVariant& value : values) {
        query.addBindValue(value);
    }
    if (!query.exec()) {
        // Damage found on the way: the statement goes to the new file, once.
        if (!mayRecover || !isDamage(query.lastError()) || !recoverFromDamage()) {
            return -1;
        }
        return execute(statement, values, false);
    }
    m_lastId = query.lastInsertId().toLongLong();
    return query.numRowsAffected();
}

void CallHistory::written(bool countMayChange) {
    m_checkpoint.start();
    emit changed();
    if (countMayChange) {
        const int count = unseenMissed();
        if (count != m_unseenMissed) {
            m_unseenMissed = count;
            emit unseenMissedChanged(count);
        }
    }
}

bool CallHistory::recoverFromDamage() {
    close();
    if (!putAside() || openFile() != Opened::Yes) {
        close();
        emit problemFound(m_problem);
        return false;
    }
    m_unseenMissed = unseenMissed();
    emit problemFound(setAsideMessage());
    emit changed();
    return true;
}

qint64 CallHistory::add(const CallRecord& record) {
    const QDateTime started = record.started.isValid() ? record.started : QDateTime::currentDateTimeUtc();
    // A null QString is bound as NULL; the columns hold '' instead.
    if (execute(QStringLiteral("INSERT INTO calls (started, direction, outcome, number, name, seconds) "
                               "VALUES (?, ?, ?, coalesce(?, ''), coalesce(?, ''), ?)"),
                {started.toUTC().toString(Qt::ISODate), directionText(record.direction), outcomeText(record.outcome),
                 record.number, record.name, secondsValue(record.seconds)}) != 1) {
        return 0;
    }
    const qint64 id = m_lastId;
    written(record.outcome == CallRecord::Outcome::Missed);
    return id;
}

bool CallHistory::update(const CallRecord& record) {
    if (execute(QStringLiteral(
                    "UPDATE calls SET outcome = ?, seconds = ?, name = coalesce(?, ''), number = coalesce(?, '') "
                    "WHERE id = ?"),
                {outcomeText(record.outcome), secondsValue(record.seconds), record.name, record.number, record.id}) !=
        1) {
        return false;
    }
    written(true);
    return true;
}

bool CallHistory::remove(qint64 id) {
    if (execute(QStringLiteral("DELETE FROM calls WHERE id = ?"), {id}) != 1) {
        return false;
    }
    written(true);
    return true;
}

bool CallHistory::clear() {
    if (execute(QStringLiteral("DELETE FROM calls")) < 0) {
        return false;
    }
    written(true);
    return true;
}

QString CallHistory::unseenMissedStatement() {
    return CountUnseenMissed;
}

int CallHistory::unseenMissed() const {
    QSqlQuery query(database());
    return isOpen() && query.exec(CountUnseenMissed) && query.next() ? query.value(0).toInt() : 0;
}

void CallHistory::markMissedSeen() {
    if (execute(QStringLiteral("UPDATE calls SET seen = 1 WHERE outcome = 'missed' AND seen = 0")) > 0) {
        written(true);
    }
}

QString CallHistory::blockableNumber(const QString& number) {
    QString kept;
    for (const QChar c : number) {
        if (c.isSpace() || QLatin1String("-.()").contains(c)) {
            continue;
        }
        if (!(c.unicode() < 0x80 && c.isLetterOrNumber()) && !QLatin1String("*#+").contains(c)) {
            return QString();
        }
        kept += c;
    }
    return kept;
}

bool CallHistory::isBlocked(const QString& number) const {
    const QString blockable = blockableNumber(number);
    if (!isOpen() || blockable.isEmpty()) {
        return false;
    }
    QSqlQuery query(database());
    query.prepare(QStringLiteral("SELECT 1 FROM blocked WHERE number = ?"));
    query.addBindValue(blockable);
    return query.exec() && query.next();
}

bool CallHistory::block(const QString& number) {
    const QString blockable = blockableNumber(number);
    const int rows = blockable.isEmpty()
                         ? -1
                         : execute(QStringLiteral("INSERT OR IGNORE INTO blocked (number) VALUES (?)"), {blockable});
    if (rows > 0) {
        written(false);
    }
    return rows >= 0;
}

bool CallHistory::unblock(const QString& number) {
    const QString blockable = blockableNumber(number);
    const int rows =
        blockable.isEmpty() ? -1 : execute(QStringLiteral("DELETE FROM blocked WHERE number = ?"), {blockable});
    if (rows > 0) {
        written(false);
    }
    return rows >= 0;
}

QStringList CallHistory::blockedNumbers() const {
    QStringList numbers;
    QSqlQuery query(database());
    if (isOpen() && query.exec(QStringLiteral("SELECT number FROM blocked ORDER BY number"))) {
        while (query.next()) {
            numbers << query.value(0).toString();
        }
    }
    return numbers;
}

bool CallHistory::exportTo(const QString& path, QString* problem) const {
    const auto fail = [&](const QString& what, const QString& reason) {
        if (problem) {
            *problem = what.arg(path, reason);
        }
        return false;
    };
    const QString cannotOpen = QStringLiteral("cannot write %1: %2");
    const QString stopped = QStringLiteral("the export to %1 stopped: %2");
    QString why;
    // Standard output, a pipe or a device takes the rows as they come.
    const QFileInfo target(path);
    if (path == QLatin1String("-") || (target.exists() && !target.isFile())) {
        QFile out(path);
        if (path == QLatin1String("-") ? !out.open(stdout, QIODevice::WriteOnly) : !out.open(QIODevice::WriteOnly)) {
            return fail(cannotOpen, out.errorString());
        }
        if (!exportCsv(out, &why) || !out.flush()) {
            return fail(stopped, why.isEmpty() ? out.errorString() : why);
        }
        return true;
    }
    // A file is written beside its place and put there once whole, so a failed export leaves what
    // was there.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(cannotOpen, file.errorString());
    }
    // The calls are as private as the history itself: a new file is for this user alone.
    if (!target.exists() && ::fchmod(file.handle(), S_IRUSR | S_IWUSR) != 0) {
        file.cancelWriting();
        return fail(cannotOpen, QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (!exportCsv(file, &why)) {
        file.cancelWriting();
        return fail(stopped, why.isEmpty() ? file.errorString() : why);
    }
    if (!file.commit()) {
        return fail(stopped, file.errorString());
    }
    return true;
}

bool CallHistory::exportCsv(QIODevice& out, QString* problem) const {
    const auto fail = [problem](const QString& reason) {
        if (problem) {
            *problem = reason;
        }
        return false;
    };
    if (!isOpen()) {
        return fail(m_problem);
    }
    // Forward only: SQLite hands the rows over one by one and none is kept, however long the history.
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT started, direction, outcome, number, name, seconds FROM calls "
                                   "ORDER BY started, id"))) {
        return fail(query.lastError().databaseText());
    }
    const QSqlRecord columns = query.record();
    QByteArray chunk;
    const auto flush = [&](qsizetype atLeast) {
        if (chunk.size() < atLeast) {
            return true;
        }
        const bool whole = out.write(chunk) == chunk.size();
        chunk.clear();
        return whole;
    };
    for (int i = 0; i < columns.count(); ++i) {
        chunk += (i ? "," : "") + columns.fieldName(i).toUtf8();
    }
    chunk += "\r\n";
    bool writing = true;
    while (writing && query.next()) {
        for (int i = 0; i < columns.count(); ++i) {
            if (i) {
                chunk += ',';
            }
            appendCsvField(chunk, query.value(i).toString());
        }
        chunk += "\r\n";
        writing = flush(ChunkBytes);
    }
    if (query.lastError().isValid()) {
        return fail(query.lastError().databaseText());
    }
    if (!writing || !flush(0)) {
        return fail(out.errorString());
    }
    return true;
}
