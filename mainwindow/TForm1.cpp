// The main window's shell: layout, menus and toolbar bound to their handlers, the window-level
// handlers, and RefreshView, the one routine that redraws the surface and sets the texts.

#include "TForm1.h"

#include "Aboutform.h"
#include "ColorBox.h"
#include "ErrorHandler.h"
#include "Fonts.h"
#include "ReportWindow.h"
#include "StatusBar.h"
#include "Surface.h"
#include "TextCodec.h"
#include "ToolBar.h"
#include "Version.h"
#include "WindowFrame.h"
#include "formsettings.h"
#include "helpformp.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

using colors::Silver;
using colors::White;

namespace {

const QString ProductName = QStringLiteral(NODELOOM_PRODUCT);

// The window's outer size and place on the screen.
constexpr int OuterLeft = 381, OuterTop = 219;
constexpr int OuterWidth = 419, OuterHeight = 457;

constexpr int SeparatorWidth = 12;
constexpr int LabelWidth = 39, ColorBoxWidth = 112, ControlHeight = 22;

// A handler bound to a control: what it throws ends in the error box before reaching Qt.
template <class F>
std::function<void()> Handler(F handler) {
    return [handler] { Guarded(handler); };
}

QIcon Picture(const char* name) { return QIcon(QStringLiteral(":/%1.png").arg(QLatin1String(name))); }

} // namespace

QString GraphTitle(const std::string& fileName) {
    if (fileName.empty()) return ProductName + QStringLiteral("  - new graph");
    const std::size_t slash = fileName.rfind('/');
    const std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    return ProductName + QStringLiteral("  - ") + DecodeText(name);
}

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    // The pictures are linked from a static library, so they are registered by hand.
    Q_INIT_RESOURCE(resources);
    setWindowTitle(ProductName);
    setWindowIcon(Picture("nodeloom"));
    setFont(WindowFont());
    setFocusPolicy(Qt::StrongFocus);
    move(OuterLeft, OuterTop);
    resize(ClientSize(OuterWidth, OuterHeight));

    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreateToolBar();
    layout->addWidget(ToolBar1);
    Image1 = new TImage(client);
    layout->addWidget(Image1, 1);
    StatusBar1 = new TStatusBar(client);
    // The first panel was sized for a narrower font; it grows so that the longest kind of graph
    // stays readable in DejaVu Sans.
    const QFontMetrics metrics(StatusBar1->Panel(0)->font());
    const int frame = 2 * StatusBar1->Panel(0)->frameWidth() + 2 * StatusBar1->Panel(0)->margin() + 6;
    StatusBar1->SetPanel0Width(std::max<int>(
        TStatusBar::Panel0Width, metrics.horizontalAdvance(QStringLiteral(" Undirected unweighted graph")) + frame));
    layout->addWidget(StatusBar1);
    setCentralWidget(client);
    CreateMenus();
    // Ctrl+I: the analysis report of the graph as it is now, in a window beside this one.
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_I), this, [this] {
        if (!TReportWindow::Find(*this)) BindPanel();
        TReportWindow::Of(*this).ShowReport(LiveGraph);
        TellPanel();
    });

    Image1->OnMouseDown = [this](Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) {
        Guarded([&] { Image1MouseDown(b, s, x, y); });
    };
    Image1->OnMouseMove = [this](Qt::KeyboardModifiers s, int x, int y) { Guarded([&] { Image1MouseMove(s, x, y); }); };
    Image1->OnClick = Handler([this] { Image1Click(); });
    Image1->OnDblClick = Handler([this] { Image1DblClick(); });
    Image1->OnMouseUp = [this](Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) {
        Guarded([&] { Image1MouseUp(b, s, x, y); });
    };
    Image1->AccessibleSource = [this] { return AccessibleSurface(); };
    // The surface is the last thing the layout sizes, so its resize stands for the window's.
    Image1->OnResize = Handler([this] { FormResize(); });
    // Keys go to the window from the start, and again after a click on the surface (the window
    // takes click focus for it), rather than staying with the colour box, which would take typed
    // characters for its own search.
    setFocus();
    CreateRecovery();

    FormCreate();
}

// Changes not saved stay in the recovery file: the window is destroyed without having closed
// only when the program ends some other way.
TForm1::~TForm1() {
    if (!HasUnsavedChanges()) DropRecovery();
}

void TForm1::SetForms(TForm2* form2, TForm3* form3, TForm4* form4, TForm5* form5) {
    Form2 = form2;
    Form3 = form3;
    Form4 = form4;
    Form5 = form5;
    Form2->OnCreate = [this](const TGraphSettings& settings) { ApplySettings(settings); };
}

void TForm1::ApplySettings(const TGraphSettings& settings) {
    Tgraph& graph = LiveGraph;
    History.BeginChange(graph, TChangeKind::NewGraph);
    graph.directed = settings.directed;
    graph.weighted = settings.weighted;
    graph.baseColor = settings.baseColor;
    // A selection by the program: the colour box's change handler does not run, so the graph's
    // currentColor keeps the colour the user last picked there.
    ColorBox1->SetSelected(graph.baseColor);
    ClearGraph(graph);
    graph.created = true;
    History.EndChange(graph);
    MarkSaved(); // an empty new graph holds nothing to lose
    ImportedFrom.clear();
    WrittenPictures.clear();
    RefreshView();
}

void TForm1::CreateToolBar() {
    ToolBar1 = new TToolBar(this);
    ToolButton1 = ToolBar1->AddButton(Picture("new"), QStringLiteral("Create a new graph"), false);
    ToolButton4 = ToolBar1->AddButton(Picture("open"), QStringLiteral("Load graph from gf4"), false);
    ToolButton6 = ToolBar1->AddButton(Picture("save"), QStringLiteral("Save graph to gf4"), false);
    ToolButton8 = ToolBar1->AddButton(Picture("savepicture"), QStringLiteral("Save an image"), false);
    ToolBar1->AddSeparator(SeparatorWidth);
    ToolButton10 = ToolBar1->AddButton(Picture("addvertex"), QStringLiteral("Add new vertex"), true);
    ToolButton12 = ToolBar1->AddButton(Picture("addedge"), QStringLiteral("Add new edge"), true);
    ToolButton14 = ToolBar1->AddButton(Picture("deletevertex"), QStringLiteral("Delete vertex"), true);
    ToolButton16 = ToolBar1->AddButton(Picture("deleteedge"), QStringLiteral("Delete edge"), true);
    ToolBar1->AddSeparator(SeparatorWidth);
    ToolButton18 = ToolBar1->AddButton(Picture("cancel"), QStringLiteral("Cancel all actions"), false);

    Label1 = new QLabel(QStringLiteral("   Color  "));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // DejaVu Sans is wider than the classic dialog font: the label grows to show its whole text.
    Label1->setFont(font());
    const int labelWidth = std::max(LabelWidth, Label1->sizeHint().width());
    ToolBar1->AddControl(Label1, labelWidth, ControlHeight);
    ColorBox1 = new TColorBox;
    ColorBox1->setToolTip(QStringLiteral("Current color"));
    ToolBar1->AddControl(ColorBox1, ColorBoxWidth, ControlHeight);

    // clicked, not toggled: the program sets the down state of the check buttons without
    // running their handlers.
    connect(ToolButton1, &QToolButton::clicked, this, Handler([this] { ToolButton1Click(); }));
    connect(ToolButton4, &QToolButton::clicked, this, Handler([this] { ToolButton4Click(); }));
    connect(ToolButton6, &QToolButton::clicked, this, Handler([this] { ToolButton6Click(); }));
    connect(ToolButton8, &QToolButton::clicked, this, Handler([this] { ToolButton8Click(); }));
    connect(ToolButton10, &QToolButton::clicked, this, Handler([this] { ToolButton10Click(); }));
    connect(ToolButton12, &QToolButton::clicked, this, Handler([this] { ToolButton12Click(); }));
    connect(ToolButton14, &QToolButton::clicked, this, Handler([this] { ToolButton14Click(); }));
    connect(ToolButton16, &QToolButton::clicked, this, Handler([this] { ToolButton16Click(); }));
    connect(ToolButton18, &QToolButton::clicked, this, Handler([this] { ToolButton18Click(); }));
    ColorBox1->OnChange = Handler([this] { ColorBox1Change(); });
}

void TForm1::CreateMenus() {
    auto item = [this](QMenu* menu, const QIcon& icon, const char* caption, void (TForm1::*handler)()) {
        QAction* action = menu->addAction(icon, QString::fromLatin1(caption));
        connect(action, &QAction::triggered, this, Handler([this, handler] { (this->*handler)(); }));
        return action;
    };
    QMenuBar* bar = menuBar();

    File1 = bar->addMenu(QStringLiteral("Graph"));
    New1 = item(File1, Picture("new"), "New", &TForm1::ToolButton1Click);
    N3 = item(File1, Picture("open"), "Open", &TForm1::ToolButton4Click);
    N4 = item(File1, Picture("save"), "Save", &TForm1::ToolButton6Click);
    N5 = item(File1, Picture("savepicture"), "Save image", &TForm1::ToolButton8Click);
    Exit1 = item(File1, Picture("cancel"), "Exit", &TForm1::Exit1Click);

    N1 = bar->addMenu(QStringLiteral("Edit"));
    Addvertex1 = item(N1, Picture("addvertex"), "Add vertex", &TForm1::Addvertex1Click);
    Addedge1 = item(N1, Picture("addedge"), "Add edge", &TForm1::Addedge1Click);
    Deletevertex1 = item(N1, Picture("deletevertex"), "Delete vertex", &TForm1::Deletevertex1Click);
    Deleteedge1 = item(N1, Picture("deleteedge"), "Delete edge", &TForm1::Deleteedge1Click);
    Cancelediting1 = item(N1, Picture("cancel"), "Cancel editing", &TForm1::ToolButton18Click);

    Help1 = bar->addMenu(QStringLiteral("Help"));
    Usingguide1 = item(Help1, QIcon(), "Help", &TForm1::Usingguide1Click);
    About1 = item(Help1, QIcon(), "About", &TForm1::About1Click);
}

void TForm1::FormCreate() {
    InitGraph(LiveGraph);
    LiveGraph.created = false;
    appClosing = false;
}

void TForm1::FormResize() {
    if (appClosing) return;
    Image1->SetPictureHeight(Image1->height());
    Image1->SetPictureWidth(Image1->width());
    RefreshView();
}

void TForm1::FormClose() {
    appClosing = true;
    DropRecovery();
}

void TForm1::Exit1Click() { close(); }

// Closing the window, by its close control or Exit, first asks about unsaved changes.
void TForm1::closeEvent(QCloseEvent* event) {
    bool goOn = true;
    if (!appClosing) Guarded([this, &goOn] { goOn = ConfirmDiscard(); });
    if (!goOn) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

// Characters that reach the window itself go to the key handler; Qt gives Escape no text on
// every platform, so it is mapped here. Ctrl with a letter is that letter's control character
// (Ctrl+Z is 26, Ctrl+Y 25, Ctrl+C 3) as X11 delivers it, made here where the platform gives
// the plain letter; Ctrl+Shift+Z, redo as Ctrl+Y is, comes as Ctrl+Y's character.
void TForm1::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    const int key = event->key();
    bool used = false;
    // A shown trace's steps, and the whole drawing brought into view.
    if (modifiers == Qt::NoModifier) Guarded([&] { used = TraceKey(key); });
    if (key == Qt::Key_0 && modifiers == Qt::ControlModifier) {
        Guarded([this] { BringIntoView(); });
        used = true;
    }
    if (!used) Guarded([&] { used = KeyboardEdit(*event); });
    if (used) return;
    // Ctrl+Tab leaves the surface's vertices for the next control (the colour box).
    if (key == Qt::Key_Tab && modifiers == Qt::ControlModifier) {
        QMainWindow::focusNextPrevChild(true);
        return;
    }
    // The file commands' keys; the menus show none, as they show no keys at all.
    if (modifiers == Qt::ControlModifier &&
        (key == Qt::Key_N || key == Qt::Key_O || key == Qt::Key_S || key == Qt::Key_Q)) {
        void (TForm1::*command)() = key == Qt::Key_N   ? &TForm1::ToolButton1Click
                                    : key == Qt::Key_O ? &TForm1::ToolButton4Click
                                    : key == Qt::Key_S ? &TForm1::ToolButton6Click
                                                       : &TForm1::Exit1Click;
        Guarded([this, command] { (this->*command)(); });
        return;
    }
    if (key == Qt::Key_Escape) {
        Guarded([this] { FormKeyPress(27); });
    } else if ((modifiers & ~Qt::ShiftModifier) == Qt::ControlModifier && key >= Qt::Key_A && key <= Qt::Key_Z) {
        const char control = static_cast<char>(
            key == Qt::Key_Z && (modifiers & Qt::ShiftModifier) ? Qt::Key_Y - Qt::Key_A + 1 : key - Qt::Key_A + 1);
        Guarded([this, control] { FormKeyPress(control); });
    } else if (!text.isEmpty() && text.at(0).unicode() < 0x100) {
        const char typed = static_cast<char>(text.at(0).unicode());
        Guarded([this, typed] { FormKeyPress(typed); });
    } else {
        QMainWindow::keyPressEvent(event);
    }
}

void TForm1::RefreshView() {
    ScheduleRecovery();
    TRasterCanvas& canvas = Image1->Canvas();
    const int w = Image1->width();
    const int h = Image1->height();

    if (!LiveGraph.created) {
        keyVertex = keyEdgeStart = 0;
        shownMarks.clear(); // painted over with the rest
        canvas.SetBrushColor(Silver);
        canvas.Rectangle(0, 0, w, h);
        Image1->AccessibleChanged();
        setWindowTitle(ProductName);
        StatusBar1->SetPanelText(0, QStringLiteral("Graph not created"));
        StatusBar1->SetPanelText(1, QStringLiteral("Create or load graph from file"));
        TellPanel();
        return;
    }

    // Still the no-graph picture: whiten the whole surface, its frame falling outside.
    if (canvas.Pixel(2, 2) == Silver) {
        canvas.SetBrushColor(White);
        canvas.Rectangle(-1, -1, w + 1, h + 1);
    }
    UpdateShownMarks();
    // The old picture is erased by repainting it in white, so it must use the shadow's geometry.
    // Shown results are drawn on a whitened surface, as is the first picture without them.
    {
        const TRasterCanvas::TFrame frame(canvas);
        EraseKeyboardMarks(canvas);
        if (Shown || MarksOnSurface) {
            canvas.SetBrushColor(White);
            canvas.Rectangle(-1, -1, w + 1, h + 1);
        } else {
            EraseGraph(ShadowGraph, canvas);
        }
        if (Shown)
            DrawGraph(LiveGraph, canvas, *Shown);
        else
            DrawGraph(LiveGraph, canvas);
        MarksOnSurface = Shown.has_value();
        DrawKeyboardMarks(canvas);
    }
    SyncShadow(LiveGraph, ShadowGraph);

    // An imported graph has no file name yet: the title names the file it came from.
    setWindowTitle(GraphTitle(LiveGraph.fileName.empty() ? ImportedFrom : LiveGraph.fileName));
    StatusBar1->SetPanelText(0, QString::fromLatin1(LiveGraph.directed ? " Directed " : " Undirected ") +
                                    QString::fromLatin1(LiveGraph.weighted ? "weighted graph" : "unweighted graph"));
    StatusBar1->SetPanelText(1, StatusNote());
    Image1->AccessibleChanged();
    // The analysis panel, when shown, follows every change.
    TellPanel();
}

void TForm1::ToolButton1Click() {
    if (!ConfirmDiscard()) return;
    Form2->show();
}

void TForm1::Usingguide1Click() {
    Form4->show();
    Form4->Navigate(FindHelpPage(QCoreApplication::applicationFilePath()));
}

void TForm1::About1Click() { Form5->show(); }
