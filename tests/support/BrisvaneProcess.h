#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Brisvane (or the virtual modem) started as a process, as a user or a desktop starts it, from the
// build folder the test runs in. The timeouts are generous: they only bound a test that has gone
// wrong already.
namespace BrisvaneProcess {

inline constexpr int StartMs = 15000;
inline constexpr int UnloadMs = 30000;
inline constexpr int ExitMs = 10000;

// The path of the program `name` ("brisvane", "brisvane-modem") in the build folder.
QString program(const QString& name);

// Brisvane on the offscreen platform (or `platform`), configured only by the Vantrel.conf in
// `configFolder`, with `runtimeFolder` as its XDG_RUNTIME_DIR when one is given.
void launch(QProcess& brisvane, const QString& configFolder, const QString& runtimeFolder = {},
            const QStringList& arguments = {}, const QString& platform = QStringLiteral("offscreen"));

// Runs events until the process has ended; false after ExitMs.
bool waitForExit(QProcess& process);

} // namespace BrisvaneProcess
