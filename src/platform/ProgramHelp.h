#pragma once

#include <QString>

class QCommandLineParser;

// The parser's help text with `program` as the name in its "Usage:" line. Help is answered before
// any application object exists, when the parser cannot know the program's name.
QString helpText(const QCommandLineParser& parser, const QString& program);
