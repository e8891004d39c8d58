// The editor as a whole under long random sequences of user actions: tools, clicks, drags,
// hovering, double-clicks answered in the prompt, keys, new graphs, colour picks, saves and
// opens, undos and redos. After every action the record keeps its invariants and a redraw leaves
// exactly a fresh drawing of the live graph, pixel for pixel; after every save and open the graph
// is the one that was saved; k steps undone and redone give back the graph, and undoing every
// step gives back the graph the window started with.

#include "EditorFixture.h"
#include "Invariants.h"

#include <QAction>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <random>
#include <tuple>

namespace {

constexpr int ActionsPerSeed = 400;

// What a gf4 file keeps of a graph, for comparing the graph saved with the graph opened.
struct TKept {
    bool directed = false, weighted = false;
    TColor base = 0;
    std::vector<std::tuple<std::string, int, int>> vertices;
    std::map<std::pair<int, int>, std::pair<std::string, TColor>> edges;
    bool operator==(const TKept& o) const {
        return std::tie(directed, weighted, base, vertices, edges) ==
               std::tie(o.directed, o.weighted, o.base, o.vertices, o.edges);
    }
};

TKept Kept(const Tgraph& g) {
    TKept k;
    k.directed = g.directed;
    k.weighted = g.weighted;
    k.base = g.baseColor;
    for (int v = 1; v <= g.vertexCount; ++v)
        k.vertices.emplace_back(g.vertices[v].name, g.vertices[v].x, g.vertices[v].y);
    for (int s = 1; s <= g.vertexCount; ++s)
        for (const Tedge* e = g.edgeLists[s].get(); e; e = e->next.get())
            if (g.directed || e->target >= s) k.edges[{s, e->target}] = {e->weight, e->color};
    return k;
}

class EditorProperties : public testing::TestWithParam<unsigned>, protected TEditor {
protected:
    void SetUp() override {
        ShowMain();
        ASSERT_TRUE(folder.isValid());
        file = folder.filePath(QStringLiteral("graph.gf4"));
        ui.ExecuteFileDialog = [this](QFileDialog&) { return std::optional<QString>(file); };
    }

    int Pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }

    // A point of the surface: often a vertex centre or an edge's middle, sometimes anywhere.
    QPoint Somewhere() {
        const Tgraph& g = G();
        const int kind = Pick(10);
        if (kind < 4 && g.vertexCount > 0) {
            const Tvertex& v = g.vertices[1 + Pick(g.vertexCount)];
            return {v.x + Pick(9) - 4, v.y + Pick(9) - 4};
        }
        if (kind < 7 && g.vertexCount > 0) {
            const int s = 1 + Pick(g.vertexCount);
            if (const Tedge* e = g.edgeLists[s].get()) {
                const Tvertex &a = g.vertices[s], &b = g.vertices[e->target];
                if (e->target == s) return {a.x + Pick(9) - 4, a.y - 38 + Pick(5)}; // on the loop
                return {(a.x + b.x) / 2 + Pick(9) - 4, (a.y + b.y) / 2 + Pick(9) - 4};
            }
        }
        return {Pick(Surface().width()), Pick(Surface().height())};
    }

    QPoint VertexCentre() {
        const Tvertex& v = G().vertices[1 + Pick(G().vertexCount)];
        return {v.x, v.y};
    }

    // Texts a user types: plain, spaced, accented, long, empty. No "/" or "*", which the file's
    // unescaped frames cannot hold.
    QString Text() {
        static const QString texts[] = {QStringLiteral("A"),     QStringLiteral("12"),
                                        QStringLiteral("3 km"),  QStringLiteral("Ölberg"),
                                        QStringLiteral(""),      QStringLiteral("Wolverhampton"),
                                        QStringLiteral("x y z"), QStringLiteral("名前")};
        return texts[Pick(8)];
    }

    // Answers a prompt if the double-click opens one; a prompt that does not open costs nothing.
    void AnswerIfAsked(const QString& text, bool closeInstead) {
        QTimer::singleShot(0, form3.get(), [this, text, closeInstead] {
            if (!form3->isVisible()) return;
            if (closeInstead) {
                form3->close();
                return;
            }
            form3->Edit1->setText(text);
            QTest::mouseClick(form3->Button1, Qt::LeftButton);
        });
    }

    void Act(std::string& log) {
        switch (Pick(23)) {
        case 0:
        case 1:
        case 2:
        case 3: {
            const QPoint p = Somewhere();
            log = "add vertex at " + std::to_string(p.x()) + "," + std::to_string(p.y());
            if (Pick(2) == 0)
                ui.Addvertex1->trigger();
            else
                ui.ToolButton10->click();
            Click(p);
            break;
        }
        case 4:
        case 5:
        case 6:
            // Two vertices, the same one now and then: edges and self-loops.
            log = "add edge";
            ui.Addedge1->trigger();
            for (int k = 0; k < 2 && G().vertexCount > 0; ++k) Click(Pick(8) == 0 ? Somewhere() : VertexCentre());
            break;
        case 7: {
            QAction* tools[] = {ui.Addvertex1, ui.Addedge1, ui.Deletevertex1, ui.Deleteedge1, ui.Cancelediting1};
            const int t = Pick(5);
            log = "menu tool " + std::to_string(t);
            tools[t]->trigger();
            if (Pick(2) == 0) Click(Somewhere());
            break;
        }
        case 8: {
            QToolButton* buttons[] = {ui.ToolButton10, ui.ToolButton12, ui.ToolButton14, ui.ToolButton16,
                                      ui.ToolButton18};
            const int b = Pick(5);
            log = "tool button " + std::to_string(b);
            buttons[b]->click();
            if (Pick(2) == 0) Click(Somewhere());
            break;
        }
        case 9:
        case 10: {
            const QPoint p = Somewhere();
            log = "click at " + std::to_string(p.x()) + "," + std::to_string(p.y());
            Click(p);
            break;
        }
        case 11:
        case 12: {
            const QPoint p = Somewhere();
            log = "hover at " + std::to_string(p.x()) + "," + std::to_string(p.y());
            Move(p);
            break;
        }
        case 13: {
            const Qt::MouseButton button = Pick(4) == 0 ? Qt::RightButton : Qt::LeftButton;
            QPoint p = Somewhere();
            log = "drag from " + std::to_string(p.x()) + "," + std::to_string(p.y());
            Press(p, button);
            for (int k = 1 + Pick(4); k > 0; --k) {
                p += QPoint(Pick(61) - 30, Pick(61) - 30);
                Move(p);
                if (Pick(8) == 0) {
                    log += ", undo";
                    Key(Qt::Key_Z);
                }
            }
            Release(p, button);
            break;
        }
        case 14:
        case 15: {
            const QPoint p = Somewhere();
            log = "double-click at " + std::to_string(p.x()) + "," + std::to_string(p.y());
            AnswerIfAsked(Text(), Pick(8) == 0);
            Move(p); // the pointer arrives first, hovering what lies there
            DoubleClick(p);
            break;
        }
        case 16: {
            const Qt::Key keys[] = {Qt::Key_Escape, Qt::Key_Period, Qt::Key_A, Qt::Key_Space};
            const int k = Pick(4);
            log = "key " + std::to_string(k);
            QTest::keyClick(form1.get(), keys[k]);
            // A letter may choose a vertex by its name, marked until Escape ends the choice.
            if (keys[k] == Qt::Key_A) QTest::keyClick(form1.get(), Qt::Key_Escape);
            break;
        }
        case 17:
            if (Pick(4) == 0) {
                log = "new graph";
                form2->ColorBox1->SetSelected(ColorTable[Pick(16)].value);
                NewGraph(Pick(2) == 0, Pick(2) == 0);
            }
            break;
        case 18: {
            const int c = Pick(16);
            log = "colour " + std::to_string(c);
            PickColor(c);
            break;
        }
        case 19:
            if (G().created && Pick(2) == 0) {
                log = "save and open";
                const TKept saved = Kept(G());
                ui.ToolButton6->click();
                ASSERT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char(' ')).toStdString();
                ASSERT_EQ(G().fileName, file.toStdString());
                ui.ToolButton4->click();
                ASSERT_TRUE(G().created);
                ASSERT_TRUE(Kept(G()) == saved) << "the graph opened is not the graph saved";
                ++reopened;
            }
            break;
        case 20:
        case 21: {
            // Ctrl+Z, or a redo key; a step taken leaves no editing state naming a vertex that is gone.
            const Qt::KeyboardModifiers control = Qt::ControlModifier, shift = Qt::ShiftModifier;
            const int which = Pick(3);
            const std::size_t steps = ui.History.UndoSteps();
            log = which == 0 ? "Ctrl+Z" : which == 1 ? "Ctrl+Y" : "Ctrl+Shift+Z";
            which == 1 ? Key(Qt::Key_Y) : Key(Qt::Key_Z, which == 0 ? control : control | shift);
            if (ui.History.UndoSteps() != steps) {
                ASSERT_LE(std::max({G().edgeStart, G().edgeEnd, G().dragVertex}), G().vertexCount);
            }
            break;
        }
        case 22: {
            const int k = std::min(static_cast<int>(ui.History.UndoSteps()), 1 + Pick(6));
            log = "undo and redo " + std::to_string(k) + " steps";
            const std::string before = GraphContent(G());
            for (int i = 0; i < k; ++i) Key(Qt::Key_Z);
            for (int i = 0; i < k; ++i) Key(Qt::Key_Y);
            ASSERT_EQ(GraphContent(G()), before);
            break;
        }
        }
    }

    std::mt19937 rng;
    QTemporaryDir folder;
    QString file;
    int reopened = 0;
};

TEST_P(EditorProperties, RandomActionsKeepTheRecordAndThePictureExact) {
    rng.seed(GetParam());
    const std::string start = GraphContent(G());
    NewGraph(false, true);
    int drawnChecks = 0, mostVertices = 0, mostEdges = 0;
    for (int step = 0; step < ActionsPerSeed; ++step) {
        std::string log;
        Act(log);
        QApplication::processEvents();
        SCOPED_TRACE("step " + std::to_string(step) + ": " + log);
        ASSERT_TRUE(form1->isEnabled()) << "the main window was left disabled";
        ASSERT_EQ(CheckInvariants(G(), true), "");
        mostVertices = std::max(mostVertices, G().vertexCount);
        mostEdges = std::max(mostEdges, G().edgeCount);
        form1->RefreshView();
        if (G().created) {
            ASSERT_EQ(Surface().Picture, ExpectedPicture()) << "the redraw left a trace";
            ++drawnChecks;
        }
    }
    EXPECT_GT(drawnChecks, ActionsPerSeed / 2);
    EXPECT_GE(mostVertices, 5) << "the sequence never built much of a graph";
    EXPECT_GT(reopened, 0);
    EXPECT_GT(mostEdges, 3) << "the sequence never built many edges";

    // Every step undone, and then one more undo, of nothing.
    for (std::size_t steps = ui.History.UndoSteps() + 1; steps > 0; --steps) {
        Key(Qt::Key_Z);
        if (G().created) {
            ASSERT_EQ(Surface().Picture, ExpectedPicture()) << steps << " steps from the start";
        }
    }
    EXPECT_EQ(GraphContent(G()), start);
}

INSTANTIATE_TEST_SUITE_P(Seeds, EditorProperties, testing::Values(1u, 2u, 3u, 4u, 5u, 6u),
                         [](const testing::TestParamInfo<unsigned>& c) { return "Seed" + std::to_string(c.param); });

} // namespace
