// The program's entry point: reads the command line, then prints what it asks for (help,
// version, a usage error), runs a command-line action without any window, or starts the editor:
// the five windows, created once in order and kept for the whole run, then the event loop until
// the main window closes. Graphs that editors closed without saving are offered back first; then a
// graph file named on the command line is opened as the Open command opens it.

#include "CommandLine.h"
#include "ErrorHandler.h"
#include "ExportCommand.h"
#include "Startup.h"
#include "TextCodec.h"

#include <QIcon>

#include <cstdio>
#include <cstdlib>

namespace {

const char* const NoDisplayText = "cannot open a display: set DISPLAY, or use --export to convert without a window";

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Whether the platform Qt would start on has nothing to show windows on: X without DISPLAY and
// Wayland without WAYLAND_DISPLAY. A platform chosen by hand (offscreen, vnc, ...) is left to Qt.
bool NoDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const std::string chosen = platform ? platform : "";
    if (!chosen.empty() && chosen.rfind("xcb", 0) != 0 && chosen.rfind("wayland", 0) != 0) return false;
    return !Set("DISPLAY") && !Set("WAYLAND_DISPLAY");
}

// A display that is named but cannot be reached ends in Qt's fatal message: the user reads the
// one line instead of Qt's page on platform plugins. Qt's notes while it connects are dropped.
void ReportFailedDisplay(QtMsgType type, const QMessageLogContext&, const QString&) {
    if (type != QtFatalMsg) return;
    std::fprintf(stderr, "nodeloom: %s\n", NoDisplayText);
    std::_Exit(1);
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    // Byte for byte: a file name that is not UTF-8 still names its file.
    for (int i = 0; i < argc; ++i) arguments << DecodeFileName(QByteArray(argv[i]));
    const TCommandLine command = ParseCommandLine(arguments);
    if (command.action == TCommandLine::TAction::Exit) {
        std::fputs(command.output.toLocal8Bit().constData(), command.exitCode == 0 ? stdout : stderr);
        return command.exitCode;
    }
    if (command.action != TCommandLine::TAction::Start) return RunCommandLineAction(argc, argv, command);

    if (NoDisplay()) {
        std::fprintf(stderr, "nodeloom: %s\n", NoDisplayText);
        return 1;
    }
    QtMessageHandler previous = qInstallMessageHandler(ReportFailedDisplay);
    TApplication app(argc, argv);
    qInstallMessageHandler(previous);
    app.setWindowIcon(QIcon(QStringLiteral(":/nodeloom.png")));

    TWindows windows;
    TForm1& form1 = windows.form1;
    form1.show();
    // Recovery first: a graph left by a crash is offered before the file named here opens.
    Guarded([&] {
        form1.Start(command.file.isEmpty() ? std::string() : EncodeFileName(command.file).toStdString(),
                    command.layout);
    });
    if (!command.shows.isEmpty()) Guarded([&] { form1.ShowResults(command.shows, command.showColour); });
    if (!command.trace.isEmpty()) Guarded([&] { form1.ShowTrace(command.trace); });
    return app.exec();
}
