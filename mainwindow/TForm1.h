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

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QFileDialog;
class QLabel;
class QMenu;
class QTimer;
class QToolButton;
class TColorBox;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TImage;
class TStatusBar;
class TToolBar;

struct TAccessibleContent;
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
    enum class TRecoverAnswer { Recover, Discard, Later };

    // The editor's start, after the window is shown: offers back, one by one, the graphs of
    // editors that closed without saving them (a damaged recovery file is reported and set
    // aside), then opens file, when not empty, as OpenGraphFile does; a recovered graph is
    // first given up as New gives it up, with the unsaved-changes question.
    void Start(const std::string& file, std::optional<TLayout> layout = std::nullopt);

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
    // A trace shown step by step instead (--trace, the analysis panel): the algorithm as --trace
    // names it ("bfs:A", "kruskal"), at its first frame; it replaces shown results, as they replace
    // it. Recomputed at every redraw and hidden with a note like them. Page Down and Page Up step
    // it, Home and End go to its first and last frame, and the status bar says "Step k of n: ...".
    // Throws std::runtime_error for a trace the graph cannot give now (nothing is shown then).
    void ShowTrace(const QString& trace);
    // The shown trace's frame: 0 before the first step, k after step k; held within the trace.
    void ShowFrame(int frame);
    int ShownFrame() const { return TraceFrame; }
    // Hides results and trace; the next redraw draws the graph alone.
    void HideResults();
    bool ShowsResult() const;
    // Moves the whole drawing onto the surface where it has left it, as a drag of the surface
    // would (one undo step); Ctrl+0.
    void BringIntoView();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Tab and Shift+Tab choose the next and previous vertex while the window holds the focus and
    // a graph with vertices is shown; elsewhere they move the focus as usual.
    bool focusNextPrevChild(bool next) override;

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
    // The renaming prompt for vertex v (a double-click on it, F2), then the new name set. Gives
    // the typed name and what the cut kept of it when the cut shortened it (else two empty texts),
    // for TellNameCut to say once the picture is redrawn.
    std::pair<std::string, std::string> AskVertexName(int v);
    void TellNameCut(const std::pair<std::string, std::string>& cut);

    // Editing from the keyboard alone (Access.cpp): a vertex chosen by Tab, Shift+Tab or typing
    // its name is moved by the arrow keys, renamed by F2, deleted by Delete, and starts an edge
    // by E, whose other end is chosen the same way and confirmed by Return. Insert adds a vertex.
    // True when the key was one of these and was used.
    bool KeyboardEdit(const QKeyEvent& event);
    void SelectVertexByKey(int v);
    void StepVertexSelection(int step);
    bool SearchVertex(QChar typed);
    void ConfirmKeyboardEdge();
    void DropPendingMark();
    // The selection's marks: the old ones painted over in white, then the new ones; only while the
    // keyboard's selection is in use, so the picture is the graph's alone otherwise.
    void EraseKeyboardMarks(TCanvas& canvas);
    void DrawKeyboardMarks(TCanvas& canvas);
    // The keyboard's selection ends (a press of the mouse on the surface, Escape).
    void EndKeyboardSelection();
    // What an assistive program reads of the surface now.
    TAccessibleContent AccessibleSurface() const;
    // Before a save writes over the existing file at path, unless own (it is the file the
    // graph came from, or the picture this editor wrote for it): asks whether to replace it.
    // True when the save may go on.
    bool ConfirmReplace(const std::string& path, bool own);

    // Recovery (Recovery.cpp). While the graph has unsaved changes, this editor's recovery file
    // holds it, written a moment after a change and removed on save, discard and close.
    void CreateRecovery();
    void ScheduleRecovery(); // a change may have been made: the file is brought up to date soon
    void KeepRecovery();     // writes the file, or removes it when nothing is unsaved
    void DropRecovery();     // removes the file
    void OfferRecovery();
    // The shown results' or trace's marks for the graph as it is, the trace's frame held within
    // it; throws what the analysis throws.
    void ComputeMarks(TMarks& marks);
    // The keys of a shown trace: Page Down, Page Up, Home, End. True when the key was one of them.
    bool TraceKey(int key);
    // The analysis panel's requests bound to this window, and what it shows told to it.
    void BindPanel();
    void TellPanel();
    // Before a redraw: Shown from ShownTexts, or hides them with a note when they fail.
    void UpdateShownMarks();
    // The marks drawn on the surface now, or null.
    const TMarks* ShownMarks() const;
    // The status bar's second panel with a graph.
    QString StatusNote() const;
    // The shown trace's frame: "Step k of n: ...".
    QString StepText() const;

    Tgraph LiveGraph, ShadowGraph;
    // LiveGraph's content before each change, for Ctrl+Z and its redo keys. A change spans one
    // click, one double-click, one drag from press to release, a Create or an Open.
    TUndoHistory History;
    bool appClosing = false; // set when the window closes; stops resize redraws and the prompt's wait
    std::optional<TGraphSnapshot> SavedContent; // as last opened, saved or created
    std::string LastSaveFolder;                 // where the last save went, with its slash
    int pressX = 0, pressY = 0;                 // the last press point on the surface, in surface pixels
    int keyVertex = 0;     // the vertex the keyboard chose; 0 for none (the selection is not in use)
    int keyEdgeStart = 0;  // after E: the new edge's first vertex; 0 for none
    std::string keySearch; // the letters typed in a row to find a vertex by its name
    std::chrono::steady_clock::time_point keySearchAt;
    struct TMarkBox {
        int x1, y1, x2, y2;
    };
    std::vector<TMarkBox> shownMarks; // the selection's marks on the surface now
    std::string ImportedFrom;         // the other tool's file the graph on screen was imported from
    // The pictures Save image wrote for the graph on screen; writing one again asks nothing.
    std::vector<std::string> WrittenPictures;
    std::string RecoveryPath;               // this editor's recovery file; empty when recovery is off
    QTimer* RecoveryTimer = nullptr;        // single shot, started by a change, coalescing the next ones
    bool recoveryFailed = false;            // the last write failed, and said so
    std::vector<std::string> ShownTexts;    // the results shown on the surface, as named
    std::optional<TColor> ShownColour;      // their colour; nothing for DefaultHighlight's
    std::optional<TMarks> Shown;            // their marks at the last redraw
    bool MarksOnSurface = false;            // the picture holds marks: the next redraw starts white
    QString ShownNote;                      // why shown results were hidden
    std::string ShownTraceText;             // the trace shown step by step, as named; empty for none
    int TraceFrame = 0, TraceLastFrame = 0; // its frame on the surface, and its last frame
    std::string TraceWords;                 // that frame in words
    bool PendingMarked = false;             // the add-edge tool's first vertex is marked on the surface
    struct TShownCache;                     // the last computation of the shown results and trace
    std::shared_ptr<TShownCache> ShownCache;

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
    // The recovery question at start: Recover (the default) and Discard, Escape being Later.
    std::function<TRecoverAnswer(const QString& question)> AskRecover;
    // The replace question before a save: Replace and Cancel, Escape being Cancel; true for Replace.
    std::function<bool(const QString& question)> AskReplace;
};

// The window title for a graph: the program's name, then the file's name without its folder,
// or "new graph" for a graph without a file.
QString GraphTitle(const std::string& fileName);
// The gf4 file that Save proposes for a graph imported from source: beside it, with its name and
// the ending .gf4 in place of the source's last one ("/maps/cities.graphml" -> "/maps/cities.gf4").
std::string GraphFileBeside(const std::string& source);
