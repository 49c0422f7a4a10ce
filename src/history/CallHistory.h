#pragma once

#include <QDateTime>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <optional>

class QIODevice;

// One call, as the history keeps it.
struct CallRecord {
    enum class Direction { In, Out };
    enum class Outcome {
        Answered,
        Missed,
        Blocked,
        Connected,
        Unanswered
    }; // in: answered/missed/blocked; out: connected/unanswered
    qint64 id = 0;
    QDateTime started; // UTC
    Direction direction = Direction::In;
    Outcome outcome = Outcome::Missed;
    QString number;             // all its characters, as reported or dialled
    QString name;               // as reported ("P", "O" as reported), before the display rearranges it
    std::optional<int> seconds; // length of the connected part; none without one
};

// The calls made and received, and the numbers whose calls are refused, in one SQLite file that
// other programs may read and write too (sqlite3, a spreadsheet's import): the table `calls`
// holds plain text and numbers, one row a call, and `blocked` one row a number.
//
// The history is a convenience: when the file cannot be opened or written, the telephone works on
// without it. A file that SQLite finds damaged is renamed aside (with its WAL side files) and a
// new one started; one this user may not read is left alone and the history stays off.
//
// Writes go to the file before they return, each in a transaction of its own. With WAL and
// synchronous=NORMAL a commit does not wait for the disk, so a write costs the event loop well
// under a millisecond; a power loss may lose the last calls, never the file. Copying the WAL into
// the file does wait for the disk, so it is done once writes have paused for half a minute, never as
// part of a write. Another process (`brisvane --block`, an export) may use the file at the same time.
class CallHistory : public QObject {
    Q_OBJECT
public:
    // The shape of the tables this build writes, kept in PRAGMA user_version. A file of an
    // older shape is brought up to this one as it opens; a newer one is refused untouched.
    static constexpr int SchemaVersion = 1;

    explicit CallHistory(QString path = defaultPath(), QObject* parent = nullptr);
    ~CallHistory() override;
    static QString defaultPath(); // $XDG_DATA_HOME/brisvane/calls.sqlite (default ~/.local/share/brisvane/)

    QString path() const { return m_path; }

    // Opens or creates the database. False when there is no history (problem() says why in plain words, once).
    bool open();
    bool isOpen() const;
    QString problem() const;
    // Where open() put a damaged file before it started a new one; empty when it did not.
    QString setAside() const { return m_setAside; }
    // What the user is told of that, in plain words; empty when nothing was set aside.
    QString setAsideMessage() const;

    // Each write is its own transaction; false on failure (the telephone goes on without it).
    qint64 add(const CallRecord& record);  // the row goes in when the call starts; returns its id (0: not written)
    bool update(const CallRecord& record); // by record.id: outcome, seconds, name, number; false without that row
    bool remove(qint64 id);                // false without that row
    bool clear();
    int unseenMissed() const;               // missed calls not yet seen (through an index)
    static QString unseenMissedStatement(); // the query that counts them
    void markMissedSeen();

    // A number is compared without the separators people write into it (blanks, '-', '.', '(' and
    // ')'), so "407-555-1212" blocks the caller reported as "4075551212". "P" and "O" are what
    // caller ID reports for private callers and those out of the area.
    bool isBlocked(const QString& number) const;
    bool block(const QString& number);
    bool unblock(const QString& number); // true also when the number was not blocked
    QStringList blockedNumbers() const;  // as stored, in order
    // The number as the block list stores it; empty when it is none (no digit, letter, '*', '#'
    // or '+', or any other character).
    static QString blockableNumber(const QString& number);

    // The database connection, for a view over the table (a QSqlQueryModel in the Calls window).
    QSqlDatabase database() const;
    // CSV of the whole history, oldest first, streamed to `out` (RFC 4180, UTF-8, header row of the column names).
    bool exportCsv(QIODevice& out, QString* problem) const;
    // The same into the file `path` ("-": standard output), put in place once whole; a new file is
    // readable by this user alone. False with the reason in `problem` when it could not be written.
    bool exportTo(const QString& path, QString* problem) const;

signals:
    void changed(); // a row added, updated, removed, or the list of blocked numbers changed
    void unseenMissedChanged(int count);
    // The history found its file damaged while in use, set it aside and started a new one.
    void problemFound(const QString& problem);

private:
    enum class Opened { Yes, Damaged, No };
    Opened openFile();
    bool upgrade();
    bool putAside();
    void close();
    bool turnOff(const QString& reason);
    // One statement with its values: the rows it changed, or -1 when it failed.
    // Damage it meets is recovered from (the file set aside) only when `mayRecover`.
    int execute(const QString& statement, const QVariantList& values = {}, bool mayRecover = true);
    // After a write: changed(), and unseenMissedChanged() when the count moved.
    void written(bool countMayChange);
    // A statement found the file damaged: it goes aside, a new one is started, and the user is told
    // once (problemFound). True when the new file is open.
    bool recoverFromDamage();

    QString m_path;
    QString m_connection;
    QString m_problem;
    QString m_setAside;
    int m_unseenMissed = 0;
    qint64 m_lastId = 0;
    // Copies the WAL into the file once writes have paused, on the event loop: that copy waits for
    // the disk, which no write of a call should.
    QTimer m_checkpoint;
};
