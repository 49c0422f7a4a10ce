#pragma once

#include <QByteArray>
#include <QStringList>

// What a second start sends the running telephone over its local socket: its arguments.
// A frame is a 4-byte big-endian length, then that many bytes: each argument in UTF-8 followed
// by a NUL byte (an argument from the command line holds none). The running telephone answers a
// whole frame with Acknowledgement.
namespace HandOverMessage {

// Far above a link's length; a peer that announces more is not a Brisvane.
constexpr int MaxPayload = 16 * 1024;
inline const QByteArray Acknowledgement = QByteArrayLiteral("OK\n");

// Empty when the arguments do not fit in MaxPayload or one holds a NUL.
QByteArray encode(const QStringList& arguments);

// Reads one frame from bytes as they arrive.
class Reader {
public:
    enum class Status { More, Complete, Bad };

    Status feed(const QByteArray& bytes);
    // Once Complete.
    const QStringList& arguments() const { return m_arguments; }

private:
    Status m_status = Status::More;
    QByteArray m_buffer;
    QStringList m_arguments;
};

} // namespace HandOverMessage
