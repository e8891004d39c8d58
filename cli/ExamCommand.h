#pragma once
// nodeloom --exam TASKS.json --variants K --seed N --export exam.tex|exam.pdf: the exam sheets and
// their answer key, as LaTeX or as PDF made by pdflatex.

#include <cstdint>
#include <string>

struct TExamRequest {
    std::string tasksPath;
    int variants = 1;
    std::uint64_t seed = 0;
    std::string output; // exam.tex or exam.pdf; the key goes beside it as exam-solutions.tex/.pdf
};

// The key's file beside the sheet's: "out/exam.tex" -> "out/exam-solutions.tex".
std::string SolutionsPath(const std::string& output);

// Writes both files, or nothing: 0, or 1 with one line on standard error (the tasks cannot be
// read, a variant's graph cannot be made, pdflatex is missing or fails, a file cannot be written).
int RunExam(const TExamRequest& request);
