#include "desktop/CallerNotifier.h"

#include "Version.h"
#include "call/CallControl.h"
#include "call/NumberEntry.h"
#include "console/Phone.h"
#include "modem/ModemResponses.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QVariantMap>

namespace {
const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString AnswerAction = QStringLiteral("answer");
const QString CallBackAction = QStringLiteral("call-back");
// The caller's five seconds; the telephone withdraws the notification itself when they end.
constexpr int ExpireMilliseconds = 5000;

QDBusMessage call(const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(Service, Path, Interface, method);
    message.setArguments(arguments);
    return message;
}
} // namespace

QDBusConnection CallerNotifier::sessionBusIfRunning() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
        (runtime.isEmpty() || !QFileInfo(runtime + QStringLiteral("/bus")).exists())) {
        return QDBusConnection(QStringLiteral("brisvane-no-session-bus"));
    }
    return QDBusConnection::sessionBus();
}

CallerNotifier::CallerNotifier(Phone& phone, std::function<bool()> windowActive, QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_phone(phone)
    , m_windowActive(std::move(windowActive))
    , m_bus(std::move(bus)) {
    connect(&phone.calls(), &CallControl::callerReported, this,
            [this](const QString& number) { m_callerNumber = number; });
    connect(&phone.responses(), &ModemResponses::callerShown, this, &CallerNotifier::show);
    connect(&phone.calls(), &CallControl::callerGone, this, &CallerNotifier::callerGone);
    // Dealt with at the telephone.
    connect(&phone.calls(), &CallControl::callAnswered, this, &CallerNotifier::withdraw);
    connect(&phone.calls(), &CallControl::callEnded, this, &CallerNotifier::withdraw);
    if (!m_bus.isConnected()) {
        return;
    }
    m_bus.connect(Service, Path, Interface, QStringLiteral("ActivationToken"), this,
                  SLOT(onActivationToken(uint, QString)));
    m_bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));
    // Whether the service reads markup in a notification's body; until it has said, it is taken
    // to, so that a caller's text is escaped rather than read as markup.
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call(QStringLiteral("GetCapabilities"))), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<QStringList> reply = *w;
        if (reply.isValid()) {
            m_markup = reply.value().contains(QStringLiteral("body-markup"));
        }
        w->deleteLater();
    });
}

void CallerNotifier::show(const QString& name, const QString& number) {
    if (!m_bus.isConnected() || (m_windowActive && m_windowActive())) {
        return;
    }
    m_withdrawn = false;
    m_activationToken.clear();
    if (m_showing) {
        return; // a repeated report while the first is on its way: that one shows the caller
    }
    m_callerShown = number.isEmpty() ? name : QStringLiteral("%1 %2").arg(name, number);
    m_showing = true;
    notify(m_id, name, number, {AnswerAction, QStringLiteral("Answer")},
           {{QStringLiteral("category"), QStringLiteral("call.incoming")},
            {QStringLiteral("urgency"), QVariant::fromValue<uchar>(1)}},
           ExpireMilliseconds, [this](const QDBusPendingReply<uint>& reply) {
               m_showing = false;
               if (!reply.isValid()) {
                   return; // no notification service: nothing to tell
               }
               m_id = reply.value();
               // The call was answered or ended while the notification was on its way.
               if (m_withdrawn) {
                   closeShown();
               }
           });
}

void CallerNotifier::notify(uint replaces, const QString& summary, const QString& body, const QStringList& actions,
                            QVariantMap hints, int expireMilliseconds,
                            std::function<void(const QDBusPendingReply<uint>&)> replied) {
    hints.insert(QStringLiteral("desktop-entry"), QLatin1String(brisvane::desktopEntry));
    const QVariantList arguments{QStringLiteral("Brisvane"),
                                 replaces,
                                 QStringLiteral("brisvane"),
                                 summary,
                                 m_markup ? body.toHtmlEscaped() : body,
                                 actions,
                                 hints,
                                 expireMilliseconds};
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call(QStringLiteral("Notify"), arguments)), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [replied = std::move(replied)](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                replied(*w);
            });
}

void CallerNotifier::callerGone() {
    // A caller told on the desktop and not dealt with: the notification gives way to one that stays.
    // A notification withdrawn (the caller answered or ended) is closed already: m_id is 0.
    const bool missed = m_id != 0 && !(m_windowActive && m_windowActive());
    withdraw();
    if (!missed) {
        return;
    }
    const QString number = m_callerNumber;
    notify(0, QStringLiteral("Missed call"), m_callerShown, {CallBackAction, QStringLiteral("Call back")},
           {{QStringLiteral("category"), QStringLiteral("call.unanswered")}}, 0,
           [this, number](const QDBusPendingReply<uint>& reply) {
               if (reply.isValid()) {
                   m_missed.insert(reply.value(), number);
               }
           });
}

void CallerNotifier::withdraw() {
    m_withdrawn = true;
    closeShown();
}

void CallerNotifier::closeShown() {
    if (m_id == 0) {
        return;
    }
    m_bus.asyncCall(call(QStringLiteral("CloseNotification"), {std::exchange(m_id, 0u)}));
}

void CallerNotifier::onActivationToken(uint id, const QString& token) {
    // Sent just before the action; every program's notifications share the signal.
    if (id != 0 && (id == m_id || m_missed.contains(id))) {
        m_activationToken = token;
    }
}

void CallerNotifier::onActionInvoked(uint id, const QString& actionKey) {
    if (const auto missed = m_missed.constFind(id); id != 0 && missed != m_missed.constEnd()) {
        if (actionKey == CallBackAction) {
            const QString number = missed.value();
            m_missed.remove(id);
            m_bus.asyncCall(call(QStringLiteral("CloseNotification"), {id}));
            emit windowWanted(std::exchange(m_activationToken, {}));
            m_phone.numberEntry().callBack(number);
        }
        return;
    }
    if (id == 0 || id != m_id || actionKey != AnswerAction) {
        return;
    }
    // First: the token is fresh, and the answer may wait for the modem.
    emit windowWanted(std::exchange(m_activationToken, {}));
    m_phone.calls().answerWaitingCaller();
    withdraw();
}

void CallerNotifier::onNotificationClosed(uint id, uint) {
    m_missed.remove(id);
    if (id != 0 && id == m_id) {
        m_id = 0;
    }
}
