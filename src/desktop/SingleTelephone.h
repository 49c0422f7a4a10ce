#pragma once

#include "desktop/Activation.h"

#include <QLockFile>
#include <QObject>
#include <QStringList>
#include <memory>

class QLocalServer;
class QLocalSocket;
class Waiter;

// One running telephone per settings file. The first start holds a lock and listens on a local
// socket; a later start with the same settings hands its arguments over that socket and ends.
// Two different settings files are two telephones (each with its own modem set-up), so both
// names carry a hash of the settings file's path.
//
// The socket and the lock live in a folder of this user's alone: $XDG_RUNTIME_DIR, or else
// <temp>/brisvane-<uid> made with mode 0700. Only the lock's holder removes a socket file (one
// left behind by a telephone that crashed) and listens, so two starts at the same moment never
// both become the telephone. The lock is held until the process ends, after the unload has let
// go of the modem: a start that comes while the telephone is closing waits for it and then
// becomes the telephone itself.
//
// A later start hands over its launcher's activation too: only with it may the telephone's window
// come to the front on Wayland, and it is good once.
class SingleTelephone : public QObject {
    Q_OBJECT
public:
    enum class Start {
        First,      // this process is the telephone: it listens for later starts
        HandedOver, // the running telephone has the arguments
        NoAnswer,   // a telephone holds the lock but did not take the arguments in time
        NoFolder,   // no private folder for the socket: this process runs alone, as before
    };

    SingleTelephone(const QString& settingsPath, Waiter& waiter, QObject* parent = nullptr);
    ~SingleTelephone() override;

    // Becomes the telephone, or hands `arguments` and `activation` to the running one, within
    // `maxSeconds`. Once handed over, the activation is gone from this process's environment.
    Start start(const QStringList& arguments, const Activation& activation = {}, double maxSeconds = 10);
    // Later starts find no telephone any more: the telephone is closing.
    void stopListening();

    QString socketPath() const { return m_socketPath; }
    // Why start() found no folder, or why listening failed.
    QString problem() const { return m_problem; }

    // $XDG_RUNTIME_DIR when it is a private folder, else <temp>/brisvane-<uid>, made if needed;
    // empty (with `problem`) when neither is a folder only this user can enter.
    static QString privateFolder(QString* problem);
    // The socket's file name for a settings file.
    static QString socketName(const QString& settingsPath);

signals:
    // A later start's arguments (its links) and its activation, in the telephone.
    void argumentsReceived(const QStringList& arguments, const Activation& activation);

private:
    void attempt();
    void becomeTelephone();
    void accept();

    Waiter& m_waiter;
    QString m_settingsPath;
    QString m_socketPath;
    QString m_problem;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    QByteArray m_message;
    bool m_decided = false;
    Start m_result = Start::NoAnswer;
};
