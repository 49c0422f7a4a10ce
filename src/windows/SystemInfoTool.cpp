#include "windows/SystemInfoTool.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

namespace SystemInfoTool {

const QList<Candidate>& candidates() {
    static const QList<Candidate> list = {
        {QStringLiteral("hardinfo"), {}},
        {QStringLiteral("kinfocenter"), {}},
        {QStringLiteral("gnome-system-monitor"), {}},
    };
    return list;
}

std::optional<Tool> find(const QString& searchPath) {
    QStringList folders;
    for (const QString& folder : searchPath.split(QDir::listSeparator(), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(folder)) {
            folders << folder;
        }
    }
    for (const Candidate& candidate : candidates()) {
        for (const QString& folder : folders) {
            const QFileInfo file(QDir(folder).filePath(candidate.name));
            if (file.isFile() && file.isExecutable()) {
                return Tool{file.absoluteFilePath(), candidate.arguments};
            }
        }
    }
    return std::nullopt;
}

std::optional<Tool> find() {
    return find(QProcessEnvironment::systemEnvironment().value(QStringLiteral("PATH")));
}

bool start(const Tool& tool) {
    return QProcess::startDetached(tool.program, tool.arguments);
}

} // namespace SystemInfoTool
