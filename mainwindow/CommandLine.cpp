#include "CommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>

TCommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Nodeloom, an editor for small graphs of vertices and edges."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A graph file (.gf4) to open."),
                                 QStringLiteral("[file]"));

    TCommandLine result;
    if (!parser.parse(arguments)) {
        result.action = TCommandLine::TAction::Exit;
        result.exitCode = 1;
        result.output = parser.errorText() + QLatin1Char('\n');
        return result;
    }
    if (parser.isSet(help)) {
        result.action = TCommandLine::TAction::Exit;
        result.output = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = TCommandLine::TAction::Exit;
        result.output = QStringLiteral("Nodeloom 5.1\n");
        return result;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        result.action = TCommandLine::TAction::Exit;
        result.exitCode = 1;
        result.output = QStringLiteral("Nodeloom opens one file at a time.\n");
        return result;
    }
    if (!files.isEmpty()) result.file = QFileInfo(files.first()).absoluteFilePath();
    return result;
}
