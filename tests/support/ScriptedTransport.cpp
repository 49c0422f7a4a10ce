#include "ScriptedTransport.h"

#include "modem/Clock.h"

#include <utility>

ScriptedTransport::ScriptedTransport(const Clock& clock, QObject* parent)
    : SerialTransport(parent)
    , m_clock(clock) {}

QByteArray ScriptedTransport::written() const {
    QByteArray all;
    for (const Write& write : writes) {
        all += write.bytes;
    }
    return all;
}

void ScriptedTransport::failNextOpen(ErrorKind kind, const QString& text) {
    m_nextOpenFailure = kind;
    m_nextOpenText = text;
}

void ScriptedTransport::feed(const QByteArray& bytes) {
    m_pending += bytes;
    announce();
}

void ScriptedTransport::vanish(ErrorKind kind) {
    m_vanished = true;
    m_pending.clear();
    const QString text = QStringLiteral("Scripted loss");
    fail(kind, text);
    QMetaObject::invokeMethod(
        this,
        [this, kind, text] {
            if (m_open && m_vanished) {
                fail(kind, text);
            }
        },
        Qt::QueuedConnection);
}

bool ScriptedTransport::open(const QString& devicePath) {
    if (m_open) {
        fail(ErrorKind::Busy, QStringLiteral("Device is already open"));
        return false;
    }
    if (const ErrorKind kind = std::exchange(m_nextOpenFailure, ErrorKind::None); kind != ErrorKind::None) {
        fail(kind, m_nextOpenText);
        return false;
    }
    m_open = true;
    m_vanished = false;
    m_error = ErrorKind::None;
    m_errorString.clear();
    opened.append(devicePath);
    announce(); // what waited while the line was closed
    return true;
}

void ScriptedTransport::close() {
    m_open = false;
}

bool ScriptedTransport::write(const QByteArray& bytes) {
    if (m_vanished) {
        fail(ErrorKind::Unwritable, QStringLiteral("Input/output error"));
        return false;
    }
    writes.append({m_clock.now(), bytes});
    return true;
}

QByteArray ScriptedTransport::readAll() {
    return m_open ? std::exchange(m_pending, QByteArray()) : QByteArray();
}

void ScriptedTransport::announce() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_open && !m_pending.isEmpty()) {
                emit readyRead();
            }
        },
        Qt::QueuedConnection);
}

void ScriptedTransport::fail(ErrorKind kind, const QString& text) {
    m_error = kind;
    m_errorString = text;
    emit errorOccurred(kind, text);
}
