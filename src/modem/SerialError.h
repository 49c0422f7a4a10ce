#pragma once

#include <QString>

// A numbered error of the serial control or of a settings conversion, with the description the
// failing operation gave. Number 0 means success.
struct SerialError {
    int number = 0;
    QString description;

    explicit operator bool() const { return number != 0; }
};

// The error numbers the program knows.
namespace ErrorNumber {
inline constexpr int TypeMismatch = 13;      // a stored text that cannot be converted
inline constexpr int InvalidValue = 380;     // a serial control property set to a value it cannot take
inline constexpr int InvalidPort = 8002;     // no such device, or no permission to use it
inline constexpr int PortAlreadyOpen = 8005; // another program (or another Brisvane) holds it
inline constexpr int PortNotOpen = 8018;     // the operation needs an open port
inline constexpr int DeviceLost = 8020;      // the device went away while open (unplugged)
inline constexpr int NoModem = 8030;         // nothing answered the probe: no modem behind the port
} // namespace ErrorNumber
