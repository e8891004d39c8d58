#pragma once
// The analysis panel's controls above the report: what to show on the graph (a result, or an
// algorithm step by step), the vertices it starts from, Show and Hide, and the step control of a
// shown trace. They ask the main window through TPanelRequests and never touch the graph.

#include "Graph_obj.h"
#include "ReportWindow.h"

#include <QString>
#include <QWidget>

#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

// One thing the panel offers: the results first, then the traces, each in its list's order.
struct TPanelChoice {
    QString word;     // as the request starts: "path", "bfs", "bellman-ford", ...
    int vertices = 0; // as its spelling asks: none, ":A" one, ":A,B" two
    bool trace = false;
    QString label; // in words: "Shortest path", "Breadth-first search (steps)"
};
std::vector<TPanelChoice> PanelChoices();

// How a request names vertex v (1..vertexCount): by its name when the name finds v again, holds no
// comma and reads back as the same bytes; else "#v" (an empty, shared or Windows-1252 name).
QString PanelVertexReference(const Tgraph& g, int v);
// The vertex as the choosers list it: "A (#1)", or "#2" for an unnamed vertex.
QString PanelVertexLabel(const Tgraph& g, int v);

class TResultChooser : public QWidget {
public:
    explicit TResultChooser(QWidget* parent);
    // The vertex lists become g's, each keeping its chosen vertex (by number) while it exists;
    // without a created graph every chooser is disabled.
    void Follow(const Tgraph& g);
    void SetRequests(TPanelRequests requests);
    void SetShownState(const TShownState& state);
    // The request Show sends now, as --show or --trace spells it; empty when none can be sent.
    QString Request() const;

private:
    struct TVertexItem {
        QString label, reference;
        bool operator==(const TVertexItem& other) const { return label == other.label && reference == other.reference; }
    };
    const TPanelChoice& Chosen() const;
    void UpdateEnabled();
    void ShowChosen();

    std::vector<TPanelChoice> choices_;
    std::vector<TVertexItem> vertices_; // vertex v at index v - 1
    bool created_ = false;
    TPanelRequests requests_;
    QComboBox* choice_;
    QComboBox* from_;
    QComboBox* to_;
    QPushButton* show_;
    QPushButton* hide_;
    QPushButton* previous_;
    QPushButton* next_;
    QLabel* step_;
};
