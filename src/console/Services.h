#pragma once

#include <QString>

class SettingsStore;
struct SharedState;
class Clock;
class Waiter;
class MessageBoxes;
class HeldDeviceAdvice;
class CallHistory;

// What the windows need from outside themselves. The application passes the real ones; tests
// pass a store in a temporary folder, a fast clock and message boxes they answer themselves.
struct Services {
    SettingsStore& settings;
    SharedState& shared;
    const Clock& clock;
    Waiter& waiter;
    MessageBoxes& messages;
    // Where serial lock files live.
    QString lockDirectory = QStringLiteral("/var/lock");
    // Asked who holds a device that will not open because it is held; none: not asked.
    HeldDeviceAdvice* heldDeviceAdvice = nullptr;
    // The call history with its list of refused numbers; none: calls are not kept.
    CallHistory* history = nullptr;
};
