// File commands: open and save a gf4 graph, save the picture (JPEG, BMP, PNG, SVG, PDF or TikZ).

#include "TForm1.h"

#include "ErrorHandler.h"
#include "GraphExport.h"
#include "GraphSource.h"
#include "Surface.h"
#include "TextCodec.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <stdexcept>

#include <sys/stat.h>

namespace {

const QString AllFilesFilter = QStringLiteral("All files (*.*)");
const QString GraphFilter = DialogFilter(ExportFormatInfo(TExportFormat::Gf4)) + QStringLiteral(";;") + AllFilesFilter;
// The pictures Save image writes, in the order its filters list them: JPEG and BMP first, then the
// formats the command line also writes.
constexpr TExportFormat PictureFormats[] = {TExportFormat::Jpeg, TExportFormat::Bmp, TExportFormat::Png,
                                            TExportFormat::Svg,  TExportFormat::Pdf, TExportFormat::Tikz};

QString PictureFilter() {
    QStringList filters;
    for (TExportFormat format : PictureFormats) filters << DialogFilter(ExportFormatInfo(format));
    return filters.join(QStringLiteral(";;"));
}

// The ending a bare name gets for a filter: its format's first.
QString SuffixOf(const QString& filter) {
    for (TExportFormat format : PictureFormats)
        if (filter == DialogFilter(ExportFormatInfo(format)))
            return QString::fromLatin1(ExportFormatInfo(format).endings[0] + 1);
    return QString();
}

// The files of other tools that Open imports: the endings of the table's imported formats, in
// the order of the import's formats (GraphML first).
QString OtherToolsFilter() {
    QStringList patterns;
    for (const TImportFormat import :
         {TImportFormat::GraphML, TImportFormat::Dot, TImportFormat::Graph6, TImportFormat::Text})
        for (const TFormat& format : Formats)
            if (format.import == import)
                for (const char* ending : format.endings)
                    if (ending) patterns << QLatin1Char('*') + QLatin1String(ending);
    return QStringLiteral("Graphs of other tools (%1)").arg(patterns.join(QLatin1Char(' ')));
}

// Whether both paths name one existing file.
bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
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
    // The save dialogs leave the question before replacing a file to the window (ConfirmReplace),
    // which does not ask about the graph's own file.
    switch (kind) {
    case TFileDialogKind::Open:
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::AnyFile); // a name that does not exist is taken as it is
        dialog->setNameFilter(GraphFilter + QStringLiteral(";;") + OtherToolsFilter());
        break;
    case TFileDialogKind::Save:
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        dialog->setNameFilter(GraphFilter);
        dialog->setDefaultSuffix(QString::fromLatin1(ExportFormatInfo(TExportFormat::Gf4).endings[0] + 1));
        break;
    case TFileDialogKind::SavePicture:
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        dialog->setNameFilter(PictureFilter());
        // A name typed without an ending gets the selected filter's: JPEG at first.
        dialog->setDefaultSuffix(SuffixOf(dialog->selectedNameFilter()));
        connect(dialog, &QFileDialog::filterSelected, dialog,
                [dialog](const QString& filter) { dialog->setDefaultSuffix(SuffixOf(filter)); });
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
    if (!ConfirmDiscard()) return;
    const std::optional<std::string> path = AskPath(*OpenDialog1);
    if (!path) return;
    OpenGraphFile(*path);
}

void TForm1::OpenGraphFile(const std::string& path, std::optional<TLayout> layout) {
    // Read into a record of its own: only a graph replaces the one on screen. Another program's
    // file is imported: the graph has no file name, so that Save asks for one.
    auto loaded = std::make_unique<Tgraph>();
    TGraphSource source;
    const bool read = ReadGraphSource(path, layout, *loaded, source);
    for (const std::string& note : source.notes) std::fprintf(stderr, "%s\n", note.c_str());
    if (!read) {
        ShowError(std::runtime_error(SourceFailureText(path, source)));
        return;
    }
    // The graph before can be had back with Ctrl+Z.
    History.BeginChange(LiveGraph, TChangeKind::NewGraph);
    TGraphSnapshot(*loaded).RestoreTo(LiveGraph, true);
    History.EndChange(LiveGraph);
    MarkSaved();
    ImportedFrom = source.imported ? path : std::string();
    WrittenPictures.clear();
    RefreshView();
    // What an import left out or changed is said here as well as on standard error.
    if (!source.notes.empty()) {
        std::string text = "\"" + path + "\" is open; on the way in:";
        for (const std::string& note : source.notes) text += "\n" + note;
        ShowMessage(QString::fromStdString(text));
    }
    if (!source.damage.empty())
        ShowError(std::runtime_error(DamageText(path, source.damage) +
                                     ". What could be read is open; saving it writes only that"));
}

bool TForm1::HasUnsavedChanges() const {
    return LiveGraph.created && !(SavedContent && SavedContent->Matches(LiveGraph));
}

void TForm1::MarkSaved() { SavedContent.emplace(LiveGraph); }

bool TForm1::ConfirmDiscard() {
    if (!HasUnsavedChanges()) return true;
    const std::string& file = LiveGraph.fileName;
    const std::size_t slash = file.rfind('/');
    const QString question = file.empty()
                                 ? QStringLiteral("Save changes to the new graph?")
                                 : QStringLiteral("Save changes to \"%1\"?")
                                       .arg(DecodeText(slash == std::string::npos ? file : file.substr(slash + 1)));
    TUnsavedAnswer answer = TUnsavedAnswer::Cancel;
    if (AskUnsaved) {
        answer = AskUnsaved(question);
    } else {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Nodeloom"), question,
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
        box.setDefaultButton(QMessageBox::Save);
        box.setEscapeButton(QMessageBox::Cancel);
        box.button(QMessageBox::Save)->setText(QStringLiteral("&Save"));
        box.button(QMessageBox::Discard)->setText(QStringLiteral("&Discard"));
        const int chosen = box.exec();
        answer = chosen == QMessageBox::Save      ? TUnsavedAnswer::Save
                 : chosen == QMessageBox::Discard ? TUnsavedAnswer::Discard
                                                  : TUnsavedAnswer::Cancel;
    }
    switch (answer) {
    case TUnsavedAnswer::Discard: DropRecovery(); return true;
    case TUnsavedAnswer::Cancel: return false;
    case TUnsavedAnswer::Save: break;
    }
    // A save that fails is shown, and what was to follow does not happen.
    try {
        return SaveCommand();
    } catch (const std::exception& error) {
        ShowError(error);
        return false;
    }
}

void TForm1::ToolButton6Click() { SaveCommand(); }

bool TForm1::SaveCommand() {
    if (!LiveGraph.created) return false;
    // The dialog proposes the file on screen, a gf4 file beside an imported one, or the folder of
    // the last save for a new graph.
    if (!LiveGraph.fileName.empty()) {
        SaveDialog1->selectFile(DecodeFileName(QByteArray::fromStdString(LiveGraph.fileName)));
    } else if (!ImportedFrom.empty()) {
        SaveDialog1->selectFile(DecodeFileName(QByteArray::fromStdString(GraphFileBeside(ImportedFrom))));
    } else {
        if (!LastSaveFolder.empty())
            SaveDialog1->setDirectory(DecodeFileName(QByteArray::fromStdString(LastSaveFolder)));
        // No name: the one the dialog gave back last belongs to another graph.
        SaveDialog1->selectFile(QString());
        for (QAbstractItemView* view : SaveDialog1->findChildren<QAbstractItemView*>()) view->clearSelection();
        if (auto* name = SaveDialog1->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->clear();
    }
    const std::optional<std::string> path = AskPath(*SaveDialog1);
    if (!path) return false;
    if (!ConfirmReplace(*path, !LiveGraph.fileName.empty() && SameFile(*path, LiveGraph.fileName))) return false;
    // An I/O error leaves here for the error box, with the file name and the title as they were.
    SaveGraph(LiveGraph, *path);
    LiveGraph.fileName = *path;
    setWindowTitle(GraphTitle(*path));
    LastSaveFolder = path->substr(0, path->rfind('/') + 1);
    MarkSaved();
    DropRecovery();
    return true;
}

void TForm1::ToolButton8Click() {
    if (!LiveGraph.created) return;
    const std::optional<std::string> path = AskPath(*SavePictureDialog1);
    if (!path) return;
    const bool known = std::find(std::begin(PictureFormats), std::end(PictureFormats), ExportFormatOf(*path)) !=
                       std::end(PictureFormats);
    const bool own = std::any_of(WrittenPictures.begin(), WrittenPictures.end(),
                                 [&](const std::string& written) { return SameFile(*path, written); });
    // SaveImage refuses an unknown ending itself, before any question.
    if (known && !ConfirmReplace(*path, own)) return;
    SaveImage(*path);
    WrittenPictures.push_back(*path);
}

void TForm1::SaveImage(const std::string& path) {
    const std::optional<TExportFormat> format = ExportFormatOf(path);
    const auto saved = std::find(std::begin(PictureFormats), std::end(PictureFormats), format);
    if (!format || saved == std::end(PictureFormats)) {
        std::string endings;
        for (const TFormat& f : Formats)
            if (std::find(std::begin(PictureFormats), std::end(PictureFormats), f.exportAs) != std::end(PictureFormats))
                for (const char* ending : f.endings)
                    if (ending) endings += (endings.empty() ? "" : ", ") + std::string(ending);
        const std::size_t last = endings.rfind(", ");
        if (last != std::string::npos) endings.replace(last, 2, " or ");
        throw std::runtime_error("Cannot save the picture as \"" + path + "\": pictures are saved as " + endings +
                                 " files.");
    }
    const TFormat& row = ExportFormatInfo(*format);
    if (row.encode) {
        // A picture of pixels is the surface's as it stands; a JPEG takes the control's size first.
        if (*format == TExportFormat::Jpeg) Image1->SetPictureSize(Image1->width(), Image1->height());
        WritePictureFile(path, row.encode(Image1->Picture));
    } else {
        // Shapes and TikZ are drawn again from the graph, at the surface's size, with what it shows.
        WritePictureFile(
            path, row.write(LiveGraph, TPictureSize{Image1->Picture.width(), Image1->Picture.height()}, ShownMarks()));
    }
}
