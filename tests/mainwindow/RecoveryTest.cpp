// No work lost: the recovery file's life (written after a change, removed on save, discard and
// close), the offer at start (a crashed editor's file, never a running one's, a damaged one set
// aside), the question before a save replaces another file, and the gf4 file an imported graph
// is saved to.

#include "EditorFixture.h"
#include "Files.h"
#include "RecoveryFile.h"
#include "UndoHistory.h"

#include <QDateTime>
#include <QFileDialog>

#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using TRecoverAnswer = TForm1::TRecoverAnswer;

const std::string Navy = NODELOOM_TEST_DATA "/directed_navy.gf4";

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

class Recovery : public testing::Test, protected TEditor {
protected:
    void SetUp() override {
        ui.ExecuteFileDialog = [this](QFileDialog& dialog) -> std::optional<QString> {
            proposed = dialog.selectedFiles().value(0);
            if (answers.empty()) return std::nullopt;
            const std::string answer = answers.front();
            answers.erase(answers.begin());
            return QString::fromStdString(answer);
        };
        ShowMain();
        ASSERT_FALSE(ui.RecoveryPath.empty());
        folder = ui.RecoveryPath.substr(0, ui.RecoveryPath.rfind('/'));
        ASSERT_TRUE(MakeRecoveryFolder(folder));
        for (const std::string& name : FolderEntries(folder)) RemoveTree(folder + "/" + name);
    }
    void Open(const std::string& path) {
        answers.push_back(path);
        ui.ToolButton4->click();
    }
    // A copy of the navy graph, opened.
    std::string OpenCopy(const std::string& name) {
        const std::string path = files.File(name);
        WriteBytes(path, ReadBytes(Navy));
        Open(path);
        return path;
    }
    // The recovery file of an editor that crashed: this process's number with another start.
    std::string Orphan(const TRecoveryContent& content, unsigned long long startOffset = 1) {
        TProcessMark mark = *CurrentProcessMark();
        mark.start += startOffset;
        const std::string path = folder + "/" + RecoveryFileName(mark);
        WriteBytes(path, RecoveryFileText(content));
        return path;
    }
    TRecoveryContent ContentOf(const Tgraph& g, const std::string& importedFrom = std::string()) {
        return {1765234567, g.fileName, importedFrom, GraphFileText(g)};
    }

    std::vector<std::string> answers;
    QString proposed;
    TempFolder files;
    std::string folder;
};

// After a change the file is written by a timer of at most two seconds, holding the graph and its
// file name; every way of ending the changes removes it.
TEST_F(Recovery, TheFileHoldsUnsavedChangesUntilSavedDiscardedOrClosed) {
    const std::string path = OpenCopy("g.gf4");
    ui.KeepRecovery();
    EXPECT_FALSE(Exists(ui.RecoveryPath)) << "nothing unsaved, nothing kept";

    AddVertexAt({300, 250});
    ASSERT_TRUE(ui.RecoveryTimer->isActive());
    EXPECT_LE(ui.RecoveryTimer->interval(), 2000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Exists(ui.RecoveryPath); }, 20000)) << "written by the timer";
    TRecoveryContent kept;
    std::string problem;
    ASSERT_TRUE(ParseRecoveryFile(ReadBytes(ui.RecoveryPath), kept, problem)) << problem;
    EXPECT_EQ(kept.fileName, path);
    EXPECT_EQ(kept.graph, GraphFileText(G()));
    EXPECT_NEAR(double(kept.time), double(QDateTime::currentSecsSinceEpoch()), 60);

    // A drag is not held up by a write: the timer waits until the button is let go.
    Press({300, 250});
    Move({320, 260});
    ui.KeepRecovery();
    EXPECT_EQ(ReadBytes(ui.RecoveryPath), RecoveryFileText(kept)) << "not written during the drag";
    EXPECT_TRUE(ui.RecoveryTimer->isActive());
    Release({320, 260});
    ui.KeepRecovery();
    ASSERT_TRUE(ParseRecoveryFile(ReadBytes(ui.RecoveryPath), kept, problem)) << problem;
    EXPECT_EQ(kept.graph, GraphFileText(G())) << "written after it";

    // Undone back to the saved graph right after the save; Discard and close leave the changes on
    // screen, so they come last.
    enum TEnd { Save, UndoBack, Discard, Close };
    for (const TEnd end : {Save, UndoBack, Discard, Close}) {
        SCOPED_TRACE(end);
        form1->show();
        ui.appClosing = false;
        AddVertexAt({100 + 40 * end, 200});
        ui.KeepRecovery();
        ASSERT_TRUE(Exists(ui.RecoveryPath));
        switch (end) {
        case Save:
            answers.push_back(path);
            ui.ToolButton6->click();
            break;
        case Discard: ui.ToolButton1->click(); break; // New, answered Discard
        case Close: form1->close(); break;            // answered Discard
        case UndoBack:
            Key(Qt::Key_Z);
            ui.KeepRecovery();
            break;
        }
        EXPECT_FALSE(Exists(ui.RecoveryPath));
        EXPECT_EQ(form1->HasUnsavedChanges(), end == Discard || end == Close) << "the graph on screen stays";
        form2->hide();
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

// A crashed editor's graph is offered with its name and time: Later keeps the file for the next
// start, Discard removes it, Recover puts the graph on screen with its file name, unsaved, and the
// file named on the command line opens after the question.
TEST_F(Recovery, ACrashedEditorsGraphIsOfferedAndTheAnswerFollowed) {
    auto crashed = std::make_unique<Tgraph>();
    LoadGraph(*crashed, Navy);
    AddVertex(*crashed, 333, 222);
    crashed->fileName = files.File("city map.gf4");
    const TRecoveryContent content = ContentOf(*crashed);
    const QString question =
        QStringLiteral("Nodeloom closed without saving \"city map.gf4\" at %1. Recover the changes?")
            .arg(QDateTime::fromSecsSinceEpoch(content.time).toString(QStringLiteral("yyyy-MM-dd HH:mm")));

    for (const TRecoverAnswer answer : {TRecoverAnswer::Later, TRecoverAnswer::Discard, TRecoverAnswer::Recover}) {
        SCOPED_TRACE(int(answer));
        const std::string orphan = Orphan(content);
        QStringList asked;
        ui.AskRecover = [&](const QString& q) { return asked.append(q), answer; };
        const std::string other = files.File("other.gf4");
        WriteBytes(other, ReadBytes(NODELOOM_TEST_DATA "/small.gf4"));
        questions.clear();
        form1->Start(other);
        EXPECT_EQ(asked, QStringList{question});
        EXPECT_EQ(Exists(orphan), answer == TRecoverAnswer::Later);
        if (answer != TRecoverAnswer::Recover) {
            EXPECT_EQ(G().fileName, other) << "the named file opens after the question";
            continue;
        }
        // Recovered, then given up for the named file as Open gives it up; Ctrl+Z has it back.
        EXPECT_EQ(questions, QStringList{QStringLiteral("Save changes to \"city map.gf4\"?")});
        EXPECT_EQ(G().fileName, other);
        Key(Qt::Key_Z);
        auto fromFile = std::make_unique<Tgraph>();
        LoadGraphFromText(*fromFile, content.graph, crashed->fileName);
        EXPECT_EQ(GraphFileText(G()), GraphFileText(*fromFile)) << "the graph as Open reads it";
        EXPECT_EQ(G().fileName, crashed->fileName);
        EXPECT_TRUE(form1->HasUnsavedChanges());
        EXPECT_EQ(form1->windowTitle(), QStringLiteral("Nodeloom 5.1  - city map.gf4"));
        answers.push_back(crashed->fileName);
        ui.ToolButton6->click();
        EXPECT_EQ(proposed, QString::fromStdString(crashed->fileName)) << "Save proposes its file";
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

// A running editor's file, this one's included, is never offered nor touched; a damaged or
// foreign file is reported, set aside under another name and never opened.
TEST_F(Recovery, RunningEditorsFilesAreLeftAndDamagedOnesSetAside) {
    auto g = std::make_unique<Tgraph>();
    LoadGraph(*g, Navy);
    const TRecoveryContent whole = ContentOf(*g);
    const std::string own = Orphan(whole, 0);
    const std::string text = RecoveryFileText(whole);
    TRecoveryContent badGraph = whole;
    badGraph.graph = "not a graph\n";
    const struct {
        const char* what;
        std::string bytes;
        const char* problem;
    } damaged[] = {
        {"foreign", "1\n0\n", "it is not a Nodeloom recovery file"},
        {"cut short", text.substr(0, text.size() - 5), "it is cut short"},
        {"graph unreadable", RecoveryFileText(badGraph), "its graph does not read"},
    };
    for (const auto& bad : damaged) {
        SCOPED_TRACE(bad.what);
        const std::string orphan = Orphan(whole, 7);
        WriteBytes(orphan, bad.bytes);
        errors.clear();
        questions.clear();
        form1->Start(std::string());
        EXPECT_TRUE(questions.isEmpty()) << "nothing offered";
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].contains(QString::fromLatin1(bad.problem))) << errors[0].toStdString();
        EXPECT_TRUE(errors[0].contains(QString::fromStdString(orphan + ".damaged")));
        EXPECT_FALSE(Exists(orphan));
        EXPECT_EQ(ReadBytes(orphan + ".damaged"), bad.bytes);
        EXPECT_FALSE(G().created);
    }
    EXPECT_EQ(ReadBytes(own), text) << "this editor's own file is untouched";
}

// Save asks before it writes over a file that is not the graph's own; Save image asks before it
// writes over a picture it did not write for this graph in this run.
TEST_F(Recovery, SavingOverAnotherFileAsksFirst) {
    const std::string path = OpenCopy("g.gf4");
    const std::string other = files.File("other.gf4");
    const std::string otherBytes = ReadBytes(NODELOOM_TEST_DATA "/small.gf4");
    WriteBytes(other, otherBytes);
    AddVertexAt({300, 250});
    QStringList asked;
    bool replace = false;
    ui.AskReplace = [&](const QString& q) { return asked.append(q), replace; };
    const auto save = [&](const std::string& target, QToolButton* button) {
        asked.clear();
        answers.push_back(target);
        button->click();
    };

    save(path, ui.ToolButton6);
    EXPECT_TRUE(asked.isEmpty()) << "the graph's own file";
    save(other, ui.ToolButton6);
    EXPECT_EQ(asked, QStringList{QStringLiteral("\"other.gf4\" already exists. Replace it?")});
    EXPECT_EQ(ReadBytes(other), otherBytes) << "Cancel leaves it";
    EXPECT_EQ(G().fileName, path);
    replace = true;
    save(other, ui.ToolButton6);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(ReadBytes(other), GraphFileText(G()));
    EXPECT_EQ(G().fileName, other);
    save(files.File("new.gf4"), ui.ToolButton6);
    EXPECT_TRUE(asked.isEmpty()) << "no file there";

    const std::string picture = files.File("p.bmp");
    WriteBytes(picture, "someone else's picture");
    replace = false;
    save(picture, ui.ToolButton8);
    EXPECT_EQ(asked, QStringList{QStringLiteral("\"p.bmp\" already exists. Replace it?")});
    EXPECT_EQ(ReadBytes(picture), "someone else's picture");
    replace = true;
    save(picture, ui.ToolButton8);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(ReadBytes(picture).substr(0, 2), "BM");
    replace = false;
    save(picture, ui.ToolButton8);
    EXPECT_TRUE(asked.isEmpty()) << "the picture just written for this graph";
    OpenCopy("h.gf4");
    save(picture, ui.ToolButton8);
    EXPECT_EQ(asked.size(), 1) << "another graph";
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

// An imported graph is titled by its file, and Save proposes a gf4 file beside it, asking before
// it replaces one that is there.
TEST_F(Recovery, AnImportedGraphIsSavedBesideItsSource) {
    const std::string source = files.File("cities.graphml");
    WriteBytes(source, "<graphml><graph edgedefault=\"undirected\"><node id=\"a\"/><node id=\"b\"/>"
                       "<edge source=\"a\" target=\"b\"/></graph></graphml>");
    Open(source);
    ASSERT_TRUE(G().created);
    EXPECT_EQ(form1->windowTitle(), QStringLiteral("Nodeloom 5.1  - cities.graphml"));
    QStringList asked;
    ui.AskReplace = [&](const QString& q) { return asked.append(q), true; };
    answers.push_back(files.File("cities.gf4"));
    ui.ToolButton6->click();
    EXPECT_EQ(proposed, QString::fromStdString(files.File("cities.gf4")));
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(G().fileName, files.File("cities.gf4"));
    Open(source);
    answers.push_back(files.File("cities.gf4"));
    ui.ToolButton6->click();
    EXPECT_EQ(asked, QStringList{QStringLiteral("\"cities.gf4\" already exists. Replace it?")});

    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{{"/a/b.c/name", "/a/b.c/name.gf4"},
                                                                                   {"/a/.graphml", "/a/.graphml.gf4"},
                                                                                   {"/a/x.tar.csv", "/a/x.tar.gf4"},
                                                                                   {"rel.dot", "rel.gf4"}})
        EXPECT_EQ(GraphFileBeside(from), to);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

} // namespace
