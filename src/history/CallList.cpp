#include "history/CallList.h"

#include "call/CommandLines.h"
#include "modem/ModemText.h"
#include "phonebook/PhoneBookEntries.h"

#include <QRegularExpression>
#include <QSqlQuery>

namespace {

// The fields of the query, in its order.
enum Field { Id, Started, Direction, Outcome, NumberField, NameField, Seconds };

// ORDER BY started DESC, id DESC: the calls_started index holds each row's id after its time, so
// SQLite walks the index backwards and sorts nothing, however long the history.
const QString Select = QStringLiteral("SELECT id, started, direction, outcome, number, name, seconds FROM calls");
const QString Newest = QStringLiteral(" ORDER BY started DESC, id DESC");

QString twoDigits(qint64 n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

CallList::CallList(CallHistory& history, QObject* parent)
    : QSqlQueryModel(parent)
    , m_history(history) {
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(RefreshAfterMs);
    connect(&m_refresh, &QTimer::timeout, this, &CallList::refresh);
    connect(&m_history, &CallHistory::changed, &m_refresh, qOverload<>(&QTimer::start));
    connect(&m_history, &CallHistory::unseenMissedChanged, this, [this](int count) {
        if (m_inFront && count > 0) {
            m_history.markMissedSeen();
        }
    });
    refresh();
}

void CallList::setFilter(Filter filter) {
    if (filter != m_filter) {
        m_filter = filter;
        refresh();
    }
}

void CallList::setSearch(const QString& text) {
    if (text != m_search) {
        m_search = text;
        refresh();
    }
}

QString CallList::likePattern(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('%'), QLatin1String("\\%"))
        .replace(QLatin1Char('_'), QLatin1String("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

void CallList::refresh() {
    m_refresh.stop();
    // As many rows as were fetched before come back, so that the view keeps its place.
    const int fetched = rowCount();
    const QVariantList values = searchValues(m_search);
    QSqlQuery query(m_history.database());
    if (!m_history.isOpen() || !query.prepare(statement(m_filter, static_cast<int>(values.size() / 2)))) {
        clear();
        emit refreshed();
        return;
    }
    for (const QVariant& value : values) {
        query.addBindValue(value);
    }
    query.exec();
    setQuery(std::move(query));
    while (rowCount() < fetched && canFetchMore()) {
        fetchMore();
    }
    emit refreshed();
}

QVariantList CallList::searchValues(const QString& text) {
    // Blanks and commas part the words, so "John Smith" finds the caller reported as "SMITH,JOHN".
    static const QRegularExpression between(QStringLiteral("[\\s,]+"));
    QStringList words = text.split(between, Qt::SkipEmptyParts);
    words = words.mid(0, MaxSearchWords);
    QVariantList values;
    for (const QString& word : std::as_const(words)) {
        // Numbers are recorded without the separators people write into them ("407-555").
        const QString number = CallHistory::blockableNumber(word);
        values << likePattern(number.isEmpty() ? word : number) << likePattern(word);
    }
    return values;
}

QString CallList::statement(Filter filter, int words) {
    QStringList conditions;
    if (filter == Filter::Missed) {
        conditions << QStringLiteral("outcome = 'missed'");
    } else if (filter == Filter::Blocked) {
        conditions << QStringLiteral("outcome = 'blocked'");
    }
    for (int i = 0; i < words; ++i) {
        conditions << QStringLiteral("(number LIKE ? ESCAPE '\\' OR name LIKE ? ESCAPE '\\')");
    }
    const QString where =
        conditions.isEmpty() ? QString() : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    return Select + where + Newest;
}

int CallList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CallList::field(int row, int field) const {
    if (row < 0 || row >= rowCount()) {
        return {};
    }
    return QSqlQueryModel::data(createIndex(row, field), Qt::DisplayRole);
}

qint64 CallList::id(int row) const {
    return field(row, Id).toLongLong();
}

QString CallList::number(int row) const {
    return field(row, NumberField).toString();
}

QString CallList::name(int row) const {
    return field(row, NameField).toString();
}

CallList::Kind CallList::kind(int row) const {
    return kindOf(field(row, Direction).toString(), field(row, Outcome).toString());
}

int CallList::rowOf(qint64 id) const {
    for (int row = 0; row < rowCount(); ++row) {
        if (this->id(row) == id) {
            return row;
        }
    }
    return -1;
}

bool CallList::canCallBack(int row) const {
    // What the display would take: private and out-of-area callers sent none.
    const QString n = number(row).trimmed();
    return !PhoneBookEntries::isWithheldNumber(n) && !CommandLines::dialable(n).isEmpty();
}

bool CallList::canBlock(int row) const {
    return !CallHistory::blockableNumber(number(row)).isEmpty();
}

bool CallList::isBlocked(int row) const {
    return m_history.isBlocked(number(row));
}

bool CallList::toggleBlock(int row) {
    if (!canBlock(row)) {
        return false;
    }
    return isBlocked(row) ? m_history.unblock(number(row)) : m_history.block(number(row));
}

bool CallList::remove(int row) {
    const qint64 call = id(row);
    return call != 0 && m_history.remove(call);
}

void CallList::setInFrontOfUser(bool inFront) {
    m_inFront = inFront;
    if (inFront && m_history.unseenMissed() > 0) {
        m_history.markMissedSeen();
    }
}

QVariant CallList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= ColumnCount) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        return display(index.row(), index.column());
    case KindRole:
        return static_cast<int>(kind(index.row()));
    case Qt::TextAlignmentRole:
        return index.column() == Length ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default:
        return {};
    }
}

QVariant CallList::display(int row, int column) const {
    switch (column) {
    case When: {
        const QString stored = field(row, Started).toString();
        const QDateTime started = QDateTime::fromString(stored, Qt::ISODate);
        // A time another program wrote in its own way is shown as it stands.
        return started.isValid() ? whenText(started, QDateTime::currentDateTime()) : stored;
    }
    case Call:
        return kindText(kind(row));
    case Name: {
        // A private or out-of-area caller's name is the same letter as the number: shown once.
        const QString shown = name(row);
        return PhoneBookEntries::isWithheldNumber(shown) && shown.size() == 1 ? QString()
                                                                              : ModemText::rearrangedName(shown);
    }
    case Number:
        return numberText(number(row));
    case Length: {
        bool isNumber = false;
        const int seconds = field(row, Seconds).toInt(&isNumber);
        return lengthText(isNumber ? std::optional<int>(seconds) : std::nullopt);
    }
    default:
        return {};
    }
}

QVariant CallList::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const titles[ColumnCount] = {"When", "Call", "Name", "Number", "Length"};
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) {
        return QSqlQueryModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        return QLatin1String(titles[section]);
    }
    return {};
}

QString CallList::whenText(const QDateTime& started, const QDateTime& now) {
    const QDateTime local = started.toLocalTime();
    const QString time = local.toString(QStringLiteral("HH:mm"));
    const qint64 daysAgo = local.date().daysTo(now.toLocalTime().date());
    if (daysAgo == 0) {
        return time;
    }
    if (daysAgo == 1) {
        return QStringLiteral("Yesterday ") + time;
    }
    return local.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString CallList::numberText(const QString& number) {
    if (number.startsWith(ModemText::Private)) {
        return QStringLiteral("Private");
    }
    if (number.startsWith(ModemText::OutOfArea)) {
        return QStringLiteral("Out of Area");
    }
    return number;
}

QString CallList::lengthText(const std::optional<int>& seconds) {
    if (!seconds || *seconds < 0) {
        return {};
    }
    const qint64 s = *seconds;
    if (s < 3600) {
        return QString::number(s / 60) + QLatin1Char(':') + twoDigits(s % 60);
    }
    return QString::number(s / 3600) + QLatin1Char(':') + twoDigits(s / 60 % 60) + QLatin1Char(':') + twoDigits(s % 60);
}

CallList::Kind CallList::kindOf(const QString& direction, const QString& outcome) {
    if (direction == QLatin1String("in")) {
        if (outcome == QLatin1String("answered")) {
            return Kind::In;
        }
        if (outcome == QLatin1String("missed")) {
            return Kind::Missed;
        }
        if (outcome == QLatin1String("blocked")) {
            return Kind::Blocked;
        }
    } else if (direction == QLatin1String("out")) {
        if (outcome == QLatin1String("connected")) {
            return Kind::Out;
        }
        if (outcome == QLatin1String("unanswered")) {
            return Kind::Unanswered;
        }
    }
    return Kind::Unknown;
}

QString CallList::kindText(Kind kind) {
    switch (kind) {
    case Kind::In:
        return QStringLiteral("Answered call in");
    case Kind::Missed:
        return QStringLiteral("Missed call in");
    case Kind::Blocked:
        return QStringLiteral("Blocked call in");
    case Kind::Out:
        return QStringLiteral("Call out");
    case Kind::Unanswered:
        return QStringLiteral("Unanswered call out");
    case Kind::Unknown:
        break;
    }
    return QStringLiteral("Call");
}

QString CallList::menuText(int unseenMissed) {
    return unseenMissed > 0 ? QStringLiteral("Calls (%1 missed)").arg(unseenMissed) : QStringLiteral("Calls");
}
