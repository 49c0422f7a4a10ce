#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QFileSystemWatcher;
class QTimer;
class Waiter;

// Waits for a device path to appear again (a USB modem plugged back in: its /dev/serial/by-id
// link, its /dev node, or a link of the user's own) without polling: the folder that holds the
// path is watched by the file system, so a telephone waiting for its modem costs nothing while
// nothing changes there.
//
// The path is asked for afresh at every change, so the device set for the port now is the one
// waited for. When its folder does not exist (by-id goes with the last USB serial device), the
// nearest folder above it that does is watched instead, and the watch moves down again as the
// folders come back.
//
// A device node appears before its permissions are set, so the first open may fail: the owner
// then asks for one more look after a short while (`lookAgainAfter`); later looks wait for the
// next change, so a device that never opens is not tried over and over.
//
// A device that another program holds when it comes back (a modem manager probing a freshly
// plugged modem, a terminal program) changes nothing in the folder when it is let go, so it is
// looked at again on a timer, more and more seldom, for two minutes (`tryAgainWhileHeld`).
class DeviceWatch : public QObject {
    Q_OBJECT
public:
    explicit DeviceWatch(Waiter& waiter, QObject* parent = nullptr);
    ~DeviceWatch() override;

    // Starts waiting for `path()` to exist; what was watched before is forgotten.
    void start(std::function<QString()> path);
    void stop();
    bool active() const { return m_path != nullptr; }
    // The folder being watched now (empty when not active).
    QString folder() const { return m_folder; }

    // The path was there but its device could not be used yet: looks once more after `seconds` of
    // program time, unless that look has been had since the last change in the folder.
    void lookAgainAfter(double seconds);

    // What becomes of a device that another program holds.
    enum class Held {
        TryingAgain, // another look is due after a pause
        TimeIsUp,    // the two minutes of looks are over (said once; the owner tells the user)
        GivenUp,     // they were over before: only a change in the folder brings another look
    };
    static constexpr double HeldSeconds = 120;
    // The path is there but another program holds its device: looks again 1, 2 and 4 seconds
    // later, then every 5, until two minutes have passed since it was first found held. A path
    // found gone at a look starts the two minutes afresh when it is back.
    Held tryAgainWhileHeld();

signals:
    // The path exists after a change in its folder, or at the second look.
    void present();

private:
    void onFolderChanged();
    void watchNearestFolder();
    void look();
    void forgetHeld();

    Waiter& m_waiter;
    QFileSystemWatcher* m_watcher = nullptr;
    std::function<QString()> m_path;
    QString m_folder;
    QPointer<QTimer> m_second;
    bool m_secondHad = false;
    QPointer<QTimer> m_heldLook;
    double m_heldSince = -1; // program time it was first found held; negative: not held
    int m_heldLooks = 0;
    bool m_heldTimeUp = false;
};
