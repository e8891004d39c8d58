#include "CommandLine.h"

#include "Colors.h"
#include "ExerciseCommand.h"
#include "Formats.h"
#include "Geometry.h"
#include "ReportCommand.h"
#include "TextCodec.h"
#include "TraceCommand.h"
#include "Version.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstring>
#include <filesystem>
#include <stdexcept>
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
    for (const TFormat& format : Formats) {
        if (!format.exportAs) continue;
        QString endings;
        for (const char* ending : format.endings)
            if (ending) endings += (endings.isEmpty() ? QString() : QStringLiteral(", ")) + QString::fromLatin1(ending);
        list += QStringLiteral("  %1%2\n").arg(endings, -16).arg(QString::fromLatin1(format.description));
    }
    return list;
}

// Qt names the program in its usage line after the application object, "<executable_name>" when
// there is none: the usage line names the program as users call it.
QString HelpText(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    const qsizetype start = text.indexOf(QStringLiteral("Usage: ")), end = text.indexOf(QStringLiteral(" [options]"));
    if (start == 0 && end > start) text.replace(7, end - 7, QStringLiteral("nodeloom"));
    // The formats come last: scripts read the endings from there to the end.
    return text + ExerciseHelpText() +
           QStringLiteral(
               "\nUnsaved changes are kept in $XDG_STATE_HOME/nodeloom (by default ~/.local/state/nodeloom)\n"
               "and offered back at the next start after a crash.\n") +
           QStringLiteral("\nExport formats, chosen by the output's ending (any case):\n") + FormatList();
}

// The options and what --help says of them. One table: the parser is given every row, and the
// reading of --report, whose OUTPUT may be left out, knows from it which options take a value.
struct TOptionRow {
    const char* name;
    const char* valueName; // empty for a switch
};
constexpr TOptionRow OptionRows[] = {
    {"export", "OUTPUT"},    {"size", "WIDTHxHEIGHT"}, {"crop", ""},     {"layout", "LAYOUT"},   {"show", "RESULT"},
    {"show-colour", "NAME"}, {"report", ""},           {"describe", ""}, {"trace", "ALGORITHM"},
};

// Whether the word is an option followed by its value ("--show" or Qt's "-show").
bool TakesValue(const QString& word) {
    for (const TOptionRow& row : OptionRows) {
        if (!*row.valueName) continue;
        const QLatin1String name(row.name);
        if (word == QLatin1String("--") + name || word == QLatin1String("-") + name) return true;
    }
    return false;
}

// The other names on the line than the one at index skip: the graph file's candidates.
int NamesBesides(const QStringList& arguments, int skip) {
    int names = 0;
    for (int k = 1; k < arguments.size(); ++k) {
        if (TakesValue(arguments[k]))
            ++k;
        else if (k != skip && !arguments[k].startsWith(QLatin1Char('-')))
            ++names;
    }
    return names;
}

// Takes "OPTION [OUTPUT]" (--report, --describe) out of the arguments. OUTPUT is optional, so the
// word after the option is taken for it when it is "-", or a name that does not start with "-" and
// either has one of the option's endings or leaves another name for the graph file.
bool TakeOptionalOutput(QStringList& arguments, const QString& option, bool (*known)(const std::string& path),
                        QString& output) {
    bool found = false;
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i].startsWith(option + QLatin1Char('='))) {
            output = arguments[i].mid(option.size() + 1);
            arguments.removeAt(i--);
            found = true;
            continue;
        }
        if (arguments[i] != option) {
            if (TakesValue(arguments[i])) ++i;
            continue;
        }
        found = true;
        arguments.removeAt(i);
        if (i >= arguments.size()) break;
        const QString next = arguments[i];
        const bool ending = known(EncodeFileName(next).toStdString());
        if (next == QLatin1String("-") ||
            (!next.startsWith(QLatin1Char('-')) && (ending || NamesBesides(arguments, i) > 0))) {
            output = next;
            arguments.removeAt(i);
        }
        --i;
    }
    return found;
}

// The row's option with its help text; the value's name comes from the table.
QCommandLineOption Option(const char* name, const QString& help) {
    for (const TOptionRow& row : OptionRows)
        if (std::strcmp(row.name, name) == 0)
            return QCommandLineOption(QString::fromLatin1(name), help, QString::fromLatin1(row.valueName));
    throw std::logic_error("an option without a row in the table");
}

// Every option of the program, in the order --help lists them.
struct TOptions {
    QCommandLineOption help, version, exportOption, size, crop, layout, report, describe, show, showColour, trace;

    explicit TOptions(QCommandLineParser& parser)
        : help(parser.addHelpOption()), version(parser.addVersionOption()),
          exportOption(Option("export", QStringLiteral("Write the graph file to OUTPUT and exit, without a window. The "
                                                       "ending names the format: %1 (listed below). Repeat it to write "
                                                       "several files from one reading.")
                                            .arg(QString::fromStdString(KnownEndings(TFormatUse::Export))))),
          size(Option("size", QStringLiteral("With --export: the picture's size in pixels, each at most %1 (default: "
                                             "the drawing and a margin of %2).")
                                  .arg(geometry::MaxPictureSide)
                                  .arg(geometry::PictureMargin))),
          crop(Option("crop", QStringLiteral("With --export: pictures of the drawing alone, its box and a margin of "
                                             "%1 on every side, instead of the surface from its top left corner.")
                                  .arg(geometry::PictureMargin))),
          layout(Option("layout", QStringLiteral("Place the vertices: neato (Graphviz's spring layout), circle, grid, "
                                                 "or keep (the file's positions). Default: keep for a gf4 file and "
                                                 "for files that give every vertex a position, neato for the "
                                                 "others."))),
          // Listed for --help; TakeOptionalOutput reads it and --describe, as their OUTPUT may be left out.
          report(Option("report", QStringLiteral("[OUTPUT]: write the analysis report of the graph file and exit, "
                                                 "without a window. OUTPUT ends %1; none or \"-\" writes text on "
                                                 "standard output.")
                                      .arg(QString::fromStdString(KnownReportEndings())))),
          describe(Option(
              "describe",
              QStringLiteral("[OUTPUT]: describe the graph file in words and exit, without a window: a short text of "
                             "at most 150 characters, then every vertex with its neighbours and weights, the graph's "
                             "properties and the --show results. OUTPUT ends %1; none or \"-\" writes text on "
                             "standard output. With --export, the pictures carry the description (SVG title and "
                             "desc, TikZ alt text, PNG Description, PDF title and subject), and it is written "
                             "elsewhere only when OUTPUT is given.")
                  .arg(QString::fromStdString(KnownDescriptionEndings())))),
          show(Option("show", QStringLiteral("With --export: draw a result into the picture; with --report: add it to "
                                             "the report; alone: open the editor with it drawn on the graph. One of "
                                             "path:A,B bfs:A dfs:A mst euler matching colouring "
                                             "components flow:S,T; a vertex by its name or as #N. May be given "
                                             "more than once."))),
          showColour(Option("show-colour", QStringLiteral("With --show: the colour of the result's edges and texts, "
                                                          "one of the 16 colour names."))),
          trace(Option("trace", TraceHelp())) {
        for (const QCommandLineOption* option :
             {&exportOption, &size, &crop, &layout, &report, &describe, &show, &showColour, &trace})
            parser.addOption(*option);
        parser.addPositionalArgument(
            QStringLiteral("file"),
            QStringLiteral("A graph file to open: %1.").arg(QString::fromStdString(ReadableFormatsText())),
            QStringLiteral("[file]"));
    }
};

// --report, --describe and --show: the analysis's part of the command line; nothing when it is
// consistent. result.describe and describePath are set already.
std::optional<TCommandLine> ReadAnalysis(const QCommandLineParser& parser, const TOptions& o, bool report,
                                         const QString& reportPath, const QStringList& files, TCommandLine& result) {
    // Alone, --show opens the editor with the results drawn on the surface.
    if (parser.isSet(o.showColour) && !parser.isSet(o.show))
        return Exit(1, QStringLiteral("--show-colour is given with --show only.\n"));
    if (result.describe && !report && !parser.isSet(o.show) && files.isEmpty())
        return Exit(1, QStringLiteral("Cannot describe: no graph file is named.\n"));
    if (parser.isSet(o.showColour) && parser.value(o.showColour).isEmpty())
        return Exit(
            1,
            QStringLiteral("Unknown colour \"\"; the colours are %1.\n").arg(QString::fromStdString(ColorNameList())));
    if (report || parser.isSet(o.show)) {
        if (files.isEmpty()) return Exit(1, QStringLiteral("Cannot report: no graph file is named.\n"));
        result.report = report;
        result.reportPath = reportPath;
        result.shows = parser.values(o.show);
        result.showColour = parser.value(o.showColour);
    }
    return std::nullopt;
}

// --export with --size and --crop.
TCommandLine ReadExport(const QCommandLineParser& parser, const TOptions& o, const QStringList& files,
                        TCommandLine result) {
    result.action = result.report || result.describe || !result.shows.isEmpty() || !result.trace.isEmpty()
                        ? TCommandLine::TAction::Report
                        : TCommandLine::TAction::Export;
    result.exportPaths = parser.values(o.exportOption);
    result.exportCrop = parser.isSet(o.crop);
    const QString& first = result.exportPaths.first();
    if (files.isEmpty())
        return Exit(1, QStringLiteral("Cannot export to \"%1\": no graph file is named.\n").arg(first));
    result.file = files.first();
    const QString size = parser.value(o.size);
    if (parser.isSet(o.size) && !ParseSize(size, result.exportWidth, result.exportHeight))
        return Exit(1, QStringLiteral("Cannot export to \"%1\": the size \"%2\" is not WIDTHxHEIGHT, two whole "
                                      "numbers from 1 to %3.\n")
                           .arg(first, size)
                           .arg(geometry::MaxPictureSide));
    return result;
}

} // namespace

TCommandLine ParseCommandLine(const QStringList& arguments) {
    if (IsExerciseCommand(arguments)) return ParseExerciseCommandLine(arguments);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Nodeloom, an editor for small graphs of vertices and edges."));
    const TOptions o(parser);

    QStringList rest = arguments;
    QString reportPath;
    TCommandLine result;
    result.describe = TakeOptionalOutput(
        rest, QStringLiteral("--describe"), [](const std::string& path) { return DescriptionFormOf(path).has_value(); },
        result.describePath);
    const bool report = TakeOptionalOutput(
        rest, QStringLiteral("--report"), [](const std::string& path) { return ReportFormOf(path).has_value(); },
        reportPath);
    if (!parser.parse(rest)) return Exit(1, parser.errorText() + QLatin1Char('\n'));
    if (parser.isSet(o.help) || parser.isSet(QStringLiteral("help-all"))) return Exit(0, HelpText(parser));
    if (parser.isSet(o.version)) return Exit(0, QStringLiteral(NODELOOM_PRODUCT "\n"));
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) return Exit(1, QStringLiteral("Nodeloom opens one file at a time.\n"));

    if (parser.isSet(o.layout)) {
        const QString layout = parser.value(o.layout);
        result.layout = LayoutOf(layout.toStdString());
        if (!result.layout)
            return Exit(1, QStringLiteral("The layout \"%1\" is none of neato, circle, grid and keep.\n").arg(layout));
    }
    if (parser.isSet(o.trace)) {
        const QString refused = TraceArguments(parser.values(o.trace), report, parser.isSet(o.exportOption),
                                               parser.isSet(o.show), parser.positionalArguments(), result.trace);
        if (!refused.isEmpty()) return Exit(1, refused);
    }
    if (std::optional<TCommandLine> refused = ReadAnalysis(parser, o, report, reportPath, files, result))
        return *refused;
    if (parser.isSet(o.size) && !parser.isSet(o.exportOption))
        return Exit(1, QStringLiteral("--size is given with --export only.\n"));
    if ((report || result.describe) && !parser.isSet(o.exportOption)) {
        result.action = TCommandLine::TAction::Report;
        result.file = files.first();
        return result;
    }
    if (parser.isSet(o.exportOption)) return ReadExport(parser, o, files, result);
    if (!files.isEmpty()) result.file = AbsolutePath(files.first());
    return result;
}
