#pragma once

#include <QString>

// Which program holds a serial device, as far as this user can see, so that a refused open can
// name it.
namespace DeviceHolders {

// The program a process runs (its command name), or empty when that cannot be read.
QString programName(qint64 pid);

// A process other than this one that has the device `devicePath` (links resolved) open, or 0.
// Only processes whose open files this user may read are seen: a system service's are not. It
// looks through every process, so it is for telling the user, not for every try.
qint64 openedBy(const QString& devicePath);

} // namespace DeviceHolders
