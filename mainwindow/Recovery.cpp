// Recovery after a crash: this editor's recovery file while the graph has unsaved changes, and
// at start the files of editors that closed without saving, offered back one by one.

#include "TForm1.h"

#include "ErrorHandler.h"
#include "QuestionBox.h"
#include "RecoveryFile.h"
#include "SafeFile.h"
#include "TextCodec.h"
#include "UndoHistory.h"

#include <QDateTime>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <stdexcept>

#include <unistd.h>

namespace {

// How long after a change the file is written. Changes within it are written together, so a
// drag writes about once a second and a half however fast the pointer moves.
constexpr int RecoveryDelayMs = 1500;

// The name a question shows for a graph: its file's, the imported file's, or "new graph".
QString ShownName(const std::string& fileName, const std::string& importedFrom) {
    const std::string& path = fileName.empty() ? importedFrom : fileName;
    if (path.empty()) return QStringLiteral("new graph");
    return DecodeText(path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1));
}

// Renames a damaged or foreign recovery file out of the way, where it is never offered again;
// gives the new name, or the old one when it could not be renamed.
std::string SetAside(const std::string& path) {
    const std::string aside = path + ".damaged";
    return std::rename(path.c_str(), aside.c_str()) == 0 ? aside : path;
}

// Reads the recovery file at path and its graph into g. False, with the reason in problem, for a
// damaged or foreign file; false with no reason for a file that is gone.
bool ReadRecovery(const std::string& path, TRecoveryContent& content, Tgraph& g, std::string& problem) {
    std::string bytes;
    if (const TFileFailure failure = ReadWholeFile(path, bytes)) {
        if (failure.problem != TFileProblem::System || failure.error != ENOENT) problem = FailureReason(failure);
        return false;
    }
    if (!ParseRecoveryFile(bytes, content, problem)) return false;
    const TLoadReport report = LoadGraphTextReport(g, content.graph, content.fileName);
    if (report.failure)
        problem = "its graph does not read: " + FailureReason(report.failure);
    else if (!report.damage.empty())
        problem = "its graph is damaged: " + report.damage;
    else if (!g.created)
        problem = "it holds no graph";
    return problem.empty();
}

} // namespace

void TForm1::CreateRecovery() {
    RecoveryTimer = new QTimer(this);
    RecoveryTimer->setSingleShot(true);
    RecoveryTimer->setInterval(RecoveryDelayMs);
    connect(RecoveryTimer, &QTimer::timeout, this, [this] { Guarded([this] { KeepRecovery(); }); });
    const std::string folder = RecoveryFolder();
    const std::optional<TProcessMark> mark = CurrentProcessMark();
    if (!folder.empty() && mark) RecoveryPath = folder + '/' + RecoveryFileName(*mark);
}

void TForm1::ScheduleRecovery() {
    if (RecoveryTimer && !RecoveryPath.empty() && !RecoveryTimer->isActive()) RecoveryTimer->start();
}

void TForm1::KeepRecovery() {
    if (RecoveryPath.empty()) return;
    // Not in the middle of a drag, whose step the write would hold up: after it.
    if (LiveGraph.draggingVertex || LiveGraph.draggingAll) {
        RecoveryTimer->start();
        return;
    }
    if (!HasUnsavedChanges()) {
        DropRecovery();
        return;
    }
    TRecoveryContent content;
    content.time = static_cast<std::int64_t>(std::time(nullptr));
    content.fileName = LiveGraph.fileName;
    content.importedFrom = ImportedFrom;
    content.graph = GraphFileText(LiveGraph);
    const std::string folder = RecoveryPath.substr(0, RecoveryPath.rfind('/'));
    TReplaceFailure failure;
    if (!MakeRecoveryFolder(folder)) {
        failure.step = TReplaceStep::Create;
        failure.error = errno;
    } else {
        failure = ReplaceFile(RecoveryPath, RecoveryFileText(content));
    }
    // Said once on the standard error, not in a box at every change; said again after a success.
    if (failure.step != TReplaceStep::None && !recoveryFailed)
        std::fprintf(stderr, "nodeloom: cannot keep unsaved changes in \"%s\" for recovery after a crash: %s\n",
                     RecoveryPath.c_str(), std::strerror(failure.error));
    recoveryFailed = failure.step != TReplaceStep::None;
}

void TForm1::DropRecovery() {
    if (RecoveryTimer) RecoveryTimer->stop();
    if (!RecoveryPath.empty()) unlink(RecoveryPath.c_str());
}

void TForm1::Start(const std::string& file, std::optional<TLayout> layout) {
    Guarded([this] { OfferRecovery(); });
    if (file.empty() || !ConfirmDiscard()) return;
    OpenGraphFile(file, layout);
}

void TForm1::OfferRecovery() {
    if (RecoveryPath.empty()) return;
    for (const std::string& path : OrphanedRecoveryFiles(RecoveryPath.substr(0, RecoveryPath.rfind('/')))) {
        TRecoveryContent content;
        auto recovered = std::make_unique<Tgraph>();
        std::string problem;
        if (!ReadRecovery(path, content, *recovered, problem)) {
            if (problem.empty()) continue; // gone meanwhile
            ShowError(std::runtime_error("The recovery file \"" + path + "\" is not opened: " + problem +
                                         ". It is kept as \"" + SetAside(path) + "\""));
            continue;
        }
        const QString when = QDateTime::fromSecsSinceEpoch(content.time).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        const QString question = QStringLiteral("Nodeloom closed without saving \"%1\" at %2. Recover the changes?")
                                     .arg(ShownName(content.fileName, content.importedFrom), when);
        TRecoverAnswer answer = TRecoverAnswer::Later;
        if (AskRecover) {
            answer = AskRecover(question);
        } else {
            const int chosen = AskQuestion(this, question,
                                           {{QStringLiteral("&Recover"), QMessageBox::AcceptRole},
                                            {QStringLiteral("&Discard"), QMessageBox::DestructiveRole}},
                                           0, -1);
            answer = chosen == 0   ? TRecoverAnswer::Recover
                     : chosen == 1 ? TRecoverAnswer::Discard
                                   : TRecoverAnswer::Later;
        }
        if (answer == TRecoverAnswer::Discard) unlink(path.c_str());
        if (answer != TRecoverAnswer::Recover) continue;
        // Taken over under this editor's name in one step: another editor starting at the same
        // moment finds it gone, and a crash from here on leaves it to the next start again.
        if (std::rename(path.c_str(), RecoveryPath.c_str()) != 0) continue;
        History.BeginChange(LiveGraph, TChangeKind::NewGraph);
        TGraphSnapshot(*recovered).RestoreTo(LiveGraph, true);
        History.EndChange(LiveGraph);
        // Unsaved: the question comes before it is given up, and Save proposes its file.
        SavedContent.reset();
        ImportedFrom = content.importedFrom;
        WrittenPictures.clear();
        RefreshView();
        // One graph is recovered at a time; the files after it are offered at the next start.
        return;
    }
}
