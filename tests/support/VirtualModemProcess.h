#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

// The virtual modem (build/brisvane-modem) run headless for a test: the program under test opens
// ptyPath() as its serial device, the test works the line's far end with command() and reads
// what crossed the line: hostBytes() exactly as the host wrote them (the modem's capture file),
// modemBytes() as the modem sent them (rebuilt from its traffic log).
//
// Every wait has a deadline and ends as soon as its condition holds.
class VirtualModemProcess : public QObject {
    Q_OBJECT
public:
    explicit VirtualModemProcess(QObject* parent = nullptr);
    ~VirtualModemProcess() override;

    // Starts the modem with `arguments` added to "--headless --capture <file>", and waits for its
    // "PTY" line. False when it did not come (see errorOutput()).
    bool start(const QStringList& arguments = {}, int timeoutMs = 10000);

    QString ptyPath() const { return m_ptyPath; }
    // A private folder that lives as long as this object, e.g. for --link or --script files.
    QString folder() const { return m_folder.path(); }

    // One driving command ("ring 5551234 Ann", "answer", "hangup", ...).
    void command(const QString& line);
    // Ends standard input, which ends a modem that runs without a script.
    void closeInput();

    QByteArray hostBytes() const;
    QByteArray modemBytes() const { return m_modemBytes; }
    QStringList outputLines() const { return m_lines; }
    QString errorOutput() const { return QString::fromLocal8Bit(m_errors); }

    bool waitForHostBytes(const QByteArray& bytes, int timeoutMs = 5000);
    bool waitForModemBytes(const QByteArray& bytes, int timeoutMs = 5000);
    bool waitForOutput(const QString& text, int timeoutMs = 5000);
    bool waitForErrorOutput(const QString& text, int timeoutMs = 5000);
    // Runs events until `done()` holds; false when `timeoutMs` passed first. For any condition.
    static bool waitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

    // Sends "quit" (or, once the input is closed, SIGTERM) and waits for the end. True for a
    // clean exit.
    bool stop(int timeoutMs = 5000);
    bool waitForExit(int timeoutMs = 5000);
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    void terminate() { m_process.terminate(); }
    int exitCode() const { return m_process.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return m_process.exitStatus(); }

private:
    void readOutput();

    QProcess m_process;
    QTemporaryDir m_folder;
    QString m_capturePath;
    QString m_ptyPath;
    QStringList m_lines;
    QByteArray m_partial;
    QByteArray m_modemBytes;
    QByteArray m_errors;
    bool m_inputClosed = false;
};
