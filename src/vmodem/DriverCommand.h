#pragma once

#include "vmodem/CallerId.h"

#include <QByteArray>
#include <QString>

// One line of the driving language that tests and scripts use in place of the window's buttons:
//
//   ring <number> [name words...]   ring private   ring outofarea   ring
//   stopring   answer   busy   noanswer   hangup
//   send <text>      (\r \n \t \\ \" \e and \xNN escapes)
//   wait <seconds>   quit
//
// Command words are case-insensitive; blank lines and lines starting with "#" are nothing.
struct DriverCommand {
    enum class Kind { Nothing, Ring, StopRing, Answer, Busy, NoAnswer, HangUp, Send, Wait, Quit, Invalid };

    Kind kind = Kind::Nothing;
    CallerId caller;  // Ring
    QByteArray bytes; // Send
    int waitMs = 0;   // Wait
    QString error;    // Invalid

    static DriverCommand parse(const QString& line);
};
