#pragma once

#include "modem/SerialError.h"

#include <QString>

// What the error reporter does for each error number of a failed attach.
struct ErrorAction {
    bool showMessage = false; // a critical message box with the number and description
    bool redrawFirst = false; // redraw the main window before the box
    bool detach = false;      // afterwards: AutoOn "False" in memory, detached, power lamp dark
    QString verdict;          // "E", or empty when the error is not the serial control's
};

ErrorAction errorActionFor(int number);

// The message box text: the number, a carriage return, the description.
QString errorMessageText(const SerialError& error);
