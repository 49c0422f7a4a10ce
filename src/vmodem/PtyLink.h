#pragma once

#include <QString>

// A symbolic link that gives the pseudo-terminal a fixed name (say /tmp/modem), so that a host's
// settings need not change with every run. An existing symbolic link is replaced; anything else
// in the way is left alone and publishing fails. The link goes again with this object, unless
// someone has pointed it elsewhere in the meantime.
class PtyLink {
public:
    PtyLink() = default;
    ~PtyLink();
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    bool publish(const QString& linkPath, const QString& target, QString* error);
    void remove();
    QString path() const { return m_path; }

private:
    QString m_path;
    QString m_target;
};
