#include "modem/DeviceWatch.h"

#include "modem/Waiter.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
#include <utility>

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
    // exists() follows a link: a link to a device that is not there yet does not count.
    if (active() && QFileInfo::exists(m_path())) {
        emit present();
    }
}
