#include "history/frmCalls.h"

#include "console/MessageBoxes.h"
#include "console/Services.h"
#include "console/SettingsStore.h"
#include "history/CallList.h"
#include "platform/Resources.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <utility>

namespace {

// The pause in typing after which the search runs: each run may read much of a long history.
constexpr int SearchAfterMs = 250;

// CallList with a picture for each kind of call in its Call column.
class CallIcons : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DecorationRole || index.column() != CallList::Call) {
            return QIdentityProxyModel::data(index, role);
        }
        static const std::array<QIcon, 6> icons{QIcon(QStringLiteral(":/brisvane/call-in.svg")),
                                                QIcon(QStringLiteral(":/brisvane/call-missed.svg")),
                                                QIcon(QStringLiteral(":/brisvane/call-blocked.svg")),
                                                QIcon(QStringLiteral(":/brisvane/call-out.svg")),
                                                QIcon(QStringLiteral(":/brisvane/call-unanswered.svg")),
                                                QIcon()};
        const int kind = QIdentityProxyModel::data(index, CallList::KindRole).toInt();
        return kind >= 0 && kind < static_cast<int>(icons.size()) ? icons[static_cast<std::size_t>(kind)] : QIcon();
    }
};

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    b->setAutoDefault(false);
    return b;
}

QCheckBox* switchBox(QWidget* parent, const char* name, const QString& caption, SettingsStore& settings,
                     const Settings::Key& key) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    QObject::connect(box, &QCheckBox::toggled, parent, [&settings, &key](bool on) { settings.writeSwitch(key, on); });
    return box;
}

// A label for `buddy`, which takes its text as its accessible name.
QLabel* labelFor(QWidget* parent, const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    buddy->setAccessibleName(QString(caption).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    return label;
}

} // namespace

frmCalls::frmCalls(CallHistory& history, Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_history(history)
    , m_services(services) {
    initResources();
    m_list = new CallList(history, this);
    build();
    connectControls();
    updateButtons();
}

frmCalls::~frmCalls() = default;

void frmCalls::build() {
    setObjectName(QStringLiteral("frmCalls"));
    setWindowTitle(QStringLiteral("Calls"));
    setAccessibleName(QStringLiteral("Calls"));

    cboFilter = new QComboBox(this);
    cboFilter->setObjectName(QStringLiteral("cboFilter"));
    cboFilter->addItems({QStringLiteral("All calls"), QStringLiteral("Missed calls"), QStringLiteral("Blocked calls")});
    txtSearch = new QLineEdit(this);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setPlaceholderText(QStringLiteral("Name or number"));
    txtSearch->setClearButtonEnabled(true);
    auto* top = new QHBoxLayout;
    top->addWidget(labelFor(this, QStringLiteral("Sho&w:"), cboFilter));
    top->addWidget(cboFilter);
    top->addSpacing(12);
    top->addWidget(labelFor(this, QStringLiteral("&Search:"), txtSearch));
    top->addWidget(txtSearch, 1);

    grdCalls = new QTableView(this);
    grdCalls->setObjectName(QStringLiteral("grdCalls"));
    grdCalls->setAccessibleName(QStringLiteral("Calls"));
    grdCalls->setModel(new CallIcons(this));
    static_cast<CallIcons*>(grdCalls->model())->setSourceModel(m_list);
    grdCalls->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdCalls->setSelectionMode(QAbstractItemView::SingleSelection);
    grdCalls->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdCalls->setTabKeyNavigation(false);
    grdCalls->setWordWrap(false);
    grdCalls->setAlternatingRowColors(true);
    grdCalls->verticalHeader()->hide();
    // Every row is one line high: the view need not measure rows it has not shown.
    grdCalls->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdCalls->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // Wide enough for the longest of the usual texts of each column.
    const auto widthOf = [this](const char* sample) {
        return fontMetrics().horizontalAdvance(QLatin1String(sample)) + 2 * fontMetrics().averageCharWidth() + 4;
    };
    const int icon = grdCalls->style()->pixelMetric(QStyle::PM_SmallIconSize) + 6;
    grdCalls->setColumnWidth(CallList::When, std::max(widthOf("Yesterday 00:00"), widthOf("0000-00-00 00:00")));
    grdCalls->setColumnWidth(CallList::Call, widthOf("Unanswered call out") + icon);
    grdCalls->setColumnWidth(CallList::Name, widthOf("MMMMMMMMMMMMMMM"));
    grdCalls->setColumnWidth(CallList::Number, widthOf("+1 (407) 555-1212"));
    grdCalls->horizontalHeader()->setStretchLastSection(true);

    cmdCallBack = button(this, "cmdCallBack", QStringLiteral("&Call back"));
    cmdAddToPhoneBook = button(this, "cmdAddToPhoneBook", QStringLiteral("&Add to phone book"));
    cmdBlock = button(this, "cmdBlock", QStringLiteral("&Block"));
    cmdDelete = button(this, "cmdDelete", QStringLiteral("&Delete"));
    cmdClear = button(this, "cmdClear", QStringLiteral("C&lear\u2026"));
    cmdExport = button(this, "cmdExport", QStringLiteral("&Export\u2026"));
    cmdClear->setToolTip(QStringLiteral("Delete every call in the history"));
    cmdExport->setToolTip(QStringLiteral("Save the whole history as a CSV file"));
    auto* actions = new QHBoxLayout;
    for (QPushButton* b : {cmdCallBack, cmdAddToPhoneBook, cmdBlock, cmdDelete}) {
        actions->addWidget(b);
    }
    actions->addStretch(1);
    actions->addWidget(cmdClear);
    actions->addWidget(cmdExport);

    SettingsStore& settings = m_services.settings;
    auto* blocking = new QGroupBox(QStringLiteral("Blocked callers"), this);
    blocking->setObjectName(QStringLiteral("grpBlocking"));
    chkBlockPrivate =
        switchBox(this, "chkBlockPrivate", QStringLiteral("Block &private callers"), settings, Settings::BlockPrivate);
    chkBlockOutOfArea = switchBox(this, "chkBlockOutOfArea", QStringLiteral("Block &out-of-area callers"), settings,
                                  Settings::BlockOutOfArea);
    chkHangUpBlocked = switchBox(this, "chkHangUpBlocked", QStringLiteral("&Hang up on blocked callers"), settings,
                                 Settings::HangUpBlocked);
    auto* switches = new QHBoxLayout(blocking);
    for (QCheckBox* box : {chkBlockPrivate, chkBlockOutOfArea, chkHangUpBlocked}) {
        switches->addWidget(box);
    }
    switches->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grdCalls, 1);
    layout->addLayout(actions);
    layout->addWidget(blocking);
    int width = 0;
    for (int column = 0; column < CallList::ColumnCount; ++column) {
        width += grdCalls->columnWidth(column);
    }
    resize(width + 4 * fontMetrics().averageCharWidth() + grdCalls->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
               widthOf("0:00:00"),
           30 * fontMetrics().height());
}

void frmCalls::connectControls() {
    connect(cboFilter, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_list->setFilter(static_cast<CallList::Filter>(index)); });
    auto* searchPause = new QTimer(this);
    searchPause->setSingleShot(true);
    searchPause->setInterval(SearchAfterMs);
    connect(txtSearch, &QLineEdit::textChanged, searchPause, qOverload<>(&QTimer::start));
    const auto search = [this, searchPause] {
        searchPause->stop();
        m_list->setSearch(txtSearch->text());
    };
    connect(searchPause, &QTimer::timeout, this, search);
    connect(txtSearch, &QLineEdit::returnPressed, this, search);

    // The row the keyboard moves to is the selected one, also when the table takes the focus.
    connect(grdCalls->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && !grdCalls->selectionModel()->isRowSelected(current.row())) {
                    grdCalls->selectRow(current.row());
                }
            });
    connect(grdCalls->selectionModel(), &QItemSelectionModel::selectionChanged, this, &frmCalls::updateButtons);
    // The rows are read again: the call that was selected stays selected, or the one now in its place.
    connect(m_list, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (const int row = selectedRow(); row >= 0) {
            m_keptId = m_list->id(row);
        }
    });
    connect(m_list, &CallList::refreshed, this, [this] {
        if (m_keptId != 0) {
            selectRow(m_list->rowOf(std::exchange(m_keptId, 0)));
        }
        updateButtons();
    });
    connect(grdCalls, &QAbstractItemView::activated, this, &frmCalls::callBack);
    auto* deleteKey = new QShortcut(QKeySequence::Delete, grdCalls, nullptr, nullptr, Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, &frmCalls::deleteCall);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    connect(cmdCallBack, &QPushButton::clicked, this, &frmCalls::callBack);
    connect(cmdAddToPhoneBook, &QPushButton::clicked, this, &frmCalls::addToPhoneBook);
    connect(cmdBlock, &QPushButton::clicked, this, &frmCalls::toggleBlock);
    connect(cmdDelete, &QPushButton::clicked, this, &frmCalls::deleteCall);
    connect(cmdClear, &QPushButton::clicked, this, &frmCalls::clearHistory);
    connect(cmdExport, &QPushButton::clicked, this, &frmCalls::exportHistory);
}

int frmCalls::selectedRow() const {
    const QModelIndexList rows = grdCalls->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void frmCalls::selectRow(int row) {
    if (row < 0 || row >= m_list->rowCount()) {
        grdCalls->clearSelection();
        return;
    }
    grdCalls->selectRow(row);
    grdCalls->scrollTo(grdCalls->model()->index(row, 0));
}

void frmCalls::updateButtons() {
    const int row = selectedRow();
    const bool blocked = row >= 0 && m_list->isBlocked(row);
    cmdCallBack->setEnabled(row >= 0 && m_list->canCallBack(row));
    cmdAddToPhoneBook->setEnabled(row >= 0 && m_list->canCallBack(row));
    cmdBlock->setEnabled(row >= 0 && m_list->canBlock(row));
    cmdBlock->setText(blocked ? QStringLiteral("Un&block") : QStringLiteral("&Block"));
    cmdBlock->setAccessibleName(blocked ? QStringLiteral("Unblock") : QStringLiteral("Block"));
    cmdDelete->setEnabled(row >= 0);
}

void frmCalls::callBack() {
    const int row = selectedRow();
    if (row >= 0 && m_list->canCallBack(row)) {
        emit callBackRequested(m_list->number(row));
    }
}

void frmCalls::addToPhoneBook() {
    const int row = selectedRow();
    if (row >= 0 && m_list->canCallBack(row)) {
        emit addToPhoneBookRequested(m_list->name(row), m_list->number(row));
    }
}

void frmCalls::toggleBlock() {
    const int row = selectedRow();
    if (row >= 0 && !m_list->toggleBlock(row)) {
        tell(QStringLiteral("The block list could not be changed."));
    }
    updateButtons();
}

void frmCalls::deleteCall() {
    const int row = selectedRow();
    if (row < 0) {
        return;
    }
    if (!m_list->remove(row)) {
        tell(QStringLiteral("The call could not be deleted."));
        return;
    }
    // The call now in its place is selected once the rows are read again.
    m_keptId = 0;
    m_list->refresh();
    selectRow(std::min(row, m_list->rowCount() - 1));
}

void frmCalls::clearHistory() {
    if (!m_services.messages.ask(QStringLiteral("Calls"),
                                 QStringLiteral("Delete every call in the history? This cannot be undone.\n"
                                                "The block list stays as it is."))) {
        return;
    }
    if (!m_history.clear()) {
        tell(QStringLiteral("The call history could not be cleared."));
    }
    m_list->refresh();
}

void frmCalls::exportHistory() {
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export Calls"),
                                                QDir::home().filePath(QStringLiteral("calls.csv")),
                                                QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".csv");
    }
    QString problem;
    if (!m_history.exportTo(QDir::toNativeSeparators(path), &problem)) {
        tell(QStringLiteral("The calls could not be exported: %1.").arg(problem));
    }
}

void frmCalls::tell(const QString& text) {
    m_services.messages.show(MessageBoxes::Icon::Warning, QStringLiteral("Calls"), text);
}

void frmCalls::showEvent(QShowEvent* event) {
    // The switches may have been changed elsewhere (the file by hand, another window).
    const std::array<std::pair<QCheckBox*, const Settings::Key*>, 3> switches{{
        {chkBlockPrivate, &Settings::BlockPrivate},
        {chkBlockOutOfArea, &Settings::BlockOutOfArea},
        {chkHangUpBlocked, &Settings::HangUpBlocked},
    }};
    for (const auto& [box, key] : switches) {
        const QSignalBlocker quiet(box);
        box->setChecked(m_services.settings.readSwitch(*key).value_or(false));
    }
    // Opening the window shows the missed calls: they are seen.
    m_history.markMissedSeen();
    m_list->setInFrontOfUser(isActiveWindow());
    QWidget::showEvent(event);
}

void frmCalls::hideEvent(QHideEvent* event) {
    m_list->setInFrontOfUser(false);
    QWidget::hideEvent(event);
}

void frmCalls::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        m_list->setInFrontOfUser(isVisible() && isActiveWindow());
    }
    QWidget::changeEvent(event);
}
