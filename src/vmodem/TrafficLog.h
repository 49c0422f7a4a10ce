#pragma once

#include <QFile>
#include <QObject>
#include <QString>
#include <QTime>

// The time-stamped record of the line: one entry per chunk of bytes in either direction, and
// notes on what happened on the line in between. Entries go to the window (logged()), and, when
// asked, to standard output and to a file, one flushed line each:
//
//   12:05:01.123 host> "AT#VRN=0\r"
//   12:05:01.124 modem> "\r\nOK\r\n"
//   12:05:07.300 modem> "\r\nRING\r\n" (lost: no host has the line open)
//   12:05:09.002 note: the far end answered
class TrafficLog : public QObject {
    Q_OBJECT
public:
    enum class Kind { Host, Modem, LostModem, Note };

    explicit TrafficLog(QObject* parent = nullptr);

    void setWritesStandardOutput(bool on) { m_stdout = on; }
    bool openFile(const QString& path, QString* error);

    void hostSent(const QByteArray& bytes);
    void modemSent(const QByteArray& bytes, bool delivered);
    void note(const QString& text);

    // `text` is the escaped bytes for traffic, the words for a note.
    static QString formatLine(const QTime& time, Kind kind, const QString& text);

signals:
    void logged(const QTime& time, TrafficLog::Kind kind, const QString& text);

private:
    void add(Kind kind, const QString& text);

    bool m_stdout = false;
    QFile m_file;
};
