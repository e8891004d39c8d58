#pragma once
// Exam sheets and their answer key as LaTeX: variants of one exercise, each on its own graph made
// by Generate from the exam's description and the seed N + i. No Qt.

#include "Analysis.h"

#include <cstdint>
#include <string>
#include <vector>

namespace analysis {

// TASKS.json: {"title": TEXT, "graph": CONSTRAINTS, "tasks": ["dijkstra:#1", "kruskal", ...]}.
struct TExam {
    std::string title;
    std::string graph;
    std::vector<std::string> tasks;
};

// Reads TASKS.json; throws TAnalysisError saying what is missing or unknown (a task no template
// knows, the wrong number of vertices for one).
TExam ParseExam(const std::string& json);

// The task words the templates know, as a message lists them.
std::string ExamTaskWords();

struct TExamSheets {
    std::string exam, solutions; // two whole documents for pdfLaTeX
};

// Variants 1..variants, variant i on the graph of seed + i. Throws TAnalysisError when the
// description is refused or a task cannot be asked of a variant's graph.
TExamSheets ExamTex(const TExam& exam, int variants, std::uint64_t seed);

} // namespace analysis
