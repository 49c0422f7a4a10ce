#pragma once

#include "desktop/Activation.h"

#include <QByteArray>
#include <QStringList>

// What a second start sends the running telephone over its local socket: its arguments, and what
// its launcher gave it to bring a window to the front.
// A frame is a 4-byte big-endian length, then that many bytes of entries, each in UTF-8 followed
// by a NUL byte (an argument from the command line holds none). An entry is an argument (a link),
// or "--name=value" for the start's context: the command line lets no argument that begins with
// "--" through, so the two never meet. A context entry the reader does not know is skipped, so a
// later Brisvane may add one; a Brisvane that sends its arguments alone is understood. The running
// telephone answers a whole frame with Acknowledgement.
namespace HandOverMessage {

// Far above a link's length; a peer that announces more is not a Brisvane.
constexpr int MaxPayload = 16 * 1024;
inline const QByteArray Acknowledgement = QByteArrayLiteral("OK\n");

// Empty when the entries do not fit in MaxPayload, one holds a NUL or an argument begins with "--".
QByteArray encode(const QStringList& arguments, const Activation& activation = {});

// Reads one frame from bytes as they arrive.
class Reader {
public:
    enum class Status { More, Complete, Bad };

    Status feed(const QByteArray& bytes);
    // Once Complete.
    const QStringList& arguments() const { return m_arguments; }
    const Activation& activation() const { return m_activation; }

private:
    void read(const QString& entry);

    Status m_status = Status::More;
    QByteArray m_buffer;
    QStringList m_arguments;
    Activation m_activation;
};

} // namespace HandOverMessage
