#include "desktop/HandOverMessage.h"

#include <QtEndian>
#include <algorithm>

namespace HandOverMessage {

namespace {
constexpr int HeaderSize = 4;
const QString ContextMark = QStringLiteral("--");
const QString TokenName = QStringLiteral("--activation-token=");
const QString StartupIdName = QStringLiteral("--startup-id=");
} // namespace

QByteArray encode(const QStringList& arguments, const Activation& activation) {
    const auto looksLikeContext = [](const QString& argument) { return argument.startsWith(ContextMark); };
    if (std::any_of(arguments.begin(), arguments.end(), looksLikeContext)) {
        return QByteArray();
    }
    QStringList entries = arguments;
    if (!activation.token.isEmpty()) {
        entries << TokenName + activation.token;
    }
    if (!activation.startupId.isEmpty()) {
        entries << StartupIdName + activation.startupId;
    }
    QByteArray payload;
    for (const QString& entry : std::as_const(entries)) {
        const QByteArray bytes = entry.toUtf8();
        if (bytes.contains('\0')) {
            return QByteArray();
        }
        payload += bytes + '\0';
    }
    if (payload.size() > MaxPayload) {
        return QByteArray();
    }
    QByteArray frame(HeaderSize, '\0');
    qToBigEndian(static_cast<quint32>(payload.size()), frame.data());
    return frame + payload;
}

Reader::Status Reader::feed(const QByteArray& bytes) {
    if (m_status != Status::More) {
        // Anything after the frame is not part of the protocol.
        if (!bytes.isEmpty()) {
            m_status = Status::Bad;
        }
        return m_status;
    }
    m_buffer += bytes;
    if (m_buffer.size() < HeaderSize) {
        return m_status;
    }
    const quint32 length = qFromBigEndian<quint32>(m_buffer.constData());
    if (length > static_cast<quint32>(MaxPayload) || m_buffer.size() > HeaderSize + static_cast<qsizetype>(length)) {
        m_status = Status::Bad;
        return m_status;
    }
    if (m_buffer.size() < HeaderSize + static_cast<qsizetype>(length)) {
        return m_status;
    }
    const QByteArray payload = m_buffer.mid(HeaderSize);
    if (!payload.isEmpty() && !payload.endsWith('\0')) {
        m_status = Status::Bad;
        return m_status;
    }
    qsizetype start = 0;
    while (start < payload.size()) {
        const qsizetype end = payload.indexOf('\0', start);
        read(QString::fromUtf8(payload.mid(start, end - start)));
        start = end + 1;
    }
    m_buffer.clear();
    m_status = Status::Complete;
    return m_status;
}

void Reader::read(const QString& entry) {
    if (!entry.startsWith(ContextMark)) {
        m_arguments << entry;
    } else if (entry.startsWith(TokenName)) {
        m_activation.token = entry.mid(TokenName.size());
    } else if (entry.startsWith(StartupIdName)) {
        m_activation.startupId = entry.mid(StartupIdName.size());
    }
}

} // namespace HandOverMessage
