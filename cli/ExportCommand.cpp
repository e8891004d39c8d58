#include "ExportCommand.h"

#include "CommandOutput.h"
#include "ExerciseCommand.h"
#include "GraphExport.h"
#include "GraphSource.h"
#include "Graph_obj.h"
#include "ReportCommand.h"
#include "SafeFile.h"
#include "TextCodec.h"

#include <QGuiApplication>

#include <cstdio>
#include <memory>
#include <stdexcept>

std::string ExportGraphFile(const std::string& input, const std::vector<std::string>& outputs,
                            std::optional<TPictureSize> size, std::optional<TLayout> layout,
                            std::vector<std::string>* notes, bool crop) {
    // Every output is checked before anything is read or written.
    std::vector<TExportFormat> formats;
    for (const std::string& output : outputs) {
        const std::optional<TExportFormat> format = ExportFormatOf(output);
        if (!format)
            return "Cannot export to " + Quoted(output) + ": unknown ending; the known ones are " +
                   KnownEndings(TFormatUse::Export);
        if (SameFile(input, output)) return "Cannot export to " + Quoted(output) + ": it is the graph file being read";
        formats.push_back(*format);
    }

    auto g = std::make_unique<Tgraph>();
    TGraphSource source;
    const bool read = ReadGraphSource(input, layout, *g, source);
    if (notes) *notes = source.notes;
    if (!read) return SourceFailureText(input, source);
    // A damaged file would be written as what could be read of it, silently: the user is told instead.
    if (!source.damage.empty()) return DamageText(input, source.damage);
    if (crop)
        size = size ? *size : CropGraph(*g);
    else
        ShiftIntoPicture(*g);

    for (std::size_t i = 0; i < outputs.size(); ++i) {
        try {
            ExportToFile(*g, formats[i], size, outputs[i]);
        } catch (const TExportError& e) {
            return e.what();
        }
    }
    return {};
}

int RunCommandLineAction(int& argc, char** argv, const TCommandLine& command) {
    if (command.action == TCommandLine::TAction::Report) return RunReportCommand(argc, argv, command);
    if (command.action == TCommandLine::TAction::Exercise) return RunExerciseCommand(argc, argv, command);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's notes about the environment (no runtime folder, for one) are no concern of a command
    // that prints nothing on success; its failures are reported below.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtFatalMsg) std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    });
    const QGuiApplication app(argc, argv); // the fonts of the pictures
    std::optional<TPictureSize> size;
    if (command.exportWidth > 0) size = TPictureSize{command.exportWidth, command.exportHeight};
    std::vector<std::string> outputs;
    for (const QString& path : command.exportPaths) outputs.push_back(EncodeFileName(path).toStdString());
    std::vector<std::string> notes;
    const std::string error = ExportGraphFile(EncodeFileName(command.file).toStdString(), outputs, size, command.layout,
                                              &notes, command.exportCrop);
    for (const std::string& note : notes) std::fprintf(stderr, "%s\n", note.c_str());
    if (error.empty()) return 0;
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
}
