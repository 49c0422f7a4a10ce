#include "modem/DeviceAccess.h"

#include <QFile>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned ReadWrite = 06; // read and write bits of one class (others); shifted for group and owner

bool grants(unsigned mode, int shift) {
    return ((mode >> shift) & ReadWrite) == ReadWrite;
}

QList<unsigned> currentGroups() {
    QList<unsigned> groups{static_cast<unsigned>(::getegid())};
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> ids(static_cast<size_t>(count));
        const int got = ::getgroups(count, ids.data());
        for (int i = 0; i < got; ++i) {
            groups.append(static_cast<unsigned>(ids[static_cast<size_t>(i)]));
        }
    }
    return groups;
}

QString groupName(unsigned gid) {
    if (const group* entry = ::getgrgid(static_cast<gid_t>(gid))) {
        return QString::fromLocal8Bit(entry->gr_name);
    }
    return QString::number(gid);
}

QString currentUserName() {
    if (const passwd* entry = ::getpwuid(::geteuid())) {
        return QString::fromLocal8Bit(entry->pw_name);
    }
    const QString fromEnvironment = qEnvironmentVariable("USER");
    return fromEnvironment.isEmpty() ? QString::number(::geteuid()) : fromEnvironment;
}

} // namespace

DeviceAccess::Verdict DeviceAccess::decide(unsigned mode, unsigned ownerUid, unsigned ownerGid, unsigned userUid,
                                           const QList<unsigned>& userGroups) {
    if (userUid == 0) {
        return Verdict::Allowed;
    }
    // Only one class of bits applies, as in the kernel: an owner whose own bits refuse is refused
    // even when the group's bits would allow, and joining the group would not change that.
    if (userUid == ownerUid) {
        return grants(mode, 6) ? Verdict::Allowed : Verdict::AskAdministrator;
    }
    if (userGroups.contains(ownerGid)) {
        return grants(mode, 3) ? Verdict::Allowed : Verdict::AskAdministrator;
    }
    if (grants(mode, 0)) {
        return Verdict::Allowed;
    }
    return grants(mode, 3) ? Verdict::JoinGroup : Verdict::AskAdministrator;
}

QString DeviceAccess::refusal(Verdict verdict, const QString& deviceName, const QString& groupName,
                              const QString& userName) {
    switch (verdict) {
    case Verdict::Allowed:
        return QString();
    case Verdict::JoinGroup:
        return QStringLiteral("You may not use the serial device %1: your account must be in the group \"%2\" "
                              "that owns it. Add it with \"sudo adduser %3 %2\", then log out and log in again.")
            .arg(deviceName, groupName, userName);
    case Verdict::AskAdministrator:
        break;
    }
    return QStringLiteral("You may not use the serial device %1: its permissions do not let your account read and "
                          "write it. Ask the administrator of this computer for access.")
        .arg(deviceName);
}

QString DeviceAccess::refusalFor(const QString& path, const QString& deviceName, unsigned userUid,
                                 const QList<unsigned>& userGroups, const QString& userName) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return QString();
    }
    const Verdict verdict = decide(info.st_mode, info.st_uid, info.st_gid, userUid, userGroups);
    return refusal(verdict, deviceName, groupName(info.st_gid), userName);
}

QString DeviceAccess::refusalForCurrentUser(const QString& path, const QString& deviceName) {
    const QString text = refusalFor(path, deviceName, ::geteuid(), currentGroups(), currentUserName());
    if (text.isEmpty() || ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0) {
        return QString();
    }
    return text;
}
