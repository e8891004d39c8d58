#include "ExerciseCommand.h"

#include "Check.h"
#include "ExamCommand.h"
#include "Generate.h"
#include "GraphSource.h"
#include "ReportCommand.h"
#include "SafeFile.h"
#include "TextCodec.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

// Answers and task files are small: anything larger is refused unread.
constexpr std::uint64_t MaxAnswerBytes = std::uint64_t(1) << 20;

const char* const ActionOptions[] = {"--generate", "--check", "--check-dir", "--exam"};

struct TOptions {
    QCommandLineOption generate{
        QStringLiteral("generate"),
        QStringLiteral("Make an exercise graph from CONSTRAINTS, a comma-separated list of vertices=A..B, "
                       "edges=A..B, weights=A..B, directed, connected, planar, acyclic, bipartite, "
                       "euler, unique-mst, unique-paths; with --seed. Writes it to --export's "
                       "files, reports it with --report, or prints the gf4 file."),
        QStringLiteral("CONSTRAINTS")};
    QCommandLineOption seed{
        QStringLiteral("seed"),
        QStringLiteral("With --generate and --exam: the random seed, a whole number from 0; the same "
                       "CONSTRAINTS and seed give the same graph on every machine."),
        QStringLiteral("N")};
    QCommandLineOption check{QStringLiteral("check"),
                             QStringLiteral("Check the answer in the file ANSWER against --task TASK.json; the verdict "
                                            "as JSON on standard output. Exit 0 correct, 1 not, 2 unreadable."),
                             QStringLiteral("ANSWER")};
    QCommandLineOption checkDir{
        QStringLiteral("check-dir"),
        QStringLiteral("Check every file in DIR against --task TASK.json; a CSV of file, correct, "
                       "points, of, message to --report's file or standard output."),
        QStringLiteral("DIR")};
    QCommandLineOption task{
        QStringLiteral("task"),
        QStringLiteral("With --check and --check-dir: {\"graph\": FILE, \"question\": QUESTION}, one of "
                       "shortest-path:S,T path:S,T mst spanning-tree bfs:S dfs:S colouring colouring:K "
                       "euler topological matching max-flow:S,T."),
        QStringLiteral("TASK.json")};
    QCommandLineOption exam{
        QStringLiteral("exam"),
        QStringLiteral("Write exam sheets and their answer key: {\"title\", \"graph\": CONSTRAINTS, \"tasks\": "
                       "[...]} with --variants K --seed N --export exam.tex (or exam.pdf)."),
        QStringLiteral("TASKS.json")};
    QCommandLineOption variants{QStringLiteral("variants"),
                                QStringLiteral("With --exam: how many variants, 1 to 1000; variant i uses seed N + i."),
                                QStringLiteral("K")};
    QCommandLineOption exportOption{QStringLiteral("export"), QString(), QStringLiteral("OUTPUT")};
    QCommandLineOption show{QStringLiteral("show"), QString(), QStringLiteral("RESULT")};
    QCommandLineOption showColour{QStringLiteral("show-colour"), QString(), QStringLiteral("NAME")};
    QCommandLineOption size{QStringLiteral("size"), QString(), QStringLiteral("WIDTHxHEIGHT")};
    QCommandLineOption trace{QStringLiteral("trace"), QString(), QStringLiteral("ALGORITHM")};

    void AddTo(QCommandLineParser& parser, bool all) const {
        for (const QCommandLineOption* o : {&generate, &seed, &check, &checkDir, &task, &exam, &variants})
            parser.addOption(*o);
        if (all)
            for (const QCommandLineOption* o : {&exportOption, &show, &showColour, &size, &trace}) parser.addOption(*o);
    }
};

// Takes "--report [OUTPUT]" out: OUTPUT is the next word when it does not start with "-".
bool TakeReport(QStringList& arguments, QString& output) {
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i].startsWith(QLatin1String("--report="))) {
            output = arguments[i].mid(9);
            arguments.removeAt(i);
            return true;
        }
        if (arguments[i] != QLatin1String("--report")) continue;
        arguments.removeAt(i);
        if (i < arguments.size() &&
            (arguments[i] == QLatin1String("-") || !arguments[i].startsWith(QLatin1Char('-')))) {
            output = arguments[i];
            arguments.removeAt(i);
        }
        return true;
    }
    return false;
}

bool ReadSeed(const QString& text, std::uint64_t& seed) {
    const std::string digits = text.toStdString();
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), seed);
    return !digits.empty() && ec == std::errc() && end == digits.data() + digits.size();
}

struct TParsed {
    QString error;
    QString action; // "generate", "check", "check-dir" or "exam"
    QString value, task, reportPath;
    bool report = false;
    std::uint64_t seed = 0;
    int variants = 0;
    QStringList exports, shows;
    QString showColour, size, trace;
};

TParsed Parse(const QStringList& arguments) {
    TParsed r;
    QStringList rest = arguments;
    r.report = TakeReport(rest, r.reportPath);
    QCommandLineParser parser;
    const TOptions o;
    o.AddTo(parser, true);
    if (!parser.parse(rest)) return r.error = parser.errorText(), r;
    if (!parser.positionalArguments().isEmpty())
        return r.error =
                   QStringLiteral("\"%1\" is not an option of this action.").arg(parser.positionalArguments().first()),
               r;
    int actions = 0;
    for (const auto& [option, word] : {std::pair{&o.generate, "generate"}, std::pair{&o.check, "check"},
                                       std::pair{&o.checkDir, "check-dir"}, std::pair{&o.exam, "exam"}})
        if (parser.isSet(*option)) ++actions, r.action = QString::fromLatin1(word), r.value = parser.value(*option);
    if (actions != 1) {
        r.action.clear();
        return r.error = QStringLiteral("Give one of --generate, --check, --check-dir and --exam."), r;
    }
    r.task = parser.value(o.task);
    r.exports = parser.values(o.exportOption);
    r.shows = parser.values(o.show);
    r.showColour = parser.value(o.showColour);
    r.size = parser.value(o.size);
    r.trace = parser.value(o.trace);
    if (parser.values(o.trace).size() > 1) return r.error = QStringLiteral("--trace is given once."), r;
    if (parser.isSet(o.trace) && r.action != QLatin1String("generate"))
        return r.error = QStringLiteral("--trace is given with --generate only."), r;
    if (parser.isSet(o.trace) && !r.shows.isEmpty())
        return r.error = QStringLiteral("--trace and --show are not given together."), r;
    const bool seeded = r.action == QLatin1String("generate") || r.action == QLatin1String("exam");
    const bool checking = !seeded;
    if (seeded && !parser.isSet(o.seed)) return r.error = QStringLiteral("--%1 needs --seed N.").arg(r.action), r;
    if (parser.isSet(o.seed) && !ReadSeed(parser.value(o.seed), r.seed))
        return r.error = QStringLiteral("The seed \"%1\" is not a whole number from 0 to 2^64 - 1.")
                             .arg(parser.value(o.seed)),
               r;
    if (!seeded && parser.isSet(o.seed))
        return r.error = QStringLiteral("--seed is given with --generate or --exam only."), r;
    if (checking && r.task.isEmpty()) return r.error = QStringLiteral("--%1 needs --task TASK.json.").arg(r.action), r;
    if (!checking && parser.isSet(o.task))
        return r.error = QStringLiteral("--task is given with --check or --check-dir only."), r;
    if (checking && (!r.exports.isEmpty() || !r.shows.isEmpty() || !r.size.isEmpty()))
        return r.error = QStringLiteral("--%1 writes no pictures.").arg(r.action), r;
    if (r.action == QLatin1String("check") && r.report)
        return r.error = QStringLiteral("--check writes its verdict to standard output."), r;
    if (r.action == QLatin1String("exam")) {
        bool number = false;
        r.variants = parser.value(o.variants).toInt(&number);
        if (!number || r.variants < 1 || r.variants > 1000)
            return r.error = QStringLiteral("--exam needs --variants K, K from 1 to 1000."), r;
        if (r.exports.size() != 1)
            return r.error = QStringLiteral("--exam needs one --export exam.tex or exam.pdf."), r;
        if (r.report || !r.shows.isEmpty() || !r.size.isEmpty())
            return r.error = QStringLiteral("--exam takes --variants, --seed and --export only."), r;
    } else if (parser.isSet(o.variants)) {
        return r.error = QStringLiteral("--variants is given with --exam only."), r;
    }
    if ((!r.shows.isEmpty() || !r.trace.isEmpty()) && r.exports.isEmpty() && !r.report)
        return r.error = QStringLiteral("--show and --trace are given with --export or --report only."), r;
    if (!r.showColour.isEmpty() && r.shows.isEmpty())
        return r.error = QStringLiteral("--show-colour is given with --show only."), r;
    if (!r.size.isEmpty())
        return r.error = QStringLiteral("--generate draws its pictures at the size of the drawing; leave out --size."),
               r;
    return r;
}

int Fail(int code, const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    return code;
}

std::string Encoded(const QString& path) { return EncodeFileName(path).toStdString(); }

int RunGenerate(int& argc, char** argv, const TParsed& r) {
    auto g = std::make_unique<Tgraph>();
    try {
        analysis::Generate(analysis::ParseGenerateSpec(r.value.toStdString()), r.seed, *g);
    } catch (const analysis::TAnalysisError& e) {
        return Fail(1, e.what());
    }
    // Every output comes from the graph as its gf4 file reads back, so that the one printed and
    // the one exported are the same bytes.
    const std::string bytes = GraphFileText(*g);
    if (r.exports.isEmpty() && !r.report) {
        LoadGraphFromText(*g, bytes, std::string());
        const std::string read = GraphFileText(*g);
        std::fwrite(read.data(), 1, read.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : Fail(1, "Cannot write the graph to standard output.");
    }
    // The report and the trace read the graph as a file: the gf4 file holds the graph exactly.
    const QTemporaryDir folder;
    if (!folder.isValid()) return Fail(1, "Cannot generate: no temporary folder for the graph.");
    TReportRequest request;
    request.file = Encoded(folder.filePath(QStringLiteral("generated.gf4")));
    if (const TFileFailure written = AsFileFailure(ReplaceFile(request.file, bytes)))
        return Fail(1, WriteFailureText(request.file, written));
    request.report = r.report;
    request.reportPath = Encoded(r.reportPath);
    for (const QString& path : r.exports) request.exportPaths.push_back(Encoded(path));
    for (const QString& show : r.shows) request.shows.push_back(show.toStdString());
    request.showColour = r.showColour.toStdString();
    request.trace = r.trace.toStdString();
    if (request.exportPaths.empty()) return RunReport(request);
    // Pictures need the fonts of an application; the offscreen one, whatever the display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtFatalMsg) std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    });
    const QGuiApplication app(argc, argv);
    return RunReport(request);
}

// The graph and question of a task file; false with the message when it cannot be read.
bool ReadTask(const std::string& path, Tgraph& g, analysis::TQuestion& question, std::string& error) {
    std::string bytes;
    if (const TFileFailure failure = ReadWholeFile(path, bytes, MaxAnswerBytes)) {
        error = OpenFailureText(path, failure);
        return false;
    }
    const analysis::TJson task = analysis::TJson::parse(bytes, nullptr, false);
    if (task.is_discarded() || !task.is_object() || !task.contains("graph") || !task["graph"].is_string() ||
        !task.contains("question") || !task["question"].is_string()) {
        error = "Cannot read the task \"" + path + "\": it is not {\"graph\": FILE, \"question\": QUESTION}.";
        return false;
    }
    std::filesystem::path graph = task["graph"].get<std::string>();
    if (graph.is_relative()) graph = std::filesystem::path(path).parent_path() / graph;
    TGraphSource source;
    if (!ReadGraphSource(graph.string(), std::nullopt, g, source)) {
        error = SourceFailureText(graph.string(), source);
        return false;
    }
    if (!source.damage.empty()) {
        error = DamageText(graph.string(), source.damage);
        return false;
    }
    try {
        question = analysis::ParseQuestion(g, task["question"].get<std::string>());
    } catch (const analysis::TAnalysisError& e) {
        error = "Cannot read the task \"" + path + "\": " + e.what();
        return false;
    }
    return true;
}

bool GraphEnding(const std::string& path) {
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* ending : {".gf4", ".graphml", ".dot", ".gv", ".g6", ".s6"})
        if (lower.size() > std::strlen(ending) &&
            lower.compare(lower.size() - std::strlen(ending), std::string::npos, ending) == 0)
            return true;
    return false;
}

// The verdict on one answer file; false with the message when it cannot be read.
bool CheckFile(const Tgraph& g, const analysis::TQuestion& question, const std::string& path, analysis::TJson& verdict,
               std::string& error) {
    analysis::TAnswer answer;
    if (GraphEnding(path)) {
        auto drawn = std::make_unique<Tgraph>();
        TGraphSource source;
        if (!ReadGraphSource(path, TLayout::Keep, *drawn, source) || !source.damage.empty()) {
            error = source.damage.empty() ? SourceFailureText(path, source) : DamageText(path, source.damage);
            return false;
        }
        answer.fromGraph = true;
        for (int s = 1; s <= drawn->vertexCount; ++s)
            for (const Tedge* e = drawn->edgeLists[s].get(); e; e = e->next.get())
                if (drawn->directed || e->target >= s)
                    answer.edges.push_back({drawn->vertices[s].name, drawn->vertices[e->target].name});
    } else if (const TFileFailure failure = ReadWholeFile(path, answer.text, MaxAnswerBytes)) {
        error = OpenFailureText(path, failure);
        return false;
    }
    try {
        verdict = analysis::CheckAnswer(g, question, answer);
    } catch (const analysis::TAnalysisError& e) {
        error = "Cannot read the answer \"" + path + "\": " + e.what();
        return false;
    }
    return true;
}

int RunCheck(const TParsed& r) {
    auto g = std::make_unique<Tgraph>();
    analysis::TQuestion question;
    std::string error;
    if (!ReadTask(Encoded(r.task), *g, question, error)) return Fail(2, error);
    analysis::TJson verdict;
    if (!CheckFile(*g, question, Encoded(r.value), verdict, error)) return Fail(2, error);
    const std::string text = verdict.dump(2) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) != 0) return Fail(2, "Cannot write the verdict to standard output.");
    return verdict["correct"].get<bool>() ? 0 : 1;
}

// A CSV field: quoted when it holds a comma, a quote or a line break, quotes doubled.
std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

int RunCheckDir(const TParsed& r) {
    auto g = std::make_unique<Tgraph>();
    analysis::TQuestion question;
    std::string error;
    if (!ReadTask(Encoded(r.task), *g, question, error)) return Fail(2, error);
    const std::string folder = Encoded(r.value);
    std::vector<std::string> names;
    std::error_code failure;
    for (std::filesystem::directory_iterator it(folder, failure), end; !failure && it != end; it.increment(failure)) {
        const std::string name = it->path().filename().string();
        if (!name.empty() && name[0] != '.' && it->is_regular_file()) names.push_back(name);
    }
    if (failure) return Fail(2, "Cannot read the folder \"" + folder + "\": " + failure.message());
    std::sort(names.begin(), names.end());
    std::string csv = "file,correct,points,of,message\n";
    for (const std::string& name : names) {
        analysis::TJson verdict;
        if (!CheckFile(*g, question, (std::filesystem::path(folder) / name).string(), verdict, error)) {
            csv += Field(name) + ",false,0,0," + Field(error) + "\n";
            continue;
        }
        std::string message;
        for (const analysis::TJson& c : verdict["checks"])
            if (!c["passed"].get<bool>()) message += (message.empty() ? "" : "; ") + c["message"].get<std::string>();
        csv += Field(name) + "," + (verdict["correct"].get<bool>() ? "true" : "false") + "," +
               std::to_string(verdict["points"].get<int>()) + "," + std::to_string(verdict["of"].get<int>()) + "," +
               Field(message) + "\n";
    }
    const std::string output = Encoded(r.reportPath);
    if (!r.report || output.empty() || output == "-") {
        std::fwrite(csv.data(), 1, csv.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : Fail(2, "Cannot write the grades to standard output.");
    }
    if (const TFileFailure written = AsFileFailure(ReplaceFile(output, csv)))
        return Fail(2, WriteFailureText(output, written));
    return 0;
}

} // namespace

bool IsExerciseCommand(const QStringList& arguments) {
    bool action = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h") || a == QLatin1String("--version") ||
            a == QLatin1String("-v") || a == QLatin1String("--help-all"))
            return false;
        for (const char* o : ActionOptions)
            if (a == QLatin1String(o) || a.startsWith(QLatin1String(o) + QLatin1Char('='))) action = true;
    }
    return action;
}

TCommandLine ParseExerciseCommandLine(const QStringList& arguments) {
    const TParsed parsed = Parse(arguments);
    TCommandLine result;
    if (!parsed.error.isEmpty()) {
        result.action = TCommandLine::TAction::Exit;
        result.exitCode = parsed.action.startsWith(QLatin1String("check")) ? 2 : 1;
        result.output = parsed.error + QLatin1Char('\n');
        return result;
    }
    result.action = TCommandLine::TAction::Exercise;
    result.exerciseArguments = arguments;
    return result;
}

QString ExerciseHelpText() {
    QCommandLineParser parser;
    TOptions().AddTo(parser, false);
    QString text = parser.helpText();
    const qsizetype options = text.indexOf(QStringLiteral("Options:"));
    return QStringLiteral("\nExercises (the options --export, --report, --show, --show-colour and --trace as above):") +
           text.mid(options + 8);
}

int RunExerciseCommand(int& argc, char** argv, const TCommandLine& command) {
    const TParsed r = Parse(command.exerciseArguments);
    if (r.action == QLatin1String("generate")) return RunGenerate(argc, argv, r);
    if (r.action == QLatin1String("check")) return RunCheck(r);
    if (r.action == QLatin1String("check-dir")) return RunCheckDir(r);
    TExamRequest exam;
    exam.tasksPath = Encoded(r.value);
    exam.variants = r.variants;
    exam.seed = r.seed;
    exam.output = Encoded(r.exports.first());
    return RunExam(exam);
}
