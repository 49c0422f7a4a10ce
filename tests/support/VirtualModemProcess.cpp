#include "VirtualModemProcess.h"

#include "BrisvaneProcess.h"
#include "vmodem/ByteText.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>

VirtualModemProcess::VirtualModemProcess(QObject* parent)
    : QObject(parent) {
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &VirtualModemProcess::readOutput);
    connect(&m_process, &QProcess::readyReadStandardError, this,
            [this] { m_errors += m_process.readAllStandardError(); });
}

VirtualModemProcess::~VirtualModemProcess() {
    if (isRunning() && !stop(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

bool VirtualModemProcess::start(const QStringList& arguments, int timeoutMs) {
    const QString program = BrisvaneProcess::program(QStringLiteral("brisvane-modem"));
    m_capturePath = m_folder.filePath(QStringLiteral("capture.bin"));
    m_process.start(program,
                    QStringList{QStringLiteral("--headless"), QStringLiteral("--capture"), m_capturePath} + arguments);
    waitUntil([this] { return !m_ptyPath.isEmpty() || !isRunning(); }, timeoutMs);
    return !m_ptyPath.isEmpty();
}

void VirtualModemProcess::command(const QString& line) {
    m_process.write(line.toUtf8() + '\n');
    // On its way now, even if the test blocks before events run again.
    m_process.waitForBytesWritten(1000);
}

void VirtualModemProcess::closeInput() {
    m_inputClosed = true;
    m_process.closeWriteChannel();
}

QByteArray VirtualModemProcess::hostBytes() const {
    QFile file(m_capturePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void VirtualModemProcess::readOutput() {
    static const QRegularExpression modemLine(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d modem> \"(.*)\"$"));
    m_partial += m_process.readAllStandardOutput();
    qsizetype newline = 0;
    while ((newline = m_partial.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_partial.left(newline));
        m_partial.remove(0, newline + 1);
        m_lines.append(line);
        if (m_ptyPath.isEmpty() && line.startsWith(QLatin1String("PTY "))) {
            m_ptyPath = line.mid(4);
        }
        const QRegularExpressionMatch match = modemLine.match(line);
        if (match.hasMatch()) {
            m_modemBytes += ByteText::unescape(match.captured(1)).value_or(QByteArray());
        }
    }
}

bool VirtualModemProcess::waitUntil(const std::function<bool()>& done, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

bool VirtualModemProcess::waitForHostBytes(const QByteArray& bytes, int timeoutMs) {
    return waitUntil([&] { return hostBytes().contains(bytes); }, timeoutMs);
}

bool VirtualModemProcess::waitForModemBytes(const QByteArray& bytes, int timeoutMs) {
    return waitUntil([&] { return m_modemBytes.contains(bytes); }, timeoutMs);
}

bool VirtualModemProcess::waitForOutput(const QString& text, int timeoutMs) {
    return waitUntil(
        [&] {
            return std::any_of(m_lines.cbegin(), m_lines.cend(), [&](const QString& l) { return l.contains(text); });
        },
        timeoutMs);
}

bool VirtualModemProcess::waitForErrorOutput(const QString& text, int timeoutMs) {
    return waitUntil([&] { return errorOutput().contains(text); }, timeoutMs);
}

bool VirtualModemProcess::waitForExit(int timeoutMs) {
    return waitUntil([this] { return !isRunning(); }, timeoutMs);
}

bool VirtualModemProcess::stop(int timeoutMs) {
    if (isRunning() && m_inputClosed) {
        terminate();
    } else if (isRunning()) {
        command(QStringLiteral("quit"));
    }
    return waitForExit(timeoutMs) && exitStatus() == QProcess::NormalExit && exitCode() == 0;
}
