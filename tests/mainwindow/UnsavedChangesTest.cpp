// What the window does before the graph on screen is given up, and what Open does with files
// that are not graphs: the unsaved-changes question, the graph kept on a failed Open, the path
// the Save dialog proposes, and texts the file cannot hold.

#include "EditorFixture.h"
#include "FileCheck.h"
#include "Files.h"

#include <QDir>
#include <QFileDialog>
#include <QProcess>

#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using TAnswer = TForm1::TUnsavedAnswer;

struct TProgramRun {
    int exitCode;
    std::string err;
};

// The program itself, without a display.
TProgramRun RunProgramCapturing(const QStringList& arguments) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(NODELOOM_PROGRAM), arguments);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), p.readAllStandardError().toStdString()};
}

bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }
const std::string Navy = NODELOOM_TEST_DATA "/directed_navy.gf4";
const std::string Weighted = NODELOOM_TEST_DATA "/undirected_weighted.gf4";

class Unsaved : public testing::Test, protected TEditor {
protected:
    void SetUp() override {
        ui.ExecuteFileDialog = [this](QFileDialog& dialog) -> std::optional<QString> {
            proposed = dialog.selectedFiles().value(0);
            ++dialogs;
            if (answers.empty()) return std::nullopt;
            const std::string answer = answers.front();
            answers.erase(answers.begin());
            return QString::fromStdString(answer);
        };
        ShowMain();
    }
    void Open(const std::string& path) {
        answers.push_back(path);
        ui.ToolButton4->click();
    }

    std::vector<std::string> answers;
    QString proposed;
    int dialogs = 0;
    TempFolder folder;
};

enum class TState { Unchanged, Changed, UndoneBack };
enum class TTrigger { Close, Exit, New, Open };

// Every way of giving the graph up, with every answer, from every state: the question comes only
// with changes; Cancel keeps everything; Save saves first (and the command goes on); Discard goes on.
TEST_F(Unsaved, TheQuestionComesOnlyWithChangesAndItsAnswerIsFollowed) {
    const char* const triggerNames[] = {"close", "Exit", "New", "Open"};
    for (const TTrigger trigger : {TTrigger::Close, TTrigger::Exit, TTrigger::New, TTrigger::Open})
        for (const TState state : {TState::Unchanged, TState::Changed, TState::UndoneBack})
            for (const TAnswer answer : {TAnswer::Save, TAnswer::Discard, TAnswer::Cancel}) {
                SCOPED_TRACE(std::string(triggerNames[int(trigger)]) + " state " + std::to_string(int(state)) +
                             " answer " + std::to_string(int(answer)));
                const std::string file = folder.File("g.gf4");
                ASSERT_TRUE(WriteWholeFile(file, ReadBytes(Navy)));
                form1->show(); // again, after a close: the window lives on, as the next run's
                ui.appClosing = false;
                form2->hide();
                answers.clear();
                Open(file);
                ASSERT_EQ(G().fileName, file);
                if (state != TState::Unchanged) AddVertexAt({300, 250});
                if (state == TState::UndoneBack) Key(Qt::Key_Z);
                EXPECT_EQ(form1->HasUnsavedChanges(), state == TState::Changed);

                QStringList asked;
                ui.AskUnsaved = [&](const QString& q) { return asked.append(q), answer; };
                const bool changed = state == TState::Changed;
                const bool goesOn = !changed || answer != TAnswer::Cancel;
                const bool saved = changed && answer == TAnswer::Save;
                answers = {Weighted}; // Open's dialog, after Save's when there is one
                if (saved) answers.insert(answers.begin(), file);
                dialogs = 0;
                const int verticesBefore = G().vertexCount;
                switch (trigger) {
                case TTrigger::Close: form1->close(); break;
                case TTrigger::Exit: ui.Exit1->trigger(); break;
                case TTrigger::New: ui.ToolButton1->click(); break;
                case TTrigger::Open: ui.ToolButton4->click(); break;
                }
                EXPECT_EQ(asked, changed ? QStringList{QStringLiteral("Save changes to \"g.gf4\"?")} : QStringList{});
                EXPECT_EQ(dialogs, int(saved) + int(goesOn && trigger == TTrigger::Open));
                Tgraph onDisk;
                LoadGraph(onDisk, file);
                EXPECT_EQ(onDisk.vertexCount, saved ? verticesBefore : 2);
                switch (trigger) {
                case TTrigger::Close:
                case TTrigger::Exit: EXPECT_EQ(form1->isVisible(), !goesOn); break;
                case TTrigger::New: EXPECT_EQ(form2->isVisible(), goesOn); break;
                case TTrigger::Open: EXPECT_EQ(G().fileName, goesOn ? Weighted : file); break;
                }
                ui.AskUnsaved = [](const QString&) { return TAnswer::Discard; };
            }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

// A graph never saved is named as new; a Save that is cancelled stops what was to follow.
TEST_F(Unsaved, ANewGraphIsAskedForByItsKindAndACancelledSaveStopsTheClose) {
    NewGraph(false, false);
    EXPECT_FALSE(form1->HasUnsavedChanges());
    AddVertexAt({100, 100});
    QStringList asked;
    ui.AskUnsaved = [&](const QString& q) { return asked.append(q), TAnswer::Save; };
    EXPECT_FALSE(form1->close()); // the Save dialog is cancelled: nothing to answer
    EXPECT_EQ(asked, QStringList{QStringLiteral("Save changes to the new graph?")});
    EXPECT_TRUE(form1->isVisible());
    EXPECT_TRUE(form1->HasUnsavedChanges());
}

// Whatever is wrong with a file, Open keeps the graph, its title and its undo history, and the box
// gives the same text the command line prints.
TEST_F(Unsaved, OpenOfAFileThatIsNoGraphKeepsTheGraphAndSaysWhy) {
    const std::string notGraph = folder.File("notes.gf4"), tag = folder.File("tag.gf4"), png = folder.File("pic.gf4"),
                      fifo = folder.File("fifo.gf4"), huge = folder.File("huge.gf4");
    ASSERT_TRUE(WriteWholeFile(notGraph, "hello world\n") &&
                WriteWholeFile(tag, "[Directed]\n[unweighted]\n[black]\n0 0\n") &&
                WriteWholeFile(png, "\x89PNG\r\n\x1a\n") && WriteWholeFile(huge, "[directed]\n"));
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    ASSERT_EQ(truncate(huge.c_str(), off_t(300) << 20), 0);
    const std::pair<std::string, std::string> cases[] = {
        {folder.File("missing.gf4"), "No such file or directory"},
        {folder.path, "it is a folder, not a regular file"},
        {fifo, "it is a FIFO (named pipe), not a regular file"},
        {"/dev/null", "it is a character device, not a regular file"},
        {huge, "it is larger than 256 MiB"},
        {notGraph, "it is not a graph file (line 1 is not \"[directed]\" or \"[undirected]\")"},
        {tag, "it is not a graph file (line 1 is not \"[directed]\" or \"[undirected]\")"},
        {png, "it is not a graph file (line 1 is not \"[directed]\" or \"[undirected]\")"},
    };
    Open(Navy);
    const QString title = form1->windowTitle();
    const QImage picture = Surface().Picture;
    const std::size_t steps = ui.History.UndoSteps();
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path);
        errors.clear();
        Open(path);
        const std::string text = "Cannot open \"" + path + "\": " + reason;
        EXPECT_EQ(errors, QStringList{QString::fromStdString(text + ".")});
        EXPECT_EQ(G().fileName, Navy);
        EXPECT_EQ(form1->windowTitle(), title);
        EXPECT_EQ(Surface().Picture, picture);
        EXPECT_EQ(ui.History.UndoSteps(), steps);
        // The command line's line for the same file.
        const TProgramRun run = RunProgramCapturing(
            {QString::fromStdString(path), QStringLiteral("--export"), QString::fromStdString(folder.File("out.png"))});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, text + "\n");
        EXPECT_FALSE(FileExists(folder.File("out.png")));
    }
}

TEST_F(Unsaved, ADamagedFileOpensWithWhatCouldBeReadAndSaysWhereItIsDamaged) {
    const std::string damaged = folder.File("damaged.gf4");
    ASSERT_TRUE(WriteWholeFile(
        damaged, "[directed]\r\n[unweighted]\r\n[black]\r\n2 2\r\n10 10 /*a*/\r\n50 50 /*b*/\r\n1 7\r\n1 2\r\n"));
    Open(damaged);
    EXPECT_EQ(G().fileName, damaged);
    EXPECT_EQ(G().vertexCount, 2);
    EXPECT_EQ(errors, QStringList{QString::fromStdString(
                          "The file \"" + damaged +
                          "\" is damaged: line 7 names vertex 7, which the file does not hold; the edge is left out. "
                          "What could be read is open; saving it writes only that.")});
}

// Save proposes the file on screen; a new graph, the folder of the last save and no name.
TEST_F(Unsaved, SaveProposesTheFileOnScreen) {
    const std::string one = folder.File("one.gf4"), two = folder.File("two.gf4");
    ASSERT_TRUE(WriteWholeFile(one, ReadBytes(Navy)) && WriteWholeFile(two, ReadBytes(Weighted)));
    Open(one);
    answers = {one};
    ui.ToolButton6->click();
    Open(two);
    answers = {two};
    ui.ToolButton6->click();
    EXPECT_EQ(proposed, QString::fromStdString(two));
    EXPECT_EQ(ReadBytes(one).substr(0, 12), "[directed]\r\n"); // still one's graph: two's is undirected
    NewGraph(true, true);
    ui.ToolButton6->click(); // cancelled
    EXPECT_EQ(QDir(proposed).absolutePath(), QString::fromStdString(folder.path));
    EXPECT_EQ(ui.SaveDialog1->directory().absolutePath(), QString::fromStdString(folder.path));
}

// The prompt's text with "*/" or a line break is refused, the old name kept; the model refuses too.
TEST_F(Unsaved, TextsTheFileCannotHoldAreRefused) {
    NewGraph(false, true);
    AddVertexAt({100, 100});
    G().vertices[1].name = "old";
    AnswerPrompt(QStringLiteral("a*/b"));
    DoubleClick({100, 100});
    EXPECT_EQ(G().vertices[1].name, "old");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("\"*/\""))) << errors[0].toStdString();
    for (const char* text : {"a*/b", "*/", "a\nb", "a\rb"}) {
        EXPECT_FALSE(RenameVertex(G(), 1, text)) << text;
        EXPECT_FALSE(SetEdgeWeight(*std::make_unique<Tedge>(), text)) << text;
    }
    EXPECT_TRUE(RenameVertex(G(), 1, "a/*b* /"));
    EXPECT_EQ(G().vertices[1].name, "a/*b* /");
}

} // namespace
