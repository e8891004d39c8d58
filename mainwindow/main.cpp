// Start-up: the five windows, created once in order and kept for the whole run, then the event
// loop until the main window closes. A graph file named on the command line is opened as the
// Open command opens it; with --export it is written to another format instead, without a window.

#include "CommandLine.h"
#include "ErrorHandler.h"
#include "Startup.h"
#include "TextCodec.h"

#include <QIcon>

#include <cstdio>

int main(int argc, char** argv) {
    QStringList arguments;
    // Byte for byte: a file name that is not UTF-8 still names its file.
    for (int i = 0; i < argc; ++i) arguments << DecodeFileName(QByteArray(argv[i]));
    const TCommandLine command = ParseCommandLine(arguments);
    if (command.action == TCommandLine::TAction::Exit) {
        std::fputs(command.output.toLocal8Bit().constData(), command.exitCode == 0 ? stdout : stderr);
        return command.exitCode;
    }
    if (command.action == TCommandLine::TAction::Export) return RunExport(argc, argv, command);
    if (command.action == TCommandLine::TAction::Report) return RunReportCommand(argc, argv, command);

    TApplication app(argc, argv);
    app.setWindowIcon(QIcon(QStringLiteral(":/nodeloom.png")));

    TWindows windows;
    TForm1& form1 = windows.form1;
    form1.show();
    if (!command.file.isEmpty()) form1.OpenGraphFile(EncodeFileName(command.file).toStdString());
    return app.exec();
}
