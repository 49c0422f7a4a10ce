#pragma once

#include "vmodem/ModemConfig.h"

#include <QString>
#include <QStringList>

// The program's command line.
struct ModemOptions {
    enum class Outcome { Run, Help, Version, Error };

    bool headless = false;
    QString scriptPath;
    QString linkPath;
    QString logPath;
    QString capturePath;
    ModemConfig config;

    // `arguments` includes the program name first. For Help, Version and Error, `message` holds
    // the text to print.
    static Outcome parse(const QStringList& arguments, ModemOptions* options, QString* message);
};
