#include "vmodem/PtyLink.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <unistd.h>

PtyLink::~PtyLink() {
    remove();
}

bool PtyLink::publish(const QString& linkPath, const QString& target, QString* error) {
    remove();
    const QFileInfo existing(linkPath);
    if (existing.exists() && !existing.isSymLink()) {
        *error = QStringLiteral("%1 exists and is not a symbolic link; not replacing it").arg(linkPath);
        return false;
    }
    // A new link under a temporary name, renamed over the old one, so that the name never
    // points nowhere for a host that opens it at that moment.
    const QByteArray finalName = QFile::encodeName(linkPath);
    const QByteArray temporary = finalName + ".new." + QByteArray::number(::getpid());
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(target).constData(), temporary.constData()) != 0 ||
        ::rename(temporary.constData(), finalName.constData()) != 0) {
        *error =
            QStringLiteral("cannot create the link %1: %2").arg(linkPath, QString::fromLocal8Bit(std::strerror(errno)));
        ::unlink(temporary.constData());
        return false;
    }
    m_path = linkPath;
    m_target = target;
    return true;
}

void PtyLink::remove() {
    if (m_path.isEmpty()) {
        return;
    }
    const QFileInfo link(m_path);
    if (link.isSymLink() && link.symLinkTarget() == m_target) {
        QFile::remove(m_path);
    }
    m_path.clear();
    m_target.clear();
}
