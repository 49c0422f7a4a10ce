#include "modem/DeviceWatch.h"

#include "modem/Clock.h"
#include "modem/Waiter.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
#include <algorithm>
#include <iterator>
#include <utility>

namespace {
// The pauses before the first looks at a held device; every later one waits the last of them.
constexpr double HeldPauses[] = {1, 2, 4, 5};
} // namespace

DeviceWatch::DeviceWatch(Waiter& waiter, QObject* parent)
    : QObject(parent)
    , m_waiter(waiter) {}

DeviceWatch::~DeviceWatch() = default;

void DeviceWatch::start(std::function<QString()> path) {
    stop();
    m_path = std::move(path);
    // Made on first use: a telephone whose modem never goes away holds no watch at all.
    if (!m_watcher) {
        m_watcher = new QFileSystemWatcher(this);
        connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &DeviceWatch::onFolderChanged);
    }
    watchNearestFolder();
}

void DeviceWatch::stop() {
    m_path = nullptr;
    m_folder.clear();
    delete m_second;
    m_secondHad = false;
    forgetHeld();
    if (m_watcher && !m_watcher->directories().isEmpty()) {
        m_watcher->removePaths(m_watcher->directories());
    }
}

void DeviceWatch::lookAgainAfter(double seconds) {
    if (!active() || m_second || m_secondHad) {
        return;
    }
    m_second = m_waiter.after(seconds, this, [this] {
        m_second = nullptr; // the timer removes itself
        m_secondHad = true;
        look();
    });
}

DeviceWatch::Held DeviceWatch::tryAgainWhileHeld() {
    if (!active() || m_heldTimeUp) {
        return Held::GivenUp;
    }
    const double now = m_waiter.clock().now();
    if (m_heldSince < 0) {
        m_heldSince = now;
        m_heldLooks = 0;
    }
    const double left = m_heldSince + HeldSeconds - now;
    if (left <= 0) {
        delete m_heldLook;
        m_heldTimeUp = true;
        return Held::TimeIsUp;
    }
    if (!m_heldLook) {
        const double pause = HeldPauses[std::min<std::size_t>(m_heldLooks++, std::size(HeldPauses) - 1)];
        // The last look comes at the end of the two minutes, not after them.
        m_heldLook = m_waiter.after(std::min(pause, left), this, [this] {
            m_heldLook = nullptr; // the timer removes itself
            look();
        });
    }
    return Held::TryingAgain;
}

void DeviceWatch::forgetHeld() {
    delete m_heldLook;
    m_heldSince = -1;
    m_heldLooks = 0;
    m_heldTimeUp = false;
}

void DeviceWatch::onFolderChanged() {
    if (!active()) {
        return;
    }
    m_secondHad = false;
    delete m_second;
    watchNearestFolder();
    look();
}

void DeviceWatch::watchNearestFolder() {
    QString folder = QFileInfo(m_path()).absolutePath();
    while (!QFileInfo(folder).isDir() && !QDir(folder).isRoot()) {
        folder = QFileInfo(folder).absolutePath();
    }
    // A folder that was removed has already left the watcher.
    if (folder == m_folder && m_watcher->directories().contains(folder)) {
        return;
    }
    if (!m_watcher->directories().isEmpty()) {
        m_watcher->removePaths(m_watcher->directories());
    }
    m_folder = folder;
    m_watcher->addPath(folder);
}

void DeviceWatch::look() {
    if (!active()) {
        return;
    }
    // exists() follows a link: a link to a device that is not there yet does not count.
    if (!QFileInfo::exists(m_path())) {
        forgetHeld();
        return;
    }
    emit present();
}
