#pragma once
// The main window: menu, toolbar, drawing surface and status bar, the one redraw routine and
// every command's handler. Shell and redraw live in TForm1.cpp, the editing handlers in
// Editing.cpp and the file commands in FileCommands.cpp.

#include "Graph_obj.h"
#include "Layout.h"
#include "Marks.h"
#include "UndoHistory.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QFileDialog;
class QLabel;
class QMenu;
class QToolButton;
class TColorBox;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TImage;
class TStatusBar;
class TToolBar;

struct TGraphSettings;

// The window's data and controls are its own: its handlers change them, the secondary windows
// report back through callbacks, and the tests reach them through TForm1TestAccess
// (tests/support/TForm1TestAccess.h), which nothing else includes.
class TForm1 : public QMainWindow {
    friend class TForm1TestAccess;

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The secondary windows, created after this one; they live as long as it does. The settings
    // window's Create is bound to ApplySettings here.
    void SetForms(TForm2* form2, TForm3* form3, TForm4* form4, TForm5* form5);

    // Opens a graph file as the Open command does, then redraws: gf4, or another program's file
    // by its ending (imported without a file name; layout as --layout says, or the file's
    // default). A file that cannot be read or is no graph file leaves the graph on screen, its
    // title and its undo history as they were, and an error box names the file and the reason; a
    // damaged file opens with what could be read, and the box says what is missing. path is in
    // the file system's 8-bit encoding.
    void OpenGraphFile(const std::string& path, std::optional<TLayout> layout = std::nullopt);

    // Whether the graph on screen differs from what was last opened, saved or created. An undo
    // back to that state counts as unchanged.
    bool HasUnsavedChanges() const;
    enum class TUnsavedAnswer { Save, Discard, Cancel };

    // Shell and redraw.
    void FormCreate();
    void FormResize();
    void FormClose();
    void Exit1Click();
    void RefreshView();

    // New graph, help and About.
    void ToolButton1Click();
    void Usingguide1Click();
    void About1Click();

    // Editing tools and mouse interaction.
    void ToolButton10Click();
    void ToolButton12Click();
    void ToolButton14Click();
    void ToolButton16Click();
    void ToolButton18Click();
    void Addvertex1Click();
    void Addedge1Click();
    void Deletevertex1Click();
    void Deleteedge1Click();
    void Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void Image1MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void Image1Click();
    void Image1DblClick();
    void Image1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void FormKeyPress(char key);
    void ColorBox1Change();

    // File commands.
    void ToolButton4Click();
    void ToolButton6Click();
    void ToolButton8Click();
    // Writes the surface's picture to path by the path's ending in the table of formats (any
    // case): JPEG, BMP and PNG as the surface's pixels stand; SVG, PDF and TikZ drawn from the
    // graph at the surface's size, with the results shown on it. Throws std::runtime_error for
    // any other ending or a file that cannot be written.
    void SaveImage(const std::string& path);

    // Results drawn on the surface (ShownResult.cpp): each as --show names it ("path:A,B", "mst",
    // ...), in the colour named (one of the 16; empty for the first no edge has). They are
    // recomputed at every redraw and hidden, with a note in the status bar, when the graph no
    // longer gives them. Throws std::runtime_error for an unknown colour or a result the graph
    // cannot give now (nothing is shown then).
    void ShowResults(const QStringList& results, const QString& colour = QString());
    // Hides them; the next redraw draws the graph alone.
    void HideResults();
    bool ShowsResult() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class TFileDialogKind { Open, Save, SavePicture };
    static QFileDialog* CreateFileDialog(TForm1* owner, TFileDialogKind kind);
    std::optional<std::string> AskPath(QFileDialog& dialog);

    void CreateToolBar();
    void CreateMenus();
    // Before the graph on screen is given up (close, Exit, New, Open): with unsaved changes, asks
    // whether to save them; Save runs the Save command. True when the caller may go on.
    bool ConfirmDiscard();
    // The Save command; true when the graph was saved, false when the dialog was cancelled.
    // Throws what SaveGraph throws.
    bool SaveCommand();
    // What is on screen now counts as saved.
    void MarkSaved();
    // The settings window's Create: an empty graph of the chosen kind and base colour.
    void ApplySettings(const TGraphSettings& settings);
    // The shown results' marks for the graph as it is; throws what the analysis throws.
    void ComputeMarks(TMarks& marks) const;
    // Before a redraw: Shown from ShownTexts, or hides them with a note when they fail.
    void UpdateShownMarks();
    // The marks drawn on the surface now, or null.
    const TMarks* ShownMarks() const;
    // The status bar's second panel with a graph.
    QString StatusNote() const;

    Tgraph LiveGraph, ShadowGraph;
    // LiveGraph's content before each change, for Ctrl+Z and its redo keys. A change spans one
    // click, one double-click, one drag from press to release, a Create or an Open.
    TUndoHistory History;
    bool appClosing = false; // set when the window closes; stops resize redraws and the prompt's wait
    std::optional<TGraphSnapshot> SavedContent; // as last opened, saved or created
    std::string LastSaveFolder;                 // where the last save went, with its slash
    int pressX = 0, pressY = 0;                 // the last press point on the surface, in surface pixels
    std::vector<std::string> ShownTexts;        // the results shown on the surface, as named
    std::optional<TColor> ShownColour;          // their colour; nothing for DefaultHighlight's
    std::optional<TMarks> Shown;                // their marks at the last redraw
    bool MarksOnSurface = false;                // the picture holds marks: the next redraw starts white
    QString ShownNote;                          // why shown results were hidden

    // Controls.
    TToolBar* ToolBar1;
    QToolButton *ToolButton1, *ToolButton4, *ToolButton6, *ToolButton8;
    QToolButton *ToolButton10, *ToolButton12, *ToolButton14, *ToolButton16, *ToolButton18;
    QLabel* Label1;
    TColorBox* ColorBox1;
    TImage* Image1;
    TStatusBar* StatusBar1;
    QMenu *File1, *N1, *Help1;
    QAction *New1, *N3, *N4, *N5, *Exit1;
    QAction *Addvertex1, *Addedge1, *Deletevertex1, *Deleteedge1, *Cancelediting1;
    QAction *Usingguide1, *About1;

    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
    TForm4* Form4 = nullptr;
    TForm5* Form5 = nullptr;

    // The file dialogs, created with the window and kept for its lifetime.
    QFileDialog* OpenDialog1 = CreateFileDialog(this, TFileDialogKind::Open);
    QFileDialog* SaveDialog1 = CreateFileDialog(this, TFileDialogKind::Save);
    QFileDialog* SavePictureDialog1 = CreateFileDialog(this, TFileDialogKind::SavePicture);
    // Runs a file dialog modally and gives back the chosen path, or nothing when the user
    // cancels. Empty: the dialog itself is shown. Tests answer through it instead.
    std::function<std::optional<QString>(QFileDialog& dialog)> ExecuteFileDialog;
    // Asks the unsaved-changes question. Empty: a modal box titled "Nodeloom" with Save, Discard
    // and Cancel, Escape being Cancel. Tests answer through it instead.
    std::function<TUnsavedAnswer(const QString& question)> AskUnsaved;
};

// The window title for a graph: the program's name, then the file's name without its folder,
// or "new graph" for a graph without a file.
QString GraphTitle(const std::string& fileName);
