#pragma once

#include "history/CallHistory.h"

#include <QSqlQueryModel>
#include <QTimer>
#include <optional>

// The calls of the history as a table for the Calls window, newest first: When, Call, Name (as the
// display shows it: "GIVEN SURNAME"), Number (as recorded), Length. Rows are fetched from SQLite as a view scrolls to
// them (QSqlQueryModel fetches a few hundred at a time), never the whole table, however long the history. The query
// runs again shortly after the history changes, keeping as many rows fetched as before.
//
// The model is free of widgets: the Call column's picture is named by KindRole, and the view
// draws it.
class CallList : public QSqlQueryModel {
    Q_OBJECT
public:
    enum class Filter { All, Missed, Blocked };
    enum Column { When, Call, Name, Number, Length, ColumnCount };
    // What kind of call a row is (any column), as one of Kind.
    static constexpr int KindRole = Qt::UserRole + 1;
    enum class Kind { In, Missed, Blocked, Out, Unanswered, Unknown };

    // The pause after the history's last change before the query runs again.
    static constexpr int RefreshAfterMs = 150;

    explicit CallList(CallHistory& history, QObject* parent = nullptr);

    void setFilter(Filter filter);
    Filter filter() const { return m_filter; }
    // Calls whose number or name holds each word of `text` (no wildcards: '%' and '_' are
    // themselves).
    void setSearch(const QString& text);
    QString search() const { return m_search; }
    // Runs the query again now.
    void refresh();

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // A row's call as recorded; 0 and empty texts for a row that is not there.
    qint64 id(int row) const;
    QString number(int row) const;
    QString name(int row) const;
    Kind kind(int row) const;
    // The row of the call `id` among the rows fetched so far, or -1.
    int rowOf(qint64 id) const;

    // What a row allows: a number to call back or add to the phone book (not private or out of
    // area), a number the block list takes, and whether it is on the block list now.
    bool canCallBack(int row) const;
    bool canBlock(int row) const;
    bool isBlocked(int row) const;
    // Puts the row's number on the block list, or takes it off when it is there.
    bool toggleBlock(int row);
    bool remove(int row);

    // While the calls are in front of the user, missed calls count as seen: those not yet seen
    // now, and each one as it arrives.
    void setInFrontOfUser(bool inFront);

    // The When column's text: `started` in UTC, shown in local time against `now` (local): today's
    // by time only, yesterday's as such, older ones with the date.
    static QString whenText(const QDateTime& started, const QDateTime& now);
    // The text of the menu entry that opens the calls: with the count of unseen missed calls.
    static QString menuText(int unseenMissed);

signals:
    // The query ran again (a filter, a search, the history changed) and its rows are fetched.
    void refreshed();

private:
    // A number as recorded; "Private" and "Out of Area" for those caller ID withheld.
    static QString numberText(const QString& number);
    static QString lengthText(const std::optional<int>& seconds);
    static QString kindText(Kind kind);
    static Kind kindOf(const QString& direction, const QString& outcome);
    // A search is words (parted by blanks and commas), each to be found in the number or the name,
    // at most MaxSearchWords of them.
    static constexpr int MaxSearchWords = 8;
    // The values a search binds to the query: for each word, its pattern for the number (without
    // separators) and for the name.
    static QVariantList searchValues(const QString& text);
    // The query of the rows, with a condition for each of `words` search words.
    static QString statement(Filter filter, int words);
    // `text` for a LIKE with ESCAPE '\': its '%', '_' and '\' stand for themselves.
    static QString likePattern(const QString& text);

    QVariant field(int row, int field) const;
    QVariant display(int row, int column) const;

    CallHistory& m_history;
    Filter m_filter = Filter::All;
    QString m_search;
    QTimer m_refresh;
    bool m_inFront = false;
};
