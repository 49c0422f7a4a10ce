#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Finding and starting a program that shows the machine's system information. Linux has no one
// such tool, so the first installed of a short list of Debian's is taken.
namespace SystemInfoTool {

struct Tool {
    QString program; // absolute path
    QStringList arguments;
};

// The programs looked for, best first, with the arguments each is started with.
struct Candidate {
    QString name;
    QStringList arguments;
};
const QList<Candidate>& candidates();

// The first candidate that is an executable file in one of the folders of `searchPath` (a PATH
// value). Empty and relative entries of the path are passed over: they would make the search
// depend on the current folder.
std::optional<Tool> find(const QString& searchPath);
// The same, with this process's PATH.
std::optional<Tool> find();

// Starts the tool on its own, so it outlives the About window and the program. False when it
// could not be started.
bool start(const Tool& tool);

} // namespace SystemInfoTool
