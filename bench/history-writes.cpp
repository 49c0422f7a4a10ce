// What the call history costs the telephone's event loop, on a history file made here:
//   brisvane-bench-history fill FILE COUNT   a history of COUNT calls, one transaction per 10,000
//   brisvane-bench-history measure FILE      opening, add(), update(), the unseen-missed count and a
//                                            block-list look-up, each timed on its own
#include "history/CallHistory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int Rounds = 300;
constexpr int RowsPerTransaction = 10000;
constexpr int UnseenMissed = 20;

int fill(CallHistory& history, qint64 count) {
    QSqlDatabase db = history.database();
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO calls (started, direction, outcome, number, name, seconds, seen) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?)"));
    const QDateTime first = QDateTime::currentDateTimeUtc().addSecs(-60 * count);
    const char* const outcomes[] = {"answered", "missed", "blocked", "connected", "unanswered"};
    for (qint64 i = 0; i < count; ++i) {
        if (i % RowsPerTransaction == 0 && !db.transaction()) {
            return 1;
        }
        const int kind = static_cast<int>(i % 5);
        insert.addBindValue(first.addSecs(60 * i).toString(Qt::ISODate));
        insert.addBindValue(kind < 3 ? QStringLiteral("in") : QStringLiteral("out"));
        insert.addBindValue(QLatin1String(outcomes[kind]));
        insert.addBindValue(QString::number(4075550000 + i % 10000));
        insert.addBindValue(kind < 3 ? QStringLiteral("SMITH,JOHN") : QStringLiteral(""));
        insert.addBindValue(kind == 0 || kind == 3 ? QVariant(static_cast<int>(i % 900)) : QVariant());
        insert.addBindValue(count - i > UnseenMissed * 5 ? 1 : 0);
        const bool lastOfTransaction = (i + 1) % RowsPerTransaction == 0 || i + 1 == count;
        if (!insert.exec() || (lastOfTransaction && !db.commit())) {
            return 1;
        }
    }
    return 0;
}

// Milliseconds of each of Rounds runs, sorted.
std::vector<double> timed(const std::function<void(int)>& step) {
    std::vector<double> ms;
    QElapsedTimer timer;
    for (int round = 0; round < Rounds; ++round) {
        timer.start();
        step(round);
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms;
}

void report(const char* what, const std::vector<double>& ms) {
    std::printf("  %-28s median %.3f ms, 99th percentile %.3f ms, longest %.3f ms\n", what, ms[ms.size() / 2],
                ms[ms.size() * 99 / 100], ms.back());
}

int measure(CallHistory& history) {
    CallRecord record;
    record.number = QStringLiteral("4075551212");
    record.name = QStringLiteral("SMITH,JOHN");
    std::vector<qint64> ids;
    report("add (a caller rings)", timed([&](int) { ids.push_back(history.add(record)); }));
    report("update (answered, ended)", timed([&](int round) {
               record.id = ids.at(static_cast<size_t>(round));
               record.outcome = CallRecord::Outcome::Answered;
               record.seconds = round;
               history.update(record);
           }));
    int unseen = 0;
    report("unseen-missed count", timed([&](int) { unseen = history.unseenMissed(); }));
    report("block-list look-up", timed([&](int round) { history.isBlocked(QString::number(4075550000 + round)); }));
    const bool allWritten = std::count(ids.begin(), ids.end(), 0) == 0;
    std::printf("  (%d unseen missed calls at the end%s)\n", unseen, allWritten ? "" : "; an add FAILED");
    return allWritten ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: %s fill FILE COUNT | measure FILE\n", argv[0]);
        return 2;
    }
    CallHistory history(arguments.at(2));
    QElapsedTimer opening;
    opening.start();
    if (!history.open()) {
        std::fprintf(stderr, "%s\n", qPrintable(history.problem()));
        return 1;
    }
    if (arguments.at(1) == QLatin1String("fill") && arguments.size() == 4) {
        return fill(history, arguments.at(3).toLongLong());
    }
    std::printf("  %-28s %.1f ms (the missed count read through its index)\n", "opening",
                static_cast<double>(opening.nsecsElapsed()) / 1e6);
    return measure(history);
}
