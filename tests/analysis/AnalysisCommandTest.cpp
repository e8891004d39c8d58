// nodeloom FILE --report [OUTPUT] and --show RESULT: the command line read, the program run as a
// child without a display (its failures, its report, the results drawn into each format), and
// Ctrl+I's report window.

#include "AppWindows.h"
#include "CommandLine.h"
#include "CommandRun.h"
#include "ReportWindow.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

TRun RunProgram(const QStringList& arguments, const QString& folder = QString()) {
    return RunTool(QStringLiteral(NODELOOM_PROGRAM), arguments, folder);
}

// A house: a square with a roof, weights as capacities, nothing crossing; then a directed pair
// and two vertices that share a name.
const char* const House = "[undirected]\n[weighted]\n[black]\n5 6\n"
                          "100 100 /*A*/\n200 100 /*B*/\n200 200 /*C*/\n100 200 /*D*/\n150 30 /*E*/\n"
                          "1 2 /*4*/\n2 3 /*3*/\n3 4 /*5*/\n1 4 /*2*/\n1 5 /*1*/\n2 5 /*6*/\n";
const char* const Pair = "[directed]\n[weighted]\n[black]\n3 2\n"
                         "60 60 /*A*/\n160 60 /*A*/\n110 160 /*C*/\n1 2 /*-1*/\n2 3 /*2*/\n";

TEST(AnalysisCommand, ArgumentsAreRead) {
    using A = TCommandLine::TAction;
    struct TCase {
        QStringList arguments;
        A action;
        const char* file;
        const char* report; // the report's output, "" for standard output; nullptr: no report
        int shows;
        const char* message;
    } const cases[] = {
        {{"g.gf4", "--report"}, A::Report, "g.gf4", "", 0, ""},
        {{"--report", "g.gf4"}, A::Report, "g.gf4", "", 0, ""},
        {{"--report", "r.json", "g.gf4"}, A::Report, "g.gf4", "r.json", 0, ""},
        {{"g.gf4", "--report", "-"}, A::Report, "g.gf4", "-", 0, ""},
        {{"g.gf4", "--report=r.TEX", "--show", "mst", "--show", "bfs:#1"}, A::Report, "g.gf4", "r.TEX", 2, ""},
        {{"g.gf4", "--show", "mst", "--export", "o.png", "--show-colour", "navy"}, A::Report, "g.gf4", nullptr, 1, ""},
        // Alone, --show starts the editor with the results to draw.
        {{"g.gf4", "--show", "mst", "--show", "bfs:A", "--show-colour", "navy"}, A::Start, "", nullptr, 2, ""},
        {{"--show", "mst"}, A::Exit, "", nullptr, 0, "no graph file is named"},
        {{"g.gf4", "--report", "--show-colour", "red"},
         A::Exit,
         "",
         nullptr,
         0,
         "--show-colour is given with --show only"},
        {{"--report"}, A::Exit, "", nullptr, 0, "no graph file is named"},
        {{"g.gf4", "--report", "--size", "10x10"}, A::Exit, "", nullptr, 0, "--size is given with --export only"},
        {{"--help"}, A::Exit, "", nullptr, 0, "--show-colour <NAME>"},
        {{"--help"}, A::Exit, "", nullptr, 0, "--trace <ALGORITHM>"},
        {{"--trace", "bfs:A", "--report", "g.gf4"}, A::Report, "g.gf4", "", 0, ""},
        {{"g.gf4", "--trace", "kruskal", "--export", "o.png"}, A::Report, "g.gf4", nullptr, 0, ""},
        {{"g.gf4", "--trace", "bfs:A"}, A::Start, "g.gf4", nullptr, 0, ""},
        {{"--trace", "bfs:A"}, A::Exit, "", nullptr, 0, "no graph file is named"},
        {{"g.gf4", "--trace", "mst", "--show", "mst", "--report"}, A::Exit, "", nullptr, 0, "not given together"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const TCommandLine r = ParseCommandLine(QStringList{QStringLiteral("nodeloom")} + c.arguments);
        EXPECT_EQ(r.action, c.action);
        EXPECT_TRUE(r.output.contains(QString::fromUtf8(c.message))) << r.output.toStdString();
        if (c.action == A::Start) {
            EXPECT_TRUE(r.file.endsWith(QStringLiteral("/g.gf4"))) << r.file.toStdString();
            EXPECT_EQ(r.shows.size(), c.shows);
            EXPECT_EQ(r.showColour, c.shows != 0 ? QStringLiteral("navy") : QString());
            EXPECT_EQ(r.trace, c.arguments.contains(QStringLiteral("--trace")) ? QStringLiteral("bfs:A") : QString());
        }
        if (c.action != A::Report) continue;
        EXPECT_EQ(r.file, QString::fromUtf8(c.file));
        EXPECT_EQ(r.report, c.report != nullptr);
        if (c.report) {
            EXPECT_EQ(r.reportPath, QString::fromUtf8(c.report));
        }
        EXPECT_EQ(r.shows.size(), c.shows);
    }
}

// Every refusal: one line on standard error that names the problem, status 1, and the output
// that was there before left as it was.
TEST(AnalysisCommand, FailuresWriteNothing) {
    QTemporaryDir dir;
    const QString house = dir.filePath("house.gf4"), pair = dir.filePath("pair.gf4"), odd = dir.filePath("odd.gf4");
    Write(house, House);
    Write(pair, Pair);
    // Vertex 1 is named "a,b" and vertex 2 "#1".
    Write(odd, "[undirected]\r\n[unweighted]\r\n[black]\r\n2 1\r\n10 10 /*a,b*/\r\n50 50 /*#1*/\r\n1 2\r\n");
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{"missing.gf4", "--report", "out.json"}, "Cannot open \"missing.gf4\": No such file or directory"},
        {{"out.json", "--report", "out.json"}, "Cannot write \"out.json\": it is the graph file being read"},
        {{house, "--report", "out.json", "--show", "path:A,Z"}, "No vertex is named \"Z\"; a vertex is also named by"},
        {{odd, "--report", "out.json", "--show", "path:#1,#2"}, "is the name of vertex #2 and the number of vertex #1"},
        {{odd, "--report", "out.json", "--show", "path:a,b,#2"}, "whose name holds a comma is named by its number"},
        {{house, "--export", "out.png", "--show", "mst", "--show-colour", ""}, "Unknown colour \"\""},
        {{pair, "--report", "out.json", "--show", "bfs:A"}, "The name \"A\" is shared by vertices #1, #2"},
        {{pair, "--report", "out.json", "--show", "flow:#1,C"},
         "flow:A,C: the edges' weights are not all non-negative"},
        {{pair, "--report", "out.json", "--show", "mst"}, "a spanning tree is for an undirected graph"},
        {{house, "--report", "out.json", "--show", "spanning"}, "Unknown result \"spanning\""},
        {{house, "--report", "out.json", "--show", "path:A"}, "is written path:A,B"},
        {{house, "--report", "out.json", "--show", "bfs:#9"}, "No vertex is named \"#9\""},
        {{house, "--export", "out.png", "--show", "mst", "--show-colour", "mauve"}, "Unknown colour \"mauve\""},
        {{house, "--report", "out.csv"}, "Cannot write the report to \"out.csv\": unknown ending"},
        {{house, "--show", "mst", "--export", "out.json"}, "Cannot export to \"out.json\": unknown ending"},
        {{house, "--report", "nofolder/out.txt"}, "Cannot write \"nofolder/out.txt\""},
        {{house, "--trace", "dfs:Z", "--report", "out.json"},
         "No vertex is named \"Z\"; a vertex is also named by its number"},
        {{house, "--trace", "bfs:A", "--export", "out.csv"}, "Cannot export to \"out.csv\": unknown ending"},
        {{house, "--trace", "bfs:A", "--export", "out.dot"}, "a trace is drawn as pictures, PDF or TikZ"},
        {{pair, "--trace", "dijkstra:#1", "--export", "out.png"}, "the edge #1->#2 weighs -1"},
        {{pair, "--trace", "kruskal", "--report", "out.json"}, "kruskal is for an undirected graph"},
        {{house, "--trace", "bfs:A", "--report", "out.json", "--export", "nofolder/out.png"},
         "Cannot write \"nofolder/out-000.png\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        for (const char* name : {"out.json", "out.png", "out.csv"}) Write(dir.filePath(name), "old");
        const TRun run = RunProgram(c.arguments, dir.path());
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        for (const char* name : {"out.json", "out.png", "out.csv"}) EXPECT_EQ(Read(dir.filePath(name)), "old");
        EXPECT_FALSE(QFile::exists(dir.filePath("out.txt")));
    }
}

// The three forms say the same, the results are added under their words, and an empty graph
// gives a report too.
TEST(AnalysisCommand, ReportForms) {
    QTemporaryDir dir;
    const QString house = dir.filePath("house.gf4");
    Write(house, House);
    const TRun json =
        RunProgram({house, "--report", dir.filePath("r.json"), "--show", "flow:E,C", "--show", "path:#5,#3"});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonObject r = QJsonDocument::fromJson(Read(dir.filePath("r.json"))).object();
    EXPECT_EQ(r["format"].toString(), QStringLiteral("nodeloom-report/1"));
    EXPECT_EQ(r["flow"].toObject()["value"].toInt(), 5);  // the cut A-D, B-C: 2 + 3
    EXPECT_EQ(r["path"].toObject()["length"].toInt(), 8); // E-A-D-C: 1 + 2 + 5
    EXPECT_EQ(r["mst"].toObject()["total"].toInt(), 10);  // A-E, A-D, B-C, A-B

    const TRun text = RunProgram({house, "--report"});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(RunProgram({house, "--report", "-"}).out, text.out);
    EXPECT_TRUE(text.out.startsWith("Graph: undirected, weighted; 5 vertices, 6 edges, 0 loops\n"))
        << text.out.toStdString();
    ASSERT_EQ(RunProgram({house, "--report", dir.filePath("r.txt")}).exitCode, 0);
    EXPECT_EQ(Read(dir.filePath("r.txt")), text.out);

    Write(dir.filePath("empty.gf4"), "[directed]\n[unweighted]\n[black]\n0 0\n");
    const TRun empty = RunProgram({dir.filePath("empty.gf4"), "--report", dir.filePath("e.json")});
    EXPECT_EQ(empty.exitCode, 0) << empty.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(Read(dir.filePath("e.json"))).object()["vertex_count"].toInt(), 0);
}

// A colour on the way from white to c: what a line or a letter of colour c paints, smoothed.
bool TowardsFromWhite(QRgb p, QColor c) {
    const int channels[3][2] = {{qRed(p), c.red()}, {qGreen(p), c.green()}, {qBlue(p), c.blue()}};
    double lo = 0, hi = 1;
    for (const auto& [x, t] : channels) {
        if (t == 255) {
            if (x < 252) return false;
            continue;
        }
        const double a = (255.0 - x) / (255 - t); // how far from white
        lo = std::max(lo, a - 0.03);
        hi = std::min(hi, a + 0.03);
    }
    return lo <= hi;
}

// Each result drawn into a PNG: only pixels of the result differ from the plain export (the
// highlight colour and its smoothing, the white behind a text, inside the vertex discs for a
// fill), and some do. The SVG is well-formed and carries the colour; the TikZ picture carries
// the result's styles and, where pdflatex is installed, compiles.
TEST(AnalysisCommand, ResultsAreDrawnOverThePlainPicture) {
    QTemporaryDir dir;
    const QString house = dir.filePath("house.gf4");
    Write(house, House);
    ASSERT_EQ(RunProgram({house, "--export", dir.filePath("plain.png"), "--size", "260x240"}).exitCode, 0);
    const QImage plain(dir.filePath("plain.png"));
    ASSERT_FALSE(plain.isNull());
    const QPoint centres[] = {{100, 100}, {200, 100}, {200, 200}, {100, 200}, {150, 30}};
    const QColor highlight(Qt::blue);
    for (const char* word :
         {"path:E,C", "bfs:A", "dfs:#3", "mst", "euler", "matching", "colouring", "components", "flow:E,C"}) {
        SCOPED_TRACE(word);
        const QString out = dir.filePath("show.png");
        const TRun run =
            RunProgram({house, "--export", out, "--size", "260x240", "--show", word, "--show-colour", "blue"});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QImage shown(out);
        ASSERT_EQ(shown.size(), plain.size());
        int differing = 0, unexplained = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb p = shown.pixel(x, y);
                if (p == plain.pixel(x, y)) continue;
                ++differing;
                bool inDisc = false;
                for (const QPoint& c : centres) inDisc = inDisc || QLineF(c, QPointF(x, y)).length() <= 16;
                if (!TowardsFromWhite(p, highlight) && !inDisc) ++unexplained;
            }
        EXPECT_GT(differing, 20);
        EXPECT_EQ(unexplained, 0);
    }

    const QString svg = dir.filePath("show.svg"), tex = dir.filePath("show.tex");
    ASSERT_EQ(
        RunProgram({house, "--export", svg, "--show", "mst", "--show", "bfs:A", "--show-colour", "fuchsia"}).exitCode,
        0);
    QXmlStreamReader xml(Read(svg));
    while (!xml.atEnd()) xml.readNext();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(Read(svg).toLower().contains("#ff00ff"));
    ASSERT_EQ(RunProgram({house, "--export", tex, "--show", "flow:E,C", "--show", "colouring"}).exitCode, 0);
    const QByteArray picture = Read(tex);
    for (const char* style :
         {"result edge/.style", "[result edge", "result edge label", "result label", "result vertex"})
        EXPECT_TRUE(picture.contains(style)) << style;
    ASSERT_EQ(RunProgram({house, "--report", dir.filePath("report.tex")}).exitCode, 0);

    const QString latex = QStandardPaths::findExecutable(QStringLiteral("pdflatex"));
    if (latex.isEmpty()) GTEST_SKIP() << "pdflatex is not installed";
    Write(dir.filePath("doc.tex"), "\\documentclass{article}\\usepackage{tikz}\\usepackage{amsmath}\n"
                                   "\\begin{document}\n\\input{show.tex}\n\\input{report.tex}\n\\end{document}\n");
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(latex, {"-interaction=nonstopmode", "-halt-on-error", "doc.tex"});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardOutput().right(2000).toStdString();
}

// Ctrl+I shows the report of the graph as it is, beside the window, read-only in a fixed-pitch
// font; Escape closes it, and the next Ctrl+I shows the graph as it has become.
TEST(AnalysisWindow, CtrlIShowsTheReport) {
    TAppWindows app;
    app.ShowMain();
    app.form1->OpenGraphFile(NODELOOM_TEST_DATA "/small.gf4");
    QTest::keyClick(app.form1.get(), Qt::Key_I, Qt::ControlModifier);
    TReportWindow* window = TReportWindow::Find(*app.form1);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_TRUE(window->Text().startsWith(QStringLiteral("Graph: undirected, unweighted; 2 vertices, 1 edge,")));
    auto* text = window->findChild<QPlainTextEdit*>();
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_TRUE(text->textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_TRUE(QFontInfo(text->font()).fixedPitch());
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());

    DeleteEdge(app.ui.LiveGraph, 1, 2);
    QApplication::setActiveWindow(app.form1.get());
    QTest::keyClick(app.form1.get(), Qt::Key_I, Qt::ControlModifier);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->Text().contains(QStringLiteral("2 vertices, 0 edges"))) << window->Text().toStdString();
}

} // namespace
