#include "modem/DeviceHolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

QString DeviceHolders::programName(qint64 pid) {
    if (pid <= 0) {
        return QString();
    }
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly)) {
        return QString();
    }
    // The kernel keeps at most 15 characters of the name and ends the line with a newline.
    return QString::fromLocal8Bit(comm.read(64)).trimmed();
}

qint64 DeviceHolders::openedBy(const QString& devicePath) {
    const QString device = QFileInfo(devicePath).canonicalFilePath();
    if (device.isEmpty()) {
        return 0;
    }
    const qint64 self = ::getpid();
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid || pid == self) {
            continue;
        }
        // Another user's process refuses the listing: nothing to see there.
        const QDir fds(proc.filePath(entry + QStringLiteral("/fd")));
        for (const QFileInfo& fd : fds.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            if (fd.symLinkTarget() == device) {
                return pid;
            }
        }
    }
    return 0;
}
