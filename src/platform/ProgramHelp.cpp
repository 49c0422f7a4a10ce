#include "platform/ProgramHelp.h"

#include <QCommandLineParser>

QString helpText(const QCommandLineParser& parser, const QString& program) {
    QString text = parser.helpText();
    const QLatin1String usage("Usage: ");
    const qsizetype options = text.indexOf(QLatin1String(" [options]"));
    if (text.startsWith(usage) && options > usage.size()) {
        text.replace(usage.size(), options - usage.size(), program);
    }
    return text;
}
