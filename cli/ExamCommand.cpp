#include "ExamCommand.h"

#include "CommandOutput.h"
#include "Exam.h"
#include "Formats.h"
#include "SafeFile.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

constexpr std::uint64_t MaxTasksBytes = std::uint64_t(1) << 20;
constexpr int PdfLatexMilliseconds = 120000;

// pdflatex on the document in folder; the PDF's bytes, or false with the reason.
bool Typeset(const QString& folder, const QString& name, const std::string& tex, std::string& pdf, std::string& error) {
    if (const TFileFailure failure = AsFileFailure(
            ReplaceFile((folder + QLatin1Char('/') + name + QStringLiteral(".tex")).toStdString(), tex))) {
        error = WriteFailureText(name.toStdString() + ".tex", failure);
        return false;
    }
    QProcess latex;
    latex.setWorkingDirectory(folder);
    latex.setProcessChannelMode(QProcess::MergedChannels);
    latex.start(QStringLiteral("pdflatex"),
                {QStringLiteral("-interaction=nonstopmode"), QStringLiteral("-halt-on-error"),
                 QStringLiteral("-no-shell-escape"), name + QStringLiteral(".tex")});
    if (!latex.waitForFinished(PdfLatexMilliseconds) || latex.exitStatus() != QProcess::NormalExit ||
        latex.exitCode() != 0) {
        const QByteArray log = latex.readAll();
        const qsizetype bang = log.indexOf("\n!");
        error = "pdflatex failed on " + name.toStdString() + ".tex" +
                (bang >= 0 ? ": " + log.mid(bang + 1, log.indexOf('\n', bang + 1) - bang - 1).toStdString()
                           : std::string());
        latex.kill();
        return false;
    }
    if (const TFileFailure failure =
            ReadWholeFile((folder + QLatin1Char('/') + name + QStringLiteral(".pdf")).toStdString(), pdf)) {
        error = "pdflatex wrote no PDF for " + name.toStdString() + ".tex";
        return false;
    }
    return true;
}

} // namespace

std::string SolutionsPath(const std::string& output) {
    const std::size_t dot = output.rfind('.');
    return output.substr(0, dot) + "-solutions" + output.substr(dot);
}

int RunExam(const TExamRequest& request) {
    const bool pdf = HasEnding(request.output, ".pdf");
    if (!pdf && !HasEnding(request.output, ".tex"))
        return Fail("Cannot write the exam to \"" + request.output + "\": its ending is neither .tex nor .pdf");
    std::string json;
    if (const TFileFailure failure = ReadWholeFile(request.tasksPath, json, MaxTasksBytes))
        return Fail(OpenFailureText(request.tasksPath, failure));
    analysis::TExamSheets sheets;
    try {
        sheets = analysis::ExamTex(analysis::ParseExam(json), request.variants, request.seed);
    } catch (const analysis::TAnalysisError& e) {
        return Fail("Cannot make the exam from \"" + request.tasksPath + "\": " + e.what());
    }
    std::string exam = sheets.exam, solutions = sheets.solutions;
    if (pdf) {
        if (QStandardPaths::findExecutable(QStringLiteral("pdflatex")).isEmpty())
            return Fail("Cannot write \"" + request.output + "\": pdflatex is not installed (write .tex instead)");
        const QTemporaryDir folder;
        if (!folder.isValid()) return Fail("Cannot write \"" + request.output + "\": no temporary folder");
        std::string error;
        if (!Typeset(folder.path(), QStringLiteral("exam"), sheets.exam, exam, error) ||
            !Typeset(folder.path(), QStringLiteral("exam-solutions"), sheets.solutions, solutions, error))
            return Fail("Cannot write \"" + request.output + "\": " + error);
    }
    const std::string key = SolutionsPath(request.output);
    for (const auto& [path, bytes] : {std::pair{request.output, &exam}, std::pair{key, &solutions}})
        if (const TFileFailure failure = AsFileFailure(ReplaceFile(path, *bytes)))
            return Fail(WriteFailureText(path, failure));
    return 0;
}
