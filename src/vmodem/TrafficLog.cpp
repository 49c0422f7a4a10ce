#include "vmodem/TrafficLog.h"

#include "vmodem/ByteText.h"

#include <cstdio>

TrafficLog::TrafficLog(QObject* parent)
    : QObject(parent) {}

bool TrafficLog::openFile(const QString& path, QString* error) {
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        *error = QStringLiteral("cannot open the log %1: %2").arg(path, m_file.errorString());
        return false;
    }
    return true;
}

void TrafficLog::hostSent(const QByteArray& bytes) {
    add(Kind::Host, ByteText::escape(bytes));
}

void TrafficLog::modemSent(const QByteArray& bytes, bool delivered) {
    add(delivered ? Kind::Modem : Kind::LostModem, ByteText::escape(bytes));
}

void TrafficLog::note(const QString& text) {
    add(Kind::Note, text);
}

QString TrafficLog::formatLine(const QTime& time, Kind kind, const QString& text) {
    const QString stamp = time.toString(QStringLiteral("HH:mm:ss.zzz"));
    switch (kind) {
    case Kind::Host:
        return QStringLiteral("%1 host> \"%2\"").arg(stamp, text);
    case Kind::Modem:
        return QStringLiteral("%1 modem> \"%2\"").arg(stamp, text);
    case Kind::LostModem:
        return QStringLiteral("%1 modem> \"%2\" (lost: no host has the line open)").arg(stamp, text);
    case Kind::Note:
        break;
    }
    return QStringLiteral("%1 note: %2").arg(stamp, text);
}

void TrafficLog::add(Kind kind, const QString& text) {
    const QTime now = QTime::currentTime();
    if (m_stdout || m_file.isOpen()) {
        const QByteArray line = formatLine(now, kind, text).toUtf8() + '\n';
        if (m_stdout) {
            std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
            std::fflush(stdout);
        }
        if (m_file.isOpen()) {
            m_file.write(line);
            m_file.flush();
        }
    }
    emit logged(now, kind, text);
}
