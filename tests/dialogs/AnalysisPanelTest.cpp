// The analysis panel's choosers and step control, driven through its widgets on the offscreen
// platform; the vertices it names are read back through the analysis' own request parsers.

#include "Analysis.h"
#include "GraphBuilders.h"
#include "ReportWindow.h"
#include "ResultChooser.h"
#include "Trace.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <sstream>

namespace {

// 1 named, 2 unnamed, 3 a comma, 4 and 5 shared, 6 another's number, 7 Windows-1252, 8 UTF-8 "Ö".
constexpr const char* Names[] = {"A", "", "B,C", "D", "D", "#1", "\xE9t\xE9", "\xC3\x96"};

class AnalysisPanel : public testing::Test {
protected:
    AnalysisPanel() : panel(TReportWindow::Of(main)) {
        MakeGraph(g, false, false, {});
        for (const char* name : Names) {
            AddVertex(g, 40 * (g.vertexCount + 1), 40);
            RenameVertex(g, g.vertexCount, name);
        }
        panel.SetRequests({[this](const QString& r) { sent << "result " + r; },
                           [this](const QString& t) { sent << "trace " + t; }, [this] { sent << "hide"; },
                           [this](int d) { sent << QStringLiteral("step %1").arg(d); }});
        main.show();
        panel.ShowReport(g);
    }
    template <class T = QComboBox>
    T* Get(const char* name) {
        return panel.findChild<T*>(QString::fromLatin1(name));
    }
    void Choose(const char* word, bool trace) {
        const auto choices = PanelChoices();
        for (std::size_t i = 0; i < choices.size(); ++i)
            if (choices[i].word == QLatin1String(word) && choices[i].trace == trace)
                Get("panelChoice")->setCurrentIndex(static_cast<int>(i));
    }
    void Click(const char* button) { QTest::mouseClick(Get<QPushButton>(button), Qt::LeftButton); }

    QWidget main;
    TReportWindow& panel;
    Tgraph g;
    QStringList sent;
};

TEST_F(AnalysisPanel, OffersEveryResultThenEveryTraceInWords) {
    std::istringstream spellings(std::string(analysis::ResultWords) + " | " + analysis::TraceAlgorithms);
    const auto choices = PanelChoices();
    QStringList labels;
    bool trace = false;
    for (std::string s; spellings >> s;) {
        if (s == "|" && (trace = true)) continue;
        const std::size_t i = labels.size();
        ASSERT_LT(i, choices.size());
        EXPECT_EQ(choices[i].word.toStdString() + s.substr(std::min(s.find(':'), s.size())), s);
        EXPECT_EQ(choices[i].trace, trace);
        // Said in words of its own, not the request's word; a trace's with "(steps)".
        labels << Get("panelChoice")->itemText(static_cast<int>(i));
        EXPECT_FALSE(labels.back().startsWith(choices[i].word) || labels.count(labels.back()) > 1) << s;
        EXPECT_EQ(labels.back().endsWith(" (steps)"), trace) << s;
    }
    EXPECT_EQ(Get("panelChoice")->count(), labels.size());
}

TEST_F(AnalysisPanel, ButtonsSendTheChoiceNamingVerticesSoTheyAreFoundAgain) {
    for (int v = 1; v <= g.vertexCount; ++v)
        EXPECT_EQ(analysis::ParseTrace(g, "flow:A," + PanelVertexReference(g, v).toStdString()).target, v) << v;
    const std::tuple<const char*, bool, int, int, QString> shows[] = {
        {"path", false, 1, 8, "result path:A,\u00D6"}, {"path", false, 2, 3, "result path:#2,#3"},
        {"flow", false, 4, 5, "result flow:#4,#5"},    {"bfs", false, 6, 1, "result bfs:#6"},
        {"dfs", true, 7, 1, "trace dfs:#7"},           {"mst", false, 3, 3, "result mst"},
        {"bridges", true, 3, 3, "trace bridges"}};
    for (const auto& [word, trace, from, to, request] : shows) {
        Choose(word, trace);
        Get("panelFrom")->setCurrentIndex(from - 1);
        Get("panelTo")->setCurrentIndex(to - 1);
        sent.clear();
        Click("panelShow");
        EXPECT_EQ(sent, QStringList{request});
    }
    // The step buttons and Hide, enabled as the shown state says, send by clicks on each.
    const std::pair<TShownState, QStringList> steps[] = {
        {{}, {}},
        {{"mst", "", false, false}, {"hide"}},
        {{"bfs:A", "Step 1 of 4: visit A", false, true}, {"step 1", "hide"}},
        {{"bfs:A", "Step 4 of 4: done", true, false}, {"step -1", "hide"}}};
    for (const auto& [state, requests] : steps) {
        panel.SetShownState(state);
        EXPECT_EQ(Get<QLabel>("panelStep")->text(), state.stepText);
        sent.clear();
        for (const char* button : {"panelPrevious", "panelNext", "panelHide"}) Click(button);
        EXPECT_EQ(sent, requests);
    }
}

TEST_F(AnalysisPanel, VertexListsFollowTheGraphKeepingTheChosenVertex) {
    Choose("path", false);
    Get("panelFrom")->setCurrentIndex(3);
    Get("panelTo")->setCurrentIndex(6);
    RenameVertex(g, 4, "E");
    DeleteVertex(g, 8);
    panel.Follow(g);
    EXPECT_EQ(Get("panelFrom")->currentText() + Get("panelFrom")->itemText(1), "E (#4)#2");
    EXPECT_EQ(Get("panelTo")->currentIndex(), 6);
    DeleteVertex(g, 7); // the second chooser's vertex goes: it falls back to the last vertex
    panel.Follow(g);
    EXPECT_EQ(Get("panelFrom")->currentIndex(), 3);
    EXPECT_EQ(Get("panelTo")->count() - 1, Get("panelTo")->currentIndex());
    // Each chooser is enabled as far as the choice needs it; none without a graph.
    const std::tuple<const char*, bool, int, bool, QString> enabling[] = {{"path", false, 2, true, "1111"},
                                                                          {"bfs", true, 2, true, "1101"},
                                                                          {"kruskal", true, 2, true, "1001"},
                                                                          {"bfs", false, 0, true, "1000"},
                                                                          {"path", false, 2, false, "0000"}};
    for (const auto& [word, trace, vertices, created, enabled] : enabling) {
        MakeGraph(g, false, true, {});
        for (int v = 1; v <= vertices; ++v) AddVertex(g, 40 * v, 40);
        g.created = created;
        panel.Follow(g);
        Choose(word, trace);
        QString now;
        for (const char* name : {"panelChoice", "panelFrom", "panelTo", "panelShow"})
            now += Get<QWidget>(name)->isEnabled() ? "1" : "0";
        EXPECT_EQ(now, enabled) << word;
    }
}

// The report text has the focus and keeps Ctrl+A and Ctrl+C; Escape closes the panel from a control.
TEST_F(AnalysisPanel, TheTextKeepsTheFocusAndTheKeys) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    // The controls leave the panel the width it is placed with.
    EXPECT_EQ(panel.width(), TReportWindow::DefaultWidth);
    auto* text = panel.findChild<QPlainTextEdit*>();
    EXPECT_EQ(QApplication::focusWidget(), text);
    QApplication::clipboard()->clear();
    QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), panel.Text());
    EXPECT_TRUE(panel.Text().contains("8 vertices"));
    QTest::keyClick(text, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Get("panelChoice"));
    QTest::keyClick(Get("panelChoice"), Qt::Key_Escape);
    EXPECT_FALSE(panel.isVisible());
}

} // namespace
