#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

// The UUCP lock files through which serial programs (minicom, mgetty, caller-ID daemons, other Qt
// programs, another Brisvane) keep off each other's devices: `LCK..<name>` in a lock folder,
// holding the owner's process id.
//
// Content read: the id as ASCII, leading blanks allowed and anything after the first line ignored
// (the ten-character HDB form, a bare number, and the three-line form of Qt's own lock files all
// read this way), or, for a file of exactly four bytes that holds a zero byte, the id as a native
// binary int (the old form; an ASCII id never holds a zero byte, a binary id below 2^24 always does).
// Content written: the HDB form, sprintf("%10d\n", pid).
class DeviceLock {
public:
    // What a lock file says about its device.
    struct Holder {
        bool held = false;
        qint64 pid = 0; // 0 when the file names no process that can be read
    };

    // A file without a readable process id may be one that its writer has created and not yet
    // filled, so it holds the device while it is younger than this; an older one is stale.
    static constexpr qint64 UnreadableGraceMs = 30 * 1000;

    // The lock file name for a device path: the path after /dev/ with '/' replaced by '_'
    // (/dev/ttyACM0 -> LCK..ttyACM0, /dev/pts/3 -> LCK..pts_3). A path outside /dev keeps all of
    // itself, the same name Qt's serial port gives it.
    static QString fileNameFor(const QString& devicePath);

    // The process id in a lock file's content, or 0 when there is none.
    static qint64 pidFromContent(const QByteArray& content);

    // Looks at the lock file `path`. A lock of a process that no longer runs, or an old one without
    // a readable process id, is stale: it is removed and reported as not held.
    static Holder inspect(const QString& path);

    // Takes the lock `path` for this process. A file already there that names this process (Qt's
    // serial port writes its own lock there when the folders agree) is rewritten in the HDB form;
    // a stale one is replaced. Returns null when the lock was not taken: `heldBy` then tells
    // whether another holder has it, or whether the folder just would not take a file.
    static std::unique_ptr<DeviceLock> take(const QString& path, Holder* heldBy);

    // Removes the file, when it still names this process.
    ~DeviceLock();

    QString path() const { return m_path; }

    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

private:
    explicit DeviceLock(QString path);

    QString m_path;
};
