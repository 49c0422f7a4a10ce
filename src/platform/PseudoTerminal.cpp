#include "platform/PseudoTerminal.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>

namespace PseudoTerminal {

std::optional<Ends> open() {
    Ends ends;
    char name[256] = {};
    struct termios raw {};
    cfmakeraw(&raw);
    cfsetspeed(&raw, B9600);
    if (::openpty(&ends.master, &ends.slave, name, &raw, nullptr) != 0) {
        return std::nullopt;
    }
    ends.path = QString::fromLocal8Bit(name);
    ::fcntl(ends.master, F_SETFL, ::fcntl(ends.master, F_GETFL) | O_NONBLOCK);
    ::fcntl(ends.master, F_SETFD, FD_CLOEXEC);
    ::fcntl(ends.slave, F_SETFD, FD_CLOEXEC);
    return ends;
}

} // namespace PseudoTerminal
