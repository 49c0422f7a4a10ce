#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTimer>

class QSocketNotifier;
class VirtualModem;

// Works the far end of the line from driving commands (DriverCommand), read from a script file
// or a descriptor such as standard input. Commands run in order; "wait" holds up those behind
// it. A command the line is in no state for, or one that does not parse, is reported through
// problem() and skipped.
class CommandRunner : public QObject {
    Q_OBJECT
public:
    // `source` names the input in problem reports ("script.txt", "stdin").
    CommandRunner(VirtualModem& modem, const QString& source, QObject* parent = nullptr);

    // Reads commands from `fd` as they come, until end of file.
    void readFrom(int fd);
    // Commands as text; a last line without its newline waits for the rest or for endOfInput().
    void addText(const QByteArray& text);
    void endOfInput();

signals:
    void problem(const QString& message);
    void quitRequested();
    // The input has ended and every command in it has run.
    void finished();

private:
    void readDescriptor();
    void runPending();

    VirtualModem& m_modem;
    QString m_source;
    QStringList m_lines;
    QByteArray m_partial;
    int m_lineNumber = 0;
    bool m_ended = false;
    bool m_quit = false;
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_wait;
};
