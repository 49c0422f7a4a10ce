#pragma once

#include <QDBusConnection>
#include <QDBusPendingReply>
#include <QHash>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>

class Phone;
class QDBusPendingCallWatcher;

// Tells the user of a caller while the telephone's window is not the active one: a desktop
// notification (org.freedesktop.Notifications on the session bus) with the caller as the display
// shows them and an "Answer" action that answers as Send does during the caller's five seconds.
// The notification is withdrawn when the call is answered or ended. When its five seconds pass
// unanswered, it gives way to a "Missed call" notification that stays, with a "Call back" action
// that puts the caller's number in the display (never dials).
// Its Answer brings the telephone's window forward too, with the activation token the service
// sends for the press (notification protocol 1.2), which a Wayland compositor asks for.
//
// Every call to the notification service is asynchronous, so the telephone never waits for it;
// with no such service on the bus nothing happens and nothing is told. The caller's texts come
// from the line: they go as plain text (escaped where the service would read markup).
class CallerNotifier : public QObject {
    Q_OBJECT
public:
    // `windowActive` tells whether the user is looking at the telephone already.
    CallerNotifier(Phone& phone, std::function<bool()> windowActive, QDBusConnection bus = sessionBusIfRunning(),
                   QObject* parent = nullptr);

    // The desktop session's bus when one runs (named in DBUS_SESSION_BUS_ADDRESS, or the "bus"
    // socket in XDG_RUNTIME_DIR), else a connection to nothing: without a session there is no
    // notification service, and asking for the bus would try to launch one.
    static QDBusConnection sessionBusIfRunning();

    // The notification shown now, or 0.
    uint shownId() const { return m_id; }

signals:
    // The user acted on a notification (Answer, or a missed call's Call back): the window is to come
    // forward, with `activationToken` when the service sent one. The call is answered (the number
    // put in the display) after it.
    void windowWanted(const QString& activationToken);

private slots:
    void onActivationToken(uint id, const QString& token);
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    void show(const QString& name, const QString& number);
    // The caller's five seconds are over.
    void callerGone();
    void withdraw();
    void closeShown();
    // Sends a notification of this program's (its name, icon and desktop entry), `body` as plain
    // text; `replied` gets the service's answer, the notification's id.
    void notify(uint replaces, const QString& summary, const QString& body, const QStringList& actions,
                QVariantMap hints, int expireMilliseconds, std::function<void(const QDBusPendingReply<uint>&)> replied);

    Phone& m_phone;
    std::function<bool()> m_windowActive;
    QDBusConnection m_bus;
    // The notification on screen (0: none), and whether one is on its way.
    uint m_id = 0;
    QString m_activationToken;
    bool m_showing = false;
    bool m_withdrawn = false;
    bool m_markup = true;
    // The caller as reported, and as notified.
    QString m_callerNumber;
    QString m_callerShown;
    // The missed-call notifications on screen, with the number each calls back.
    QHash<uint, QString> m_missed;
};
