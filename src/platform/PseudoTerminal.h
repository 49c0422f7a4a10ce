#pragma once

#include <QString>
#include <optional>

// Opening a pseudo-terminal whose device side a program opens by path as its serial port, while
// the opener plays the other end. Both the virtual modem and the tests open their lines here.
namespace PseudoTerminal {

struct Ends {
    int master = -1; // non-blocking: read it from the event loop
    int slave = -1;  // kept open so the line does not hang up between the program's opens
    QString path;    // the device side
};

// A new pseudo-terminal in raw mode at 9600 bits per second, neither end inherited by programs
// started later. Empty, with errno telling why, when the system has none to give.
std::optional<Ends> open();

} // namespace PseudoTerminal
