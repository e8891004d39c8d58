#include "CommandLine.h"

#include "ExerciseCommand.h"
#include "Geometry.h"
#include "GraphExport.h"
#include "ReportCommand.h"
#include "TextCodec.h"
#include "TraceCommand.h"
#include "Version.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <filesystem>
#include <system_error>

namespace {

TCommandLine Exit(int code, const QString& output) {
    TCommandLine result;
    result.action = TCommandLine::TAction::Exit;
    result.exitCode = code;
    result.output = output;
    return result;
}

// "WIDTHxHEIGHT", two whole numbers from 1 to the largest picture side; false for anything else.
bool ParseSize(const QString& text, int& width, int& height) {
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,6})[xX]([0-9]{1,6})$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return false;
    width = m.captured(1).toInt();
    height = m.captured(2).toInt();
    return width >= 1 && height >= 1 && width <= geometry::MaxPictureSide && height <= geometry::MaxPictureSide;
}

// The file's absolute path, kept byte for byte as DecodeFileName reads names: QFileInfo would
// pass a relative name through a conversion that loses bytes which are not UTF-8.
QString AbsolutePath(const QString& file) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    if (!QDir::isRelativePath(file) || error) return QFileInfo(file).absoluteFilePath();
    return DecodeFileName(QByteArray::fromStdString(folder.native())) + QLatin1Char('/') + file;
}

// The export formats as the help lists them, one a line.
QString FormatList() {
    QString list;
    for (const TExportFormatInfo& info : ExportFormats) {
        QString endings = QString::fromLatin1(info.ending);
        if (info.otherEnding) endings += QStringLiteral(", ") + QString::fromLatin1(info.otherEnding);
        list += QStringLiteral("  %1%2\n").arg(endings, -16).arg(QString::fromLatin1(info.description));
    }
    return list;
}

// Qt names the program in its usage line after the application object, "<executable_name>" when
// there is none: the usage line names the program as users call it.
QString HelpText(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    const qsizetype start = text.indexOf(QStringLiteral("Usage: ")), end = text.indexOf(QStringLiteral(" [options]"));
    if (start == 0 && end > start) text.replace(7, end - 7, QStringLiteral("nodeloom"));
    return text + QStringLiteral("\nExport formats, chosen by the output's ending (any case):\n") + FormatList() +
           ExerciseHelpText();
}

// Takes "--report [OUTPUT]" out of the arguments. OUTPUT is optional, so the word after --report
// is taken for it when it is "-", or a name that does not start with "-" and either has a report
// ending or leaves another name for the graph file.
bool TakeReport(QStringList& arguments, QString& output) {
    const auto takesValue = [](const QString& a) {
        for (const char* o : {"--export", "--size", "--show", "--show-colour", "--trace", "-export", "-size", "-show",
                              "-show-colour", "-trace"})
            if (a == QLatin1String(o)) return true;
        return false;
    };
    bool found = false;
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i].startsWith(QLatin1String("--report="))) {
            output = arguments[i].mid(9);
            arguments.removeAt(i--);
            found = true;
            continue;
        }
        if (arguments[i] != QLatin1String("--report")) {
            if (takesValue(arguments[i])) ++i;
            continue;
        }
        found = true;
        arguments.removeAt(i);
        if (i >= arguments.size()) break;
        const QString next = arguments[i];
        int names = 0; // the other names on the line
        for (int k = 1; k < arguments.size(); ++k) {
            if (takesValue(arguments[k]))
                ++k;
            else if (k != i && !arguments[k].startsWith(QLatin1Char('-')))
                ++names;
        }
        const QString lower = next.toLower();
        const bool ending = lower.endsWith(QLatin1String(".json")) || lower.endsWith(QLatin1String(".txt")) ||
                            lower.endsWith(QLatin1String(".tex"));
        if (next == QLatin1String("-") || (!next.startsWith(QLatin1Char('-')) && (ending || names > 0))) {
            output = next;
            arguments.removeAt(i);
        }
        --i;
    }
    return found;
}

} // namespace

TCommandLine ParseCommandLine(const QStringList& arguments) {
    if (IsExerciseCommand(arguments)) return ParseExerciseCommandLine(arguments);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Nodeloom, an editor for small graphs of vertices and edges."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption exportOption(
        QStringLiteral("export"),
        QStringLiteral("Write the graph file to OUTPUT and exit, without a window. The ending names the "
                       "format: %1 (.tex: TikZ). Repeat it to write several files from one reading.")
            .arg(QString::fromStdString(KnownExportEndings())),
        QStringLiteral("OUTPUT"));
    const QCommandLineOption sizeOption(
        QStringLiteral("size"),
        QStringLiteral("With --export: the picture's size in pixels, each at most %1 (default: the drawing "
                       "and a margin of %2).")
            .arg(geometry::MaxPictureSide)
            .arg(geometry::PictureMargin),
        QStringLiteral("WIDTHxHEIGHT"));
    const QCommandLineOption cropOption(
        QStringLiteral("crop"),
        QStringLiteral("With --export: pictures of the drawing alone, its box and a margin of %1 on every "
                       "side, instead of the surface from its top left corner.")
            .arg(geometry::PictureMargin));
    const QCommandLineOption layoutOption(
        QStringLiteral("layout"),
        QStringLiteral("Place the vertices: neato (Graphviz's spring layout), circle, grid, or keep (the file's "
                       "positions). Default: keep for a gf4 file and for files that give every vertex a position, "
                       "neato for the others."),
        QStringLiteral("LAYOUT"));
    const QCommandLineOption showOption(
        QStringLiteral("show"),
        QStringLiteral("With --export: draw a result into the picture; with --report: add it to the report. One of "
                       "path:A,B bfs:A dfs:A mst euler matching colouring components flow:S,T; a vertex by its name "
                       "or as #N. May be given more than once."),
        QStringLiteral("RESULT"));
    const QCommandLineOption showColourOption(
        QStringLiteral("show-colour"),
        QStringLiteral("With --show: the colour of the result's edges and texts, one of the 16 colour names."),
        QStringLiteral("NAME"));
    parser.addOption(exportOption);
    parser.addOption(sizeOption);
    parser.addOption(cropOption);
    parser.addOption(layoutOption);
    // Listed for --help; TakeReport reads it, as its OUTPUT may be left out.
    parser.addOption(QCommandLineOption(
        QStringLiteral("report"),
        QStringLiteral("[OUTPUT]: write the analysis report of the graph file and exit, without a window. OUTPUT ends "
                       "%1; none or \"-\" writes text on standard output.")
            .arg(QString::fromLatin1(KnownReportEndings))));
    parser.addOption(showOption);
    parser.addOption(showColourOption);
    const QCommandLineOption traceOption = TraceOption();
    parser.addOption(traceOption);
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("A graph file to open: gf4, or by its ending GraphML (.graphml), DOT (.dot, .gv), graph6 or "
                       "sparse6 (.g6, .s6), an edge list or adjacency matrix (.txt, .csv)."),
        QStringLiteral("[file]"));

    QStringList rest = arguments;
    QString reportPath;
    const bool report = TakeReport(rest, reportPath);
    if (!parser.parse(rest)) return Exit(1, parser.errorText() + QLatin1Char('\n'));
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) return Exit(0, HelpText(parser));
    if (parser.isSet(version)) return Exit(0, QStringLiteral(NODELOOM_PRODUCT "\n"));
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) return Exit(1, QStringLiteral("Nodeloom opens one file at a time.\n"));

    TCommandLine result;
    if (parser.isSet(layoutOption)) {
        const QString layout = parser.value(layoutOption);
        result.layout = LayoutOf(layout.toStdString());
        if (!result.layout)
            return Exit(1, QStringLiteral("The layout \"%1\" is none of neato, circle, grid and keep.\n").arg(layout));
    }
    if (parser.isSet(traceOption)) {
        const QString refused = TraceArguments(parser.values(traceOption), report, parser.isSet(exportOption),
                                               parser.isSet(showOption), result.trace);
        if (!refused.isEmpty()) return Exit(1, refused);
    }
    if (parser.isSet(showOption) && !report && !parser.isSet(exportOption))
        return Exit(1, QStringLiteral("--show is given with --export or --report only.\n"));
    if (parser.isSet(showColourOption) && !parser.isSet(showOption))
        return Exit(1, QStringLiteral("--show-colour is given with --show only.\n"));
    if (report || parser.isSet(showOption)) {
        if (files.isEmpty()) return Exit(1, QStringLiteral("Cannot report: no graph file is named.\n"));
        result.report = report;
        result.reportPath = reportPath;
        result.shows = parser.values(showOption);
        result.showColour = parser.value(showColourOption);
    }
    if (report && !parser.isSet(exportOption)) {
        if (parser.isSet(sizeOption)) return Exit(1, QStringLiteral("--size is given with --export only.\n"));
        result.action = TCommandLine::TAction::Report;
        result.file = files.first();
        return result;
    }
    if (parser.isSet(sizeOption) && !parser.isSet(exportOption))
        return Exit(1, QStringLiteral("--size is given with --export only.\n"));
    if (parser.isSet(exportOption)) {
        result.action = report || parser.isSet(showOption) || parser.isSet(traceOption) ? TCommandLine::TAction::Report
                                                                                        : TCommandLine::TAction::Export;
        result.exportPaths = parser.values(exportOption);
        result.exportCrop = parser.isSet(cropOption);
        const QString& first = result.exportPaths.first();
        if (files.isEmpty())
            return Exit(1, QStringLiteral("Cannot export to \"%1\": no graph file is named.\n").arg(first));
        result.file = files.first();
        const QString size = parser.value(sizeOption);
        if (parser.isSet(sizeOption) && !ParseSize(size, result.exportWidth, result.exportHeight))
            return Exit(1, QStringLiteral("Cannot export to \"%1\": the size \"%2\" is not WIDTHxHEIGHT, two whole "
                                          "numbers from 1 to %3.\n")
                               .arg(first, size)
                               .arg(geometry::MaxPictureSide));
        return result;
    }
    if (!files.isEmpty()) result.file = AbsolutePath(files.first());
    return result;
}
