#include "desktop/CallerNotifier.h"

#include "Version.h"
#include "call/CallControl.h"
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
    connect(&phone.responses(), &ModemResponses::callerShown, this, &CallerNotifier::show);
    connect(&phone.responses(), &ModemResponses::callerGone, this, &CallerNotifier::withdraw);
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
    const QString body = m_markup ? number.toHtmlEscaped() : number;
    const QVariantMap hints{{QStringLiteral("category"), QStringLiteral("call.incoming")},
                            {QStringLiteral("desktop-entry"), QLatin1String(brisvane::desktopEntry)},
                            {QStringLiteral("urgency"), QVariant::fromValue<uchar>(1)}};
    const QVariantList arguments{QStringLiteral("Brisvane"),
                                 m_id,
                                 QStringLiteral("brisvane"),
                                 name,
                                 body,
                                 QStringList{AnswerAction, QStringLiteral("Answer")},
                                 hints,
                                 ExpireMilliseconds};
    m_showing = true;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call(QStringLiteral("Notify"), arguments)), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        w->deleteLater();
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
    if (id != 0 && id == m_id) {
        m_activationToken = token;
    }
}

void CallerNotifier::onActionInvoked(uint id, const QString& actionKey) {
    if (id == 0 || id != m_id || actionKey != AnswerAction) {
        return;
    }
    // First: the token is fresh, and the answer may wait for the modem.
    emit answerPressed(std::exchange(m_activationToken, {}));
    m_phone.calls().answerWaitingCaller();
    withdraw();
}

void CallerNotifier::onNotificationClosed(uint id, uint) {
    if (id != 0 && id == m_id) {
        m_id = 0;
    }
}
