// The analysis panel's choosers and step control.

#include "ResultChooser.h"

#include "Analysis.h"
#include "ErrorHandler.h"
#include "Text.h"
#include "Trace.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <sstream>
#include <string>

namespace {

struct TWords {
    const char* word;
    const char* label;
};

// The words people read for the request words; a word missing here is offered as itself.
constexpr TWords ResultLabels[] = {
    {"path", "Shortest path"},        {"bfs", "Breadth-first search"},     {"dfs", "Depth-first search"},
    {"mst", "Minimum spanning tree"}, {"euler", "Euler circuit or trail"}, {"matching", "Maximum matching"},
    {"colouring", "Colouring"},       {"components", "Components"},        {"flow", "Maximum flow"},
};
constexpr TWords TraceLabels[] = {
    {"bfs", "Breadth-first search"},
    {"dfs", "Depth-first search"},
    {"dijkstra", "Dijkstra's shortest paths"},
    {"bellman-ford", "Bellman-Ford shortest paths"},
    {"prim", "Prim's spanning tree"},
    {"kruskal", "Kruskal's spanning tree"},
    {"floyd-warshall", "Floyd-Warshall distances"},
    {"flow", "Maximum flow"},
    {"topological", "Topological order"},
    {"greedy-colouring", "Greedy colouring"},
    {"welsh-powell", "Welsh-Powell colouring"},
    {"euler", "Euler circuit or trail"},
    {"bridges", "Bridges"},
};

template <std::size_t N>
void AddChoices(std::vector<TPanelChoice>& choices, const char* spellings, const TWords (&labels)[N], bool trace) {
    std::istringstream words(spellings);
    for (std::string spelling; words >> spelling;) {
        TPanelChoice choice;
        const std::size_t colon = spelling.find(':');
        const std::string word = spelling.substr(0, colon);
        choice.word = QString::fromStdString(word);
        if (colon != std::string::npos)
            choice.vertices = 1 + static_cast<int>(std::count(spelling.begin() + colon, spelling.end(), ','));
        choice.trace = trace;
        choice.label = choice.word;
        for (const TWords& w : labels)
            if (word == w.word) choice.label = QString::fromLatin1(w.label);
        if (trace) choice.label += QStringLiteral(" (steps)");
        choices.push_back(choice);
    }
}

} // namespace

std::vector<TPanelChoice> PanelChoices() {
    std::vector<TPanelChoice> choices;
    AddChoices(choices, analysis::ResultWords, ResultLabels, false);
    AddChoices(choices, analysis::TraceAlgorithms, TraceLabels, true);
    return choices;
}

QString PanelVertexReference(const Tgraph& g, int v) {
    const std::string& name = g.vertices[v].name;
    const QString text = QString::fromStdString(name);
    // The main window reads the request back as UTF-8: a name whose bytes are not that is named
    // by its number.
    if (!name.empty() && name.find(',') == std::string::npos && text.toStdString() == name) {
        try {
            if (analysis::FindVertex(g, name) == v) return text;
        } catch (const std::exception&) {
            // A shared name, or one that is another vertex's "#N".
        }
    }
    return QStringLiteral("#%1").arg(v);
}

QString PanelVertexLabel(const Tgraph& g, int v) {
    const std::string& name = g.vertices[v].name;
    if (name.empty()) return QStringLiteral("#%1").arg(v);
    return QStringLiteral("%1 (#%2)").arg(QString::fromStdString(PrintableUtf8(name))).arg(v);
}

TResultChooser::TResultChooser(QWidget* parent)
    : QWidget(parent), choices_(PanelChoices()), choice_(new QComboBox(this)), from_(new QComboBox(this)),
      to_(new QComboBox(this)), show_(new QPushButton(QStringLiteral("&Show"), this)),
      hide_(new QPushButton(QStringLiteral("&Hide"), this)),
      previous_(new QPushButton(QStringLiteral("&Previous step"), this)),
      next_(new QPushButton(QStringLiteral("&Next step"), this)), step_(new QLabel(this)) {
    choice_->setObjectName(QStringLiteral("panelChoice"));
    choice_->setAccessibleName(QStringLiteral("Result or steps to show"));
    choice_->setToolTip(QStringLiteral("What to show on the graph: a result, or an algorithm step by step"));
    for (std::size_t i = 0; i < choices_.size(); ++i) {
        choice_->addItem(choices_[i].label, static_cast<int>(i));
        // The item's tool tip spells it as the command line does.
        const QString forms[] = {QString(), QStringLiteral(":A"), QStringLiteral(":A,B")};
        choice_->setItemData(static_cast<int>(i),
                             (choices_[i].trace ? QStringLiteral("--trace ") : QStringLiteral("--show ")) +
                                 choices_[i].word + forms[std::clamp(choices_[i].vertices, 0, 2)],
                             Qt::ToolTipRole);
    }
    from_->setObjectName(QStringLiteral("panelFrom"));
    from_->setAccessibleName(QStringLiteral("First vertex"));
    from_->setToolTip(QStringLiteral("Where the path, the search or the flow starts"));
    to_->setObjectName(QStringLiteral("panelTo"));
    to_->setAccessibleName(QStringLiteral("Second vertex"));
    to_->setToolTip(QStringLiteral("Where the path ends; the flow's sink"));
    // The boxes are as wide as a few letters at least and grow with the window, never widening it
    // beyond the width it opens with; their lists show the whole texts.
    for (QComboBox* box : {choice_, from_, to_}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(box == choice_ ? 16 : 6);
    }
    show_->setObjectName(QStringLiteral("panelShow"));
    show_->setAccessibleName(QStringLiteral("Show"));
    show_->setToolTip(QStringLiteral("Show the chosen result or steps on the graph"));
    hide_->setObjectName(QStringLiteral("panelHide"));
    hide_->setAccessibleName(QStringLiteral("Hide"));
    hide_->setToolTip(QStringLiteral("Hide what is shown on the graph"));
    previous_->setObjectName(QStringLiteral("panelPrevious"));
    previous_->setAccessibleName(QStringLiteral("Previous step"));
    previous_->setToolTip(QStringLiteral("The shown algorithm's previous step (Page Up in the editor)"));
    next_->setObjectName(QStringLiteral("panelNext"));
    next_->setAccessibleName(QStringLiteral("Next step"));
    next_->setToolTip(QStringLiteral("The shown algorithm's next step (Page Down in the editor)"));
    step_->setObjectName(QStringLiteral("panelStep"));
    // The label's accessible name is its text, the step itself.
    step_->setAccessibleDescription(QStringLiteral("The shown algorithm's step"));
    step_->setToolTip(QStringLiteral("The shown algorithm's step"));
    // A long step text wraps rather than widening the window.
    step_->setWordWrap(true);
    step_->setTextFormat(Qt::PlainText);

    // What to show in the first row; the buttons and the step in the second.
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->addWidget(choice_, 0, 0);
    grid->addWidget(from_, 0, 1);
    grid->addWidget(to_, 0, 2);
    auto* buttons = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(show_), static_cast<QWidget*>(hide_), static_cast<QWidget*>(previous_),
                       static_cast<QWidget*>(next_)})
        buttons->addWidget(w);
    buttons->addWidget(step_, 1);
    grid->addLayout(buttons, 1, 0, 1, 3);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    connect(choice_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { UpdateEnabled(); });
    connect(show_, &QPushButton::clicked, this, [this] { ShowChosen(); });
    connect(hide_, &QPushButton::clicked, this, [this] {
        Guarded([this] {
            if (requests_.hide) requests_.hide();
        });
    });
    connect(previous_, &QPushButton::clicked, this, [this] {
        Guarded([this] {
            if (requests_.step) requests_.step(-1);
        });
    });
    connect(next_, &QPushButton::clicked, this, [this] {
        Guarded([this] {
            if (requests_.step) requests_.step(+1);
        });
    });
    SetShownState(TShownState());
    UpdateEnabled();
}

const TPanelChoice& TResultChooser::Chosen() const {
    return choices_[static_cast<std::size_t>(std::max(0, choice_->currentIndex()))];
}

void TResultChooser::Follow(const Tgraph& g) {
    created_ = g.created;
    std::vector<TVertexItem> items;
    if (g.created)
        for (int v = 1; v <= std::clamp(g.vertexCount, 0, MaxVertices); ++v)
            items.push_back({PanelVertexLabel(g, v), PanelVertexReference(g, v)});
    if (items != vertices_) {
        vertices_ = std::move(items);
        const int count = static_cast<int>(vertices_.size());
        // Each box keeps its vertex number while that vertex exists; a new box starts at the
        // first vertex (from) and the last (to).
        for (QComboBox* box : {from_, to_}) {
            const int kept = box->currentIndex();
            const QSignalBlocker quiet(box);
            box->clear();
            for (const TVertexItem& item : vertices_) box->addItem(item.label);
            if (count > 0) box->setCurrentIndex(kept >= 0 && kept < count ? kept : (box == from_ ? 0 : count - 1));
        }
    }
    UpdateEnabled();
}

void TResultChooser::SetRequests(TPanelRequests requests) { requests_ = std::move(requests); }

void TResultChooser::SetShownState(const TShownState& state) {
    step_->setText(state.stepText);
    hide_->setEnabled(!state.shown.isEmpty());
    previous_->setEnabled(state.canGoBack);
    next_->setEnabled(state.canGoOn);
}

QString TResultChooser::Request() const {
    const TPanelChoice& chosen = Chosen();
    if (!created_ || (chosen.vertices > 0 && vertices_.empty())) return QString();
    QString request = chosen.word;
    QComboBox* const boxes[] = {from_, to_};
    for (int i = 0; i < std::min(chosen.vertices, 2); ++i)
        request += (i == 0 ? QStringLiteral(":") : QStringLiteral(",")) +
                   vertices_[static_cast<std::size_t>(boxes[i]->currentIndex())].reference;
    return request;
}

void TResultChooser::UpdateEnabled() {
    const int needs = Chosen().vertices;
    const bool any = !vertices_.empty();
    choice_->setEnabled(created_);
    from_->setEnabled(created_ && any && needs >= 1);
    to_->setEnabled(created_ && any && needs >= 2);
    show_->setEnabled(!Request().isEmpty());
}

void TResultChooser::ShowChosen() {
    Guarded([this] {
        const QString request = Request();
        if (request.isEmpty()) return;
        if (Chosen().trace) {
            if (requests_.showTrace) requests_.showTrace(request);
        } else if (requests_.showResult) {
            requests_.showResult(request);
        }
    });
}
