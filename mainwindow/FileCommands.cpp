// File commands: open and save a gf4 graph, save the picture as BMP or JPEG.

#include "TForm1.h"

#include "GraphExport.h"
#include "PictureFile.h"
#include "Surface.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>

#include <cctype>
#include <stdexcept>

namespace {

const QString AllFilesFilter = QStringLiteral("All files (*.*)");
const QString GraphFilter = QStringLiteral("Graph format 4 (*.gf4);;") + AllFilesFilter;
const QString PictureFilter = QStringLiteral("JPEG Image File (*.jpg);;Bitmaps (*.bmp)");

// The last four characters of the path in lower case: the picture's ending.
std::string PictureEnding(const std::string& path) {
    std::string ending = path.size() > 4 ? path.substr(path.size() - 4) : path;
    for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ending;
}

// "All files (*.*)" keeps its caption but lists every file: Qt takes "*.*" literally and would
// hide the names without a dot.
void ListAllFiles(QFileDialog& dialog) {
    if (dialog.selectedNameFilter() != AllFilesFilter) return;
    if (auto* files = dialog.findChild<QFileSystemModel*>()) files->setNameFilters({QStringLiteral("*")});
}

// A name typed into the dialog opens its completion list, which outlives the dialog: left open
// over the main window, it would take the next click just to close itself.
void CloseCompletionLists(QFileDialog& dialog) {
    for (QCompleter* completer : dialog.findChildren<QCompleter*>())
        if (completer->popup()->isVisible()) completer->popup()->hide();
}

} // namespace

QFileDialog* TForm1::CreateFileDialog(TForm1* owner, TFileDialogKind kind) {
    auto* dialog = new QFileDialog(owner);
    dialog->setModal(true);
    // The save dialogs replace an existing file without asking.
    switch (kind) {
    case TFileDialogKind::Open:
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::AnyFile); // a name that does not exist is taken as it is
        dialog->setNameFilter(GraphFilter);
        break;
    case TFileDialogKind::Save:
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        dialog->setNameFilter(GraphFilter);
        dialog->setDefaultSuffix(QStringLiteral("gf4"));
        break;
    case TFileDialogKind::SavePicture:
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        dialog->setNameFilter(PictureFilter);
        dialog->setDefaultSuffix(QStringLiteral("bmp"));
        break;
    }
    // After Qt's own handling of the choice, which sets the literal patterns.
    connect(dialog, &QFileDialog::filterSelected, dialog, [dialog] { ListAllFiles(*dialog); });
    return dialog;
}

// The chosen path as the file system spells it, or nothing when the dialog was cancelled.
std::optional<std::string> TForm1::AskPath(QFileDialog& dialog) {
    std::optional<QString> chosen;
    if (ExecuteFileDialog) {
        chosen = ExecuteFileDialog(dialog);
    } else if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        chosen = dialog.selectedFiles().constFirst();
    }
    CloseCompletionLists(dialog);
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    const QByteArray bytes = QFile::encodeName(*chosen);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void TForm1::ToolButton4Click() {
    const std::optional<std::string> path = AskPath(*OpenDialog1);
    if (!path) return;
    OpenGraphFile(*path);
}

void TForm1::OpenGraphFile(const std::string& path) {
    // A file that cannot be read leaves no graph; RefreshView then shows the no-graph state.
    // Either way the graph before can be had back.
    History.BeginChange(LiveGraph, TChangeKind::NewGraph);
    LoadGraph(LiveGraph, path);
    History.EndChange(LiveGraph);
    RefreshView();
}

void TForm1::ToolButton6Click() {
    if (!LiveGraph.created) return;
    const std::optional<std::string> path = AskPath(*SaveDialog1);
    if (!path) return;
    // An I/O error leaves here for the error box, with the file name and the title as they were.
    SaveGraph(LiveGraph, *path);
    LiveGraph.fileName = *path;
    setWindowTitle(GraphTitle(*path));
}

void TForm1::ToolButton8Click() {
    if (!LiveGraph.created) return;
    const std::optional<std::string> path = AskPath(*SavePictureDialog1);
    if (!path) return;
    SaveImage(*path);
}

void TForm1::SaveImage(const std::string& path) {
    const std::string ending = PictureEnding(path);
    TExportFormat format;
    if (ending == ".bmp") {
        format = TExportFormat::Bmp;
    } else if (ending == ".jpg" || ending == "jpeg") {
        format = TExportFormat::Jpeg;
        Image1->SetPictureSize(Image1->width(), Image1->height());
    } else {
        throw std::runtime_error("Cannot save the picture as \"" + path +
                                 "\": pictures are saved as .bmp, .jpg or .jpeg files.");
    }
    WritePictureFile(path, ExportFormatInfo(format).encode(Image1->Picture));
}
