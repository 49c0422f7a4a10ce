#include "BrisvaneProcess.h"

#include <QProcessEnvironment>
#include <QTest>

namespace BrisvaneProcess {

QString program(const QString& name) {
    return qEnvironmentVariable("BRISVANE_BUILD_DIR") + QLatin1Char('/') + name;
}

void launch(QProcess& brisvane, const QString& configFolder, const QString& runtimeFolder, const QStringList& arguments,
            const QString& platform) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder);
    // Its call history beside its settings, never the user's own.
    environment.insert(QStringLiteral("XDG_DATA_HOME"), configFolder + QStringLiteral("/data"));
    if (!runtimeFolder.isEmpty()) {
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
    }
    brisvane.setProcessEnvironment(environment);
    brisvane.start(program(QStringLiteral("brisvane")), arguments);
}

bool waitForExit(QProcess& process) {
    return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, ExitMs);
}

} // namespace BrisvaneProcess
