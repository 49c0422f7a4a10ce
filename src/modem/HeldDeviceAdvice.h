#pragma once

#include <QString>

// A part of the system that may take a serial device for itself (a service that manages modems),
// asked when an open is refused because the device is held, so that the user learns what holds
// it and how to keep it off the modem.
class HeldDeviceAdvice {
public:
    virtual ~HeldDeviceAdvice() = default;

    // What the user should know and do when such a service holds `devicePath` (the device itself,
    // links resolved); empty when none does, or when that cannot be told. May wait for the answer,
    // letting events run.
    virtual QString adviceFor(const QString& devicePath) = 0;
};
