// The file commands driven through their toolbar buttons on the offscreen platform, with the file
// dialogs answered through the window's seam: Open, Save and Save image, and their errors.

#include "AppWindows.h"
#include "CaseNames.h"
#include "ChildRun.h"
#include "Files.h"
#include "JpegDecode.h"
#include "LoadCheck.h"
#include "StatusBar.h"
#include "Surface.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>

#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace colors;

class FileCommands : public testing::Test, protected TAppWindows {
protected:
    void SetUp() override {
        // Every dialog is answered from the queue; a dialog with nothing queued is cancelled.
        ui.ExecuteFileDialog = [this](QFileDialog& dialog) -> std::optional<QString> {
            asked.push_back(&dialog);
            if (answers.empty()) return std::nullopt;
            const std::optional<QString> answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        };
        ShowMain();
    }

    void Answer(const std::string& path) { answers.push_back(QString::fromStdString(path)); }
    void Cancel() { answers.push_back(std::nullopt); }
    void Click(QToolButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // A new undirected, weighted graph on the surface, as the settings window leaves it.
    void NewGraph() {
        Tgraph& g = ui.LiveGraph;
        g.weighted = true;
        g.created = true;
        AddVertex(g, 50, 60);
        AddVertex(g, 170, 80);
        AddVertex(g, 120, 190);
        ConnectVertices(g, 1, 2, "/*7*/ red");
        ConnectVertices(g, 2, 3, "/*x*/");
        g.vertices[2].name = "Hub";
        form1->RefreshView();
    }

    std::vector<std::optional<QString>> answers;
    std::vector<QFileDialog*> asked;
    TempFolder folder;
};

const std::string Navy = NODELOOM_TEST_DATA "/directed_navy.gf4";
const std::string Weighted = NODELOOM_TEST_DATA "/undirected_weighted.gf4";

// How the dialogs treat typed names and endings is tested below, where they run.
TEST_F(FileCommands, DialogsOfferTheirFiltersWithTheFirstSelected) {
    const QStringList graphFilters{QStringLiteral("Graph format 4 (*.gf4)"), QStringLiteral("All files (*.*)")};
    // Open adds the files it imports, after those two.
    EXPECT_EQ(ui.OpenDialog1->nameFilters(),
              graphFilters +
                  QStringList{QStringLiteral("Graphs of other tools (*.graphml *.dot *.gv *.g6 *.s6 *.txt *.csv)")});
    EXPECT_EQ(ui.OpenDialog1->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(ui.OpenDialog1->defaultSuffix(), QString());

    EXPECT_EQ(ui.SaveDialog1->nameFilters(), graphFilters);
    EXPECT_EQ(ui.SaveDialog1->acceptMode(), QFileDialog::AcceptSave);

    EXPECT_EQ(ui.SavePictureDialog1->nameFilters(),
              (QStringList{QStringLiteral("JPEG Image File (*.jpg)"), QStringLiteral("Bitmaps (*.bmp)"),
                           QStringLiteral("PNG Image File (*.png)"), QStringLiteral("SVG Drawing (*.svg)"),
                           QStringLiteral("PDF Document (*.pdf)"), QStringLiteral("LaTeX TikZ Picture (*.tex)")}));
    EXPECT_EQ(ui.SavePictureDialog1->acceptMode(), QFileDialog::AcceptSave);

    for (QFileDialog* dialog : {ui.OpenDialog1, ui.SaveDialog1, ui.SavePictureDialog1}) {
        EXPECT_EQ(dialog->selectedNameFilter(), dialog->nameFilters().constFirst());
        EXPECT_EQ(dialog->parentWidget(), form1.get());
    }
}

// Without the seam the dialog itself runs modally; here a timer answers it as a user would,
// and any question the dialog asks in its turn is answered No and counted.
class RealDialogs : public FileCommands {
protected:
    void SetUp() override {
        FileCommands::SetUp();
        ui.ExecuteFileDialog = nullptr;
    }

    void AnswerWhenShown(QFileDialog* dialog, const std::optional<std::string>& path) {
        QTimer::singleShot(0, dialog, [this, dialog, path] {
            if (!dialog->isVisible()) ADD_FAILURE() << "the dialog is not shown";
            if (!path) return dialog->reject();
            dialog->selectFile(QString::fromStdString(*path));
            // A confirmation box opens inside accept() and runs its own event loop: this timer
            // fires in it, with the box shown, and refuses it.
            QTimer::singleShot(0, dialog, [this] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    ++questions;
                    box->reject();
                }
            });
            static_cast<QDialog*>(dialog)->accept(); // the dialog's own checks, as its Open or Save button
            // accept() has returned: a dialog still open has refused the answer, and is cancelled.
            if (dialog->isVisible()) dialog->reject();
        });
    }

    int questions = 0;
};

TEST_F(RealDialogs, OpenTakesATypedNameThatDoesNotExist) {
    NewGraph();
    AnswerWhenShown(ui.OpenDialog1, folder.File("missing.gf4"));
    Click(ui.ToolButton4);
    EXPECT_FALSE(ui.OpenDialog1->isVisible());
    // The name reached the reader, which found no file: the graph stays, and the box says why.
    EXPECT_TRUE(ui.LiveGraph.created);
    EXPECT_EQ(errors, QStringList{QString::fromStdString("Cannot open \"" + folder.File("missing.gf4") +
                                                         "\": No such file or directory.")});
    EXPECT_EQ(questions, 0);
}

// "All files (*.*)" lists names without a dot too; its caption stays.
TEST_F(RealDialogs, AllFilesListsEveryFile) {
    for (const char* name : {"plain", "tree.gf4", "picture.bmp"}) std::ofstream(folder.File(name)) << "x";
    for (QFileDialog* dialog : {ui.OpenDialog1, ui.SaveDialog1}) {
        SCOPED_TRACE(dialog->windowTitle().toStdString());
        dialog->setDirectory(QString::fromStdString(folder.path));
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Down); // the user picks the second filter
        EXPECT_EQ(dialog->selectedNameFilter(), QStringLiteral("All files (*.*)"));
        auto* files = dialog->findChild<QFileSystemModel*>();
        const QModelIndex shown = files->index(QString::fromStdString(folder.path));
        EXPECT_TRUE(QTest::qWaitFor([&] { return files->rowCount(shown) == 3; }, WatchdogSeconds * 1000))
            << files->rowCount(shown);
    }
}

TEST_F(RealDialogs, ANameTypedWithoutAnEndingGetsTheDialogsDefault) {
    NewGraph();
    AnswerWhenShown(ui.SaveDialog1, folder.File("tree"));
    Click(ui.ToolButton6);
    EXPECT_EQ(ui.LiveGraph.fileName, folder.File("tree.gf4"));
    // The picture's ending follows the selected filter: JPEG at first, then Bitmaps.
    AnswerWhenShown(ui.SavePictureDialog1, folder.File("picture"));
    Click(ui.ToolButton8);
    EXPECT_EQ(ReadBytes(folder.File("picture.jpg")).substr(0, 2), "\xFF\xD8");
    ui.SavePictureDialog1->selectNameFilter(QStringLiteral("Bitmaps (*.bmp)"));
    emit ui.SavePictureDialog1->filterSelected(QStringLiteral("Bitmaps (*.bmp)"));
    AnswerWhenShown(ui.SavePictureDialog1, folder.File("picture"));
    Click(ui.ToolButton8);
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(ReadBytes(folder.File("picture.bmp")).substr(0, 2), "BM");
    // Each further filter adds its own ending, and the file is of that format.
    const char* const further[] = {"PNG Image File (*.png)", "SVG Drawing (*.svg)", "PDF Document (*.pdf)",
                                   "LaTeX TikZ Picture (*.tex)"};
    for (const char* filter : further) {
        ui.SavePictureDialog1->selectNameFilter(QString::fromLatin1(filter));
        emit ui.SavePictureDialog1->filterSelected(QString::fromLatin1(filter));
        AnswerWhenShown(ui.SavePictureDialog1, folder.File("picture"));
        Click(ui.ToolButton8);
    }
    EXPECT_TRUE(errors.isEmpty());
    for (const auto& [ending, mark] : {std::pair<const char*, std::string>{"png", "\x89PNG"},
                                       {"svg", "<svg"},
                                       {"pdf", "%PDF"},
                                       {"tex", "\\begin{tikzpicture}"}})
        EXPECT_NE(ReadBytes(folder.File(std::string("picture.") + ending)).substr(0, 400).find(mark), std::string::npos)
            << ending;
    EXPECT_EQ(folder.Entries().size(), 7u);
}

TEST_F(RealDialogs, SaveReplacesAnExistingFileWithoutAskingAndCancelWritesNothing) {
    NewGraph();
    const std::string path = folder.File("old.gf4");
    WriteBytes(path, "old");
    AnswerWhenShown(ui.SaveDialog1, path);
    Click(ui.ToolButton6);
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(ReadBytes(path), GraphFileText(ui.LiveGraph));
    EXPECT_EQ(form1->windowTitle(), QStringLiteral("Nodeloom 5.1  - old.gf4"));

    AnswerWhenShown(ui.SavePictureDialog1, std::nullopt);
    Click(ui.ToolButton8);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"old.gf4"});
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(FileCommands, OpenThenCancelChangesNothing) {
    Answer(Navy);
    Click(ui.ToolButton4);
    ASSERT_TRUE(ui.LiveGraph.created);
    const QImage picture = ui.Image1->Picture;
    const QString title = form1->windowTitle();

    Cancel();
    Click(ui.ToolButton4);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1], ui.OpenDialog1);
    EXPECT_TRUE(ui.LiveGraph.created);
    EXPECT_EQ(ui.LiveGraph.fileName, Navy);
    EXPECT_EQ(ui.LiveGraph.vertexCount, 2);
    EXPECT_EQ(form1->windowTitle(), title);
    EXPECT_EQ(ui.Image1->Picture, picture);
}

TEST_F(FileCommands, OpeningAFileReplacesTheShownGraphAndKeepsTheTool) {
    NewGraph();
    ui.ToolButton12->setChecked(true);
    Answer(Weighted);
    Click(ui.ToolButton4);

    EXPECT_TRUE(errors.isEmpty());
    Tgraph expected;
    LoadGraph(expected, Weighted);
    EXPECT_EQ(SameGraph(expected, ui.LiveGraph, false), "");
    EXPECT_EQ(ui.LiveGraph.fileName, Weighted);
    EXPECT_EQ(form1->windowTitle(), QStringLiteral("Nodeloom 5.1  - undirected_weighted.gf4"));
    EXPECT_EQ(ui.StatusBar1->PanelText(0), QStringLiteral(" Undirected weighted graph"));
    // The old picture is erased: only the new graph is on the surface.
    EXPECT_EQ(ui.Image1->Picture, FreshPicture());
    EXPECT_TRUE(ui.ToolButton12->isChecked());
}

TEST_F(FileCommands, WithoutAGraphSaveAndSaveImageDoNothing) {
    // Without a graph, Save and Save image show no dialog and write nothing.
    Answer(folder.File("a.gf4"));
    Click(ui.ToolButton6);
    Click(ui.ToolButton8);
    ui.N4->trigger();
    ui.N5->trigger();
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(folder.Entries().empty());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(FileCommands, AnotherProgramsFileIsImportedAsANewGraphAndABadOneIsReported) {
    const std::string edges = folder.File("Edges.TXT");
    WriteBytes(edges, "a -> b 5\nb -> c\n");
    Answer(edges);
    Click(ui.ToolButton4);
    EXPECT_TRUE(errors.isEmpty());
    ASSERT_TRUE(ui.LiveGraph.created);
    EXPECT_EQ(ui.LiveGraph.vertexCount, 3);
    EXPECT_EQ(ui.LiveGraph.fileName, "");
    EXPECT_EQ(form1->windowTitle(), QStringLiteral("Nodeloom 5.1  - Edges.TXT"));
    EXPECT_EQ(ui.StatusBar1->PanelText(0), QStringLiteral(" Directed weighted graph"));

    // Save asks for a name, proposing a gf4 file beside the imported one, never that one.
    asked.clear();
    Answer(folder.File("edges.gf4"));
    Click(ui.ToolButton6);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(ui.SaveDialog1->selectedFiles().value(0), QString::fromStdString(folder.File("Edges.gf4")));
    EXPECT_EQ(ReadBytes(edges), "a -> b 5\nb -> c\n");
    EXPECT_EQ(ui.LiveGraph.fileName, folder.File("edges.gf4"));

    const std::string bad = folder.File("bad.graphml");
    WriteBytes(bad, "<graphml><graph><node id=\"a\"></graph>");
    Answer(bad);
    Click(ui.ToolButton4);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QString::fromStdString("Cannot open \"" + bad + "\": line 1")))
        << errors[0].toStdString();
    EXPECT_EQ(ui.LiveGraph.vertexCount, 3) << "the graph on screen is kept";
}

TEST_F(FileCommands, SaveNamesTheFileInTheTitleAndReadsBackAsTheSameGraph) {
    NewGraph();
    const std::string path = folder.File("tree.gf4");
    Answer(path);
    Click(ui.ToolButton6);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], ui.SaveDialog1);
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(ui.LiveGraph.fileName, path);
    EXPECT_EQ(form1->windowTitle(), QStringLiteral("Nodeloom 5.1  - tree.gf4"));

    // The title stays through the next edit's redraw.
    MoveVertex(ui.LiveGraph, 1, 10, 10);
    form1->RefreshView();
    EXPECT_EQ(form1->windowTitle(), QStringLiteral("Nodeloom 5.1  - tree.gf4"));

    Tgraph back;
    LoadGraph(back, path);
    MoveVertex(ui.LiveGraph, 1, -10, -10);
    EXPECT_EQ(SameGraph(ui.LiveGraph, back, false), "");
}

TEST_F(FileCommands, SaveReplacesAnExistingFileAndCancelWritesNothing) {
    NewGraph();
    const std::string path = folder.File("old.gf4");
    WriteBytes(path, std::string(4000, 'x'));
    Answer(path);
    Click(ui.ToolButton6);
    EXPECT_EQ(ReadBytes(path), GraphFileText(ui.LiveGraph));

    Cancel();
    Click(ui.ToolButton6);
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(ui.LiveGraph.fileName, path);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"old.gf4"});
    EXPECT_TRUE(errors.isEmpty());
}

// Run as the user nobody, in a child copy of this program, so that the permissions bind.
TEST_F(FileCommands, SaveIntoAFolderWithoutWritePermissionShowsTheErrorAndKeepsTheTitle) {
    if (RanInAChild(TRunAs::Nobody)) return;
    Answer(Navy);
    Click(ui.ToolButton4);
    ASSERT_TRUE(ui.LiveGraph.created);
    const QString title = form1->windowTitle();
    ASSERT_EQ(chmod(folder.path.c_str(), 0555), 0);

    Answer(folder.File("denied.gf4"));
    Click(ui.ToolButton6); // through the event loop's error handler
    EXPECT_EQ(errors, QStringList{QStringLiteral("File access denied.")});
    EXPECT_EQ(form1->windowTitle(), title);
    EXPECT_EQ(ui.LiveGraph.fileName, Navy);
    EXPECT_TRUE(folder.Entries().empty());
}

struct TPictureCase {
    const char* name;
    bool jpeg;
};

void PrintTo(const TPictureCase& c, std::ostream* os) { *os << c.name; }

class SaveImage : public FileCommands, public testing::WithParamInterface<TPictureCase> {};

TEST_P(SaveImage, WritesTheSurfaceInTheFormatOfTheEnding) {
    NewGraph();
    // A picture smaller than the control: a BMP keeps it as it stands, a JPEG is made after the
    // picture takes the control's size.
    TImage& surface = *ui.Image1;
    surface.SetPictureSize(surface.width() - 30, surface.height() - 20);
    const QImage before = surface.Picture;
    const std::string path = folder.File(GetParam().name);
    Answer(path);
    Click(ui.ToolButton8);

    ASSERT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], ui.SavePictureDialog1);
    const std::string bytes = ReadBytes(path);
    if (GetParam().jpeg) {
        ASSERT_EQ(surface.Picture.size(), surface.size());
        ASSERT_EQ(surface.Picture.copy(0, 0, before.width(), before.height()), before);
        const TDecodedJpeg jpeg = DecodeJpeg(bytes);
        ASSERT_EQ(jpeg.error, "");
        EXPECT_TRUE(jpeg.jfif);
        EXPECT_EQ(jpeg.components, 3);
        EXPECT_FALSE(jpeg.progressive);
        EXPECT_TRUE(jpeg.baselineFrame);
        ASSERT_EQ(jpeg.image.size(), surface.size());
        // Lossy: near the surface on average, and far from it only at a few edge pixels.
        EXPECT_LT(MeanDistance(jpeg.image, surface.Picture), 2.0);
        int far = 0;
        for (int y = 0; y < jpeg.image.height(); ++y)
            for (int x = 0; x < jpeg.image.width(); ++x)
                far += ChannelDistance(jpeg.image.pixel(x, y), surface.Picture.pixel(x, y)) > 64;
        EXPECT_LT(far, jpeg.image.width() * jpeg.image.height() / 200);
    } else {
        EXPECT_EQ(bytes.substr(0, 2), "BM");
        QImage back;
        ASSERT_TRUE(back.load(QString::fromStdString(path), "BMP"));
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), before);
        EXPECT_EQ(surface.Picture, before);
    }
    EXPECT_EQ(form1->windowTitle(), QStringLiteral("Nodeloom 5.1  - new graph"));
    EXPECT_EQ(ui.LiveGraph.vertexCount, 3);
}

INSTANTIATE_TEST_SUITE_P(Endings, SaveImage,
                         testing::Values(TPictureCase{"picture.bmp", false}, TPictureCase{"PICTURE.BMP", false},
                                         TPictureCase{"picture.jpg", true}, TPictureCase{"PICTURE.JPG", true},
                                         TPictureCase{"picture.jpeg", true}, TPictureCase{"Picture.JpEg", true}),
                         [](const testing::TestParamInfo<TPictureCase>& c) { return TestName(c.param.name); });

TEST_F(FileCommands, SaveImageWithAnyOtherEndingWritesNothingAndSaysWhichEndingsWork) {
    NewGraph();
    for (const char* name : {"picture.gf4", "picture", "bmp", "picture.bmp.txt", "picture.jpe", "picture.dot"}) {
        SCOPED_TRACE(name);
        errors.clear();
        Answer(folder.File(name));
        Click(ui.ToolButton8);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].contains(QString::fromStdString(folder.File(name))));
        EXPECT_TRUE(errors[0].endsWith(QStringLiteral(".png, .bmp, .jpg, .jpeg, .svg, .pdf or .tex files.")))
            << errors[0].toStdString();
        EXPECT_TRUE(folder.Entries().empty());
    }
}

// As the user nobody, in a child copy of this program, so that the permissions bind.
TEST_F(FileCommands, APictureFileThatCannotBeCreatedIsReported) {
    if (RanInAChild(TRunAs::Nobody)) return;
    NewGraph();
    const std::string path = folder.File("no-such-folder/picture.bmp");
    Answer(path);
    Click(ui.ToolButton8);
    EXPECT_EQ(errors,
              QStringList{QString::fromStdString("Cannot create file \"" + path + "\". No such file or directory.")});

    // A folder without write permission.
    ASSERT_EQ(chmod(folder.path.c_str(), 0555), 0);
    const std::string denied = folder.File("denied.jpg");
    errors.clear();
    Answer(denied);
    Click(ui.ToolButton8);
    EXPECT_EQ(errors, QStringList{QString::fromStdString("Cannot create file \"" + denied + "\". Permission denied.")});
    EXPECT_TRUE(folder.Entries().empty());
}

} // namespace
