// Hostile files and targets met through the window's own commands: whatever goes wrong while
// opening, the graph on screen stays and a box names the file and the reason; a save or picture export to a
// FIFO fails with a message and leaves it alone; a failed export keeps the previous picture; and
// no edit takes a loaded edge count to one that a file cannot hold. Each case runs in a fresh copy
// of this test program, under a watchdog and with a bound on its peak memory.

#include "CaseNames.h"
#include "ChildRun.h"
#include "EditorFixture.h"
#include "Files.h"
#include "GraphBuilders.h"
#include "StatusBar.h"

#include <QFileDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

const std::string Navy = NODELOOM_TEST_DATA "/directed_navy.gf4";

class HostileFiles;

struct TWindowCase {
    const char* what;
    std::function<std::string(HostileFiles&)> setUp; // "" when ready, else why the case cannot run here
    std::function<std::string(HostileFiles&)> body;  // "" when the outcome is the sound one
};

// Public throughout: the table's cases below drive it from outside.
class HostileFiles : public testing::TestWithParam<TWindowCase>, public TEditor {
public:
    void SetUp() override {
        AnswerFileDialogsInTurn();
        ShowMain();
    }
    std::string File(const std::string& name) const { return folder + "/" + name; }
    void Answer(const std::string& path) { fileAnswers.push_back(QString::fromStdString(path)); }

    // Opens a file through the Open button.
    void Open(const std::string& path) {
        Answer(path);
        QTest::mouseClick(ui.ToolButton4, Qt::LeftButton);
    }

    // "" when exactly this error box was shown and the graph, its file name and the title stayed.
    std::string OnlyError(const std::string& text, const QString& title) {
        if (errors != QStringList{QString::fromStdString(text)})
            return "errors: " + errors.join(QLatin1Char('|')).toStdString();
        if (!G().created || G().fileName != Navy || form1->windowTitle() != title)
            return "the graph or its title changed";
        return {};
    }

    const TempFolder temp;
    const std::string folder = temp.path;
};

std::string Mode(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return "missing";
    return S_ISFIFO(st.st_mode) ? "fifo" : S_ISREG(st.st_mode) ? "file" : "other";
}

std::string OpeningKeepsTheGraph(HostileFiles& t, const std::string& path, const std::string& reason);

std::vector<TWindowCase> WindowCases() {
    const auto makeFifo = [](HostileFiles& t) -> std::string {
        return mkfifo(t.File("pipe").c_str(), 0666) == 0 ? "" : "mkfifo failed";
    };
    return {
        {"/dev/zero opened", nullptr,
         [](HostileFiles& t) {
             return OpeningKeepsTheGraph(t, "/dev/zero", "it is a character device, not a regular file");
         }},
        {"a FIFO opened", makeFifo,
         [](HostileFiles& t) {
             return OpeningKeepsTheGraph(t, t.File("pipe"), "it is a FIFO (named pipe), not a regular file");
         }},
        {"a folder opened", nullptr,
         [](HostileFiles& t) { return OpeningKeepsTheGraph(t, t.folder, "it is a folder, not a regular file"); }},
        {"an 8 GB sparse file opened",
         [](HostileFiles& t) -> std::string {
             return WriteWholeFile(t.File("huge.gf4"), "[directed]\r\n") &&
                            truncate(t.File("huge.gf4").c_str(), off_t(8) << 30) == 0
                        ? ""
                        : "cannot make the file";
         },
         [](HostileFiles& t) { return OpeningKeepsTheGraph(t, t.File("huge.gf4"), "it is larger than 256 MiB"); }},
        {"a FIFO as save target", makeFifo,
         [](HostileFiles& t) -> std::string {
             t.Open(Navy);
             const QString title = t.form1->windowTitle();
             t.Answer(t.File("pipe"));
             QTest::mouseClick(t.ui.ToolButton6, Qt::LeftButton);
             return t.OnlyError("Cannot save \"" + t.File("pipe") +
                                    "\". It is a FIFO (named pipe), not a regular file.",
                                title) +
                    (Mode(t.File("pipe")) == "fifo" ? "" : " and the FIFO is gone");
         }},
        {"a FIFO as picture target",
         [](HostileFiles& t) -> std::string {
             return mkfifo(t.File("pipe.bmp").c_str(), 0666) == 0 ? "" : "mkfifo failed";
         },
         [](HostileFiles& t) -> std::string {
             t.Open(Navy);
             const QString title = t.form1->windowTitle();
             t.Answer(t.File("pipe.bmp"));
             QTest::mouseClick(t.ui.ToolButton8, Qt::LeftButton);
             return t.OnlyError("Cannot create file \"" + t.File("pipe.bmp") +
                                    "\". It is a FIFO (named pipe), not a regular file.",
                                title) +
                    (Mode(t.File("pipe.bmp")) == "fifo" ? "" : " and the FIFO is gone");
         }},
        {"a failed export over a picture",
         [](HostileFiles& t) -> std::string {
             return WriteWholeFile(t.File("picture.bmp"), "BM the previous picture") ? "" : "cannot write";
         },
         [](HostileFiles& t) -> std::string {
             t.Open(Navy);
             const QString title = t.form1->windowTitle();
             LimitFileSize(1000); // the picture fails after its first kilobyte, as on a full disk
             t.Answer(t.File("picture.bmp"));
             QTest::mouseClick(t.ui.ToolButton8, Qt::LeftButton);
             std::string kept;
             ReadRegularFile(t.File("picture.bmp"), kept);
             return t.OnlyError("Cannot write file \"" + t.File("picture.bmp") + "\". File too large.", title) +
                    (kept == "BM the previous picture" ? "" : " the previous picture is damaged") +
                    (FolderListing(t.folder) == "picture.bmp " ? "" : " the folder holds " + FolderListing(t.folder));
         }},
        {"counts 2 10000, an edge added and one deleted with the tools",
         [](HostileFiles& t) -> std::string {
             const std::string head = "[directed]\r\n[unweighted]\r\n[black]\r\n";
             const std::string vertices = "60 60 /*a*/\r\n200 60 /*b*/\r\n";
             return WriteWholeFile(t.File("full.gf4"), head + "2 10000\r\n" + vertices + "1 2\r\n") &&
                            WriteWholeFile(t.File("none.gf4"), head + "2 0\r\n" + vertices + "1 2\r\n")
                        ? ""
                        : "cannot write";
         },
         [](HostileFiles& t) -> std::string {
             // The add-edge tool: vertex 2, then vertex 1.
             t.Open(t.File("full.gf4"));
             QTest::mouseClick(t.ui.ToolButton12, Qt::LeftButton);
             t.Click(QPoint(200, 60));
             t.Click(QPoint(60, 60));
             if (!FindEdge(t.G(), 2, 1)) return "the edge was not added";
             if (t.G().edgeCount != MaxEdges) return "edgeCount became " + std::to_string(t.G().edgeCount);
             // The delete-edge tool over an edge that the counts line did not count.
             t.Open(t.File("none.gf4"));
             QTest::mouseClick(t.ui.ToolButton16, Qt::LeftButton);
             t.Move(QPoint(130, 60));
             t.Click(QPoint(130, 60));
             if (FindEdge(t.G(), 1, 2)) return "the edge was not deleted";
             if (t.G().edgeCount != 0) return "edgeCount became " + std::to_string(t.G().edgeCount);
             // What is saved opens again.
             t.Answer(t.File("saved.gf4"));
             QTest::mouseClick(t.ui.ToolButton6, Qt::LeftButton);
             Tgraph back;
             LoadGraph(back, t.File("saved.gf4"));
             return back.created ? "" : "the saved file does not open";
         }},
    };
}

std::string OpeningKeepsTheGraph(HostileFiles& t, const std::string& path, const std::string& reason) {
    t.Open(Navy);
    if (!t.G().created) return "the graph to keep did not load";
    const QString title = t.form1->windowTitle();
    const std::size_t steps = t.ui.History.UndoSteps();
    t.Open(path);
    if (t.ui.History.UndoSteps() != steps) return "the undo history changed";
    return t.OnlyError("Cannot open \"" + path + "\": " + reason + ".", title);
}

TEST_P(HostileFiles, EachEndsInLittleMemoryAndTheWindowAgreesWithTheModel) {
    if (RanInAChild()) return;
    const TWindowCase& c = GetParam();
    if (c.setUp)
        if (const std::string missing = c.setUp(*this); !missing.empty()) GTEST_SKIP() << missing;
    const long before = PeakMemoryKb();
    EXPECT_EQ(c.body(*this), "");
    EXPECT_LT(PeakMemoryKb() - before, 64 * 1024) << "peak memory above the start, in kB";
}

INSTANTIATE_TEST_SUITE_P(Table, HostileFiles, testing::ValuesIn(WindowCases()),
                         [](const testing::TestParamInfo<TWindowCase>& c) { return TestName(c.param.what); });

} // namespace
