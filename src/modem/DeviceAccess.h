#pragma once

#include <QList>
#include <QString>

// Whether the user may read and write a serial device, and what would let them.
//
// The serial port reports a device the user may not open and a device another program has locked
// with the same error, so the control asks here before it opens. The decision itself is a pure
// function of the device's mode bits and owners and the user's ids: the superuser passes every
// check, so tests (which run as root) could not reach a refusal through the real device.
class DeviceAccess {
public:
    enum class Verdict {
        Allowed,
        // Refused, and membership in the device's group would grant it (the usual "dialout" case).
        JoinGroup,
        // Refused, and no group membership would help: only the owner or the administrator can.
        AskAdministrator,
    };

    // The kernel's read-and-write check: the owner's bits when the user owns the device, else the
    // group's bits when one of the user's groups owns it, else the others' bits; user id 0 always
    // passes. `userGroups` holds the primary group and every supplementary one.
    static Verdict decide(unsigned mode, unsigned ownerUid, unsigned ownerGid, unsigned userUid,
                          const QList<unsigned>& userGroups);

    // The message for a refused device: names the device and, for JoinGroup, the group to join and
    // the command that does it.
    static QString refusal(Verdict verdict, const QString& deviceName, const QString& groupName,
                           const QString& userName);

    // Checks the device at `path` for a user by its mode bits and owners, naming the device's group
    // as the system knows it. Returns an empty text when the user may use it (or when the device
    // cannot be examined: opening it will then tell what is wrong), else the message, with
    // `deviceName` as the device's name in it.
    static QString refusalFor(const QString& path, const QString& deviceName, unsigned userUid,
                              const QList<unsigned>& userGroups, const QString& userName);

    // The same for the user this program runs as. Access granted through an access control list
    // (as desktop sessions grant the logged-in user some devices) counts as allowed.
    static QString refusalForCurrentUser(const QString& path, const QString& deviceName);
};
