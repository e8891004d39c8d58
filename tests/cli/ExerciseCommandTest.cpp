// The exercise actions run as a child without a display: --generate (the same bytes on every run,
// impossible descriptions refused with nothing written), --check and --check-dir (verdicts and
// exit codes), and --exam (three variants whose sheets and key compile with pdflatex).

#include "CommandLine.h"
#include "CommandRun.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TRun RunProgram(const QStringList& arguments, const QString& folder) {
    return RunTool(QStringLiteral(NODELOOM_PROGRAM), arguments, folder);
}

TEST(ExerciseCommand, ArgumentsAreRead) {
    const struct {
        QStringList arguments;
        int exitCode; // -1: accepted
        const char* message;
    } cases[] = {
        {{"--generate", "vertices=5", "--seed", "3"}, -1, ""},
        {{"--generate", "vertices=5"}, 1, "--generate needs --seed N"},
        {{"--generate", "vertices=5", "--seed", "-1"}, 1, "is not a whole number"},
        {{"--generate", "vertices=5", "--seed", "1", "--check", "a.txt"}, 1, "Give one of"},
        {{"--check", "a.txt"}, 2, "--check needs --task"},
        {{"--check", "a.txt", "--task", "t.json", "--export", "x.png"}, 2, "writes no pictures"},
        {{"--check-dir", "d", "--task", "t.json", "--report", "g.csv"}, -1, ""},
        {{"--exam", "t.json", "--seed", "1", "--export", "e.tex"}, 1, "--variants K"},
        {{"--exam", "t.json", "--seed", "1", "--variants", "3", "--export", "e.tex"}, -1, ""},
        {{"--generate", "vertices=5", "--seed", "1", "--trace", "bfs:A", "--show", "mst", "--report"},
         1,
         "not given together"},
        {{"--generate", "vertices=5", "--seed", "1", "--trace", "bfs:A"}, 1, "with --export or --report only"},
        {{"g.gf4", "--report"}, -2, ""}, // not an exercise: the report
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const TCommandLine line = ParseCommandLine(QStringList{QStringLiteral("nodeloom")} + c.arguments);
        if (c.exitCode == -2) {
            EXPECT_EQ(line.action, TCommandLine::TAction::Report);
        } else if (c.exitCode < 0) {
            EXPECT_EQ(line.action, TCommandLine::TAction::Exercise) << line.output.toStdString();
        } else {
            EXPECT_EQ(line.action, TCommandLine::TAction::Exit);
            EXPECT_EQ(line.exitCode, c.exitCode);
            EXPECT_TRUE(line.output.contains(QLatin1String(c.message))) << line.output.toStdString();
        }
    }
}

TEST(ExerciseCommand, GenerateGivesTheSameBytesAndRefusesTheImpossible) {
    QTemporaryDir folder;
    const QString asked = QStringLiteral("vertices=7,edges=9..11,weights=1..9,connected,planar,unique-mst");
    const TRun first = RunProgram({"--generate", asked, "--seed", "12345"}, folder.path());
    const TRun second = RunProgram(
        {"--generate", asked, "--seed", "12345", "--export", "g.gf4", "--export", "g.graphml"}, folder.path());
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    ASSERT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_TRUE(first.out.startsWith("[undirected]\r\n[weighted]"));
    EXPECT_EQ(Read(folder.filePath(QStringLiteral("g.gf4"))), first.out);
    EXPECT_NE(RunProgram({"--generate", asked, "--seed", "12346"}, folder.path()).out, first.out);

    const TRun report = RunProgram({"--generate", asked, "--seed", "12345", "--report", "r.json"}, folder.path());
    ASSERT_EQ(report.exitCode, 0) << report.err.toStdString();
    const QJsonObject r = QJsonDocument::fromJson(Read(folder.filePath(QStringLiteral("r.json")))).object();
    EXPECT_TRUE(r[QStringLiteral("planar")].toObject()[QStringLiteral("value")].toBool());
    EXPECT_EQ(r[QStringLiteral("vertex_count")].toInt(), 7);

    for (const char* impossible : {"vertices=5,edges=20", "vertices=6,edges=13,planar"}) {
        const TRun refused = RunProgram({"--generate", impossible, "--seed", "1", "--export", "no.gf4"}, folder.path());
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_TRUE(refused.err.startsWith("Cannot generate: ")) << refused.err.toStdString();
        EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("no.gf4"))));
    }
}

TEST(ExerciseCommand, CheckGivesVerdictsAndExitCodes) {
    QTemporaryDir folder;
    const QDir dir(folder.path());
    Write(dir.filePath(QStringLiteral("house.gf4")),
          "[undirected]\n[weighted]\n[black]\n5 6\n100 100 /*A*/\n200 100 /*B*/\n200 200 /*C*/\n100 200 /*D*/\n"
          "150 30 /*E*/\n1 2 /*4*/\n2 3 /*3*/\n3 4 /*5*/\n1 4 /*2*/\n1 5 /*1*/\n2 5 /*6*/\n");
    dir.mkpath(QStringLiteral("tasks"));
    Write(dir.filePath(QStringLiteral("tasks/mst.json")), R"({"graph": "../house.gf4", "question": "mst"})");
    Write(dir.filePath(QStringLiteral("tasks/bad.json")), R"({"graph": "../house.gf4", "question": "mst:A"})");
    dir.mkpath(QStringLiteral("answers"));
    Write(dir.filePath(QStringLiteral("answers/right.txt")), "A E\nA-D\nB C\nA B\n");
    Write(dir.filePath(QStringLiteral("answers/heavy, late.txt")), "A E\nA-D\nB C\nC D\n");
    Write(dir.filePath(QStringLiteral("answers/garbled.txt")), "A B C\n");
    // A tree drawn in the editor: the graph file's edges are the answer.
    Write(dir.filePath(QStringLiteral("answers/drawn.gf4")),
          "[undirected]\n[unweighted]\n[black]\n5 4\n0 0 /*A*/\n0 50 /*B*/\n0 100 /*C*/\n50 0 /*D*/\n50 50 /*E*/\n"
          "1 5\n1 4\n2 3\n1 2\n");

    const struct {
        const char* answer;
        const char* task;
        int exitCode;
        const char* text; // in the verdict on standard output, or the message on standard error
    } cases[] = {
        {"answers/right.txt", "tasks/mst.json", 0, "\"correct\": true"},
        {"answers/drawn.gf4", "tasks/mst.json", 0, "\"points\": 4"},
        {"answers/heavy, late.txt", "tasks/mst.json", 1, "weight 11; the least is 10"},
        {"answers/garbled.txt", "tasks/mst.json", 2, "is not one edge"},
        {"answers/none.txt", "tasks/mst.json", 2, "No such file"},
        {"answers/right.txt", "tasks/bad.json", 2, "is written mst"},
        {"answers/right.txt", "tasks/missing.json", 2, "No such file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        const TRun run = RunProgram({"--check", c.answer, "--task", c.task}, folder.path());
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE((c.exitCode == 2 ? run.err : run.out).contains(c.text))
            << run.out.toStdString() << run.err.toStdString();
        if (c.exitCode < 2) {
            const QJsonObject verdict = QJsonDocument::fromJson(run.out).object();
            EXPECT_EQ(verdict[QStringLiteral("format")].toString(), QStringLiteral("nodeloom-check/1"));
            EXPECT_EQ(verdict[QStringLiteral("correct")].toBool(), c.exitCode == 0);
        }
    }

    const TRun grades =
        RunProgram({"--check-dir", "answers", "--task", "tasks/mst.json", "--report", "grades.csv"}, folder.path());
    ASSERT_EQ(grades.exitCode, 0) << grades.err.toStdString();
    const QList<QByteArray> rows = Read(dir.filePath(QStringLiteral("grades.csv"))).split('\n');
    ASSERT_EQ(rows.size(), 6); // the heading, four answers and the final line break
    EXPECT_EQ(rows[0], "file,correct,points,of,message");
    EXPECT_EQ(rows[1], "drawn.gf4,true,4,4,");
    EXPECT_TRUE(rows[2].startsWith("garbled.txt,false,0,0,")) << rows[2].toStdString();
    EXPECT_EQ(rows[3], "\"heavy, late.txt\",false,3,4,weight 11; the least is 10");
    EXPECT_EQ(rows[4], "right.txt,true,4,4,");
}

TEST(ExerciseCommand, ExamOfThreeVariantsAndItsKeyCompile) {
    QTemporaryDir folder;
    const QDir dir(folder.path());
    Write(dir.filePath(QStringLiteral("tasks.json")),
          R"({"title": "Graphs & trees", "graph": "vertices=6..7,edges=8..10,weights=1..9,connected,unique-mst",
              "tasks": ["dijkstra:#1", "kruskal", "bfs:A", "dfs:A", "colouring", "matching", "flow:A,B", "euler",
                        "prim:A", "floyd-warshall", "greedy-colouring", "welsh-powell", "shortest-path:A,B",
                        "mst", "max-flow:A,B", "bellman-ford:A"]})");
    const TRun tex =
        RunProgram({"--exam", "tasks.json", "--variants", "3", "--seed", "41", "--export", "exam.tex"}, folder.path());
    ASSERT_EQ(tex.exitCode, 0) << tex.err.toStdString();
    const QByteArray exam = Read(dir.filePath(QStringLiteral("exam.tex")));
    const QByteArray key = Read(dir.filePath(QStringLiteral("exam-solutions.tex")));
    for (const QByteArray* sheet : {&exam, &key}) {
        EXPECT_EQ(sheet->count("\\section*{"), 3);
        EXPECT_EQ(sheet->count("\\begin{tikzpicture}"), 3);
        for (const char* seed : {"(seed 42)", "(seed 43)", "(seed 44)"}) EXPECT_TRUE(sheet->contains(seed)) << seed;
        EXPECT_TRUE(sheet->contains("Graphs \\& trees"));
    }
    EXPECT_FALSE(exam.contains("\\toprule")) << "no answers on the sheets";
    EXPECT_TRUE(key.contains("accepted")) << "Kruskal's trace table";

    const TRun refused = RunProgram(
        {"--exam", "missing.json", "--variants", "3", "--seed", "41", "--export", "other.tex"}, folder.path());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("other.tex"))));

    if (QStandardPaths::findExecutable(QStringLiteral("pdflatex")).isEmpty())
        GTEST_SKIP() << "pdflatex is not installed";
    const TRun pdf =
        RunProgram({"--exam", "tasks.json", "--variants", "3", "--seed", "41", "--export", "exam.pdf"}, folder.path());
    ASSERT_EQ(pdf.exitCode, 0) << pdf.err.toStdString();
    for (const char* name : {"exam.pdf", "exam-solutions.pdf"})
        EXPECT_TRUE(Read(dir.filePath(QLatin1String(name))).startsWith("%PDF-")) << name;
}

} // namespace
