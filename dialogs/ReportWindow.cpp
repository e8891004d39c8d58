// The analysis report window: placed beside the main window, following the graph as it changes.

#include "ReportWindow.h"

#include "Analysis.h"
#include "ResultChooser.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

TReportWindow::TReportWindow(QWidget& mainWindow)
    : QWidget(&mainWindow, Qt::Window), mainWindow_(mainWindow), text_(new QPlainTextEdit(this)),
      chooser_(new TResultChooser(this)) {
    setObjectName(QStringLiteral("reportWindow"));
    setWindowTitle(QStringLiteral("Report"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The controls stand above the text, but the text, made first, comes first in the focus chain
    // and to a screen reader, and has the focus when the window opens.
    layout->addWidget(chooser_);
    layout->addWidget(text_);
    text_->setFocus();
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    resize(DefaultWidth, DefaultHeight);
}

TReportWindow* TReportWindow::Find(QWidget& mainWindow) {
    // Found by name: the window has no meta-object of its own for a search by type.
    return static_cast<TReportWindow*>(
        mainWindow.findChild<QWidget*>(QStringLiteral("reportWindow"), Qt::FindDirectChildrenOnly));
}

TReportWindow& TReportWindow::Of(QWidget& mainWindow) {
    TReportWindow* window = Find(mainWindow);
    return window ? *window : *new TReportWindow(mainWindow);
}

namespace {

QString ReportOf(const Tgraph& g) {
    if (!g.created) return QStringLiteral("No graph.");
    try {
        return QString::fromStdString(analysis::ReportText(analysis::Report(g), g));
    } catch (const std::exception& e) {
        return QStringLiteral("No report: %1").arg(QString::fromLocal8Bit(e.what()));
    }
}

} // namespace

QPoint TReportWindow::PlaceBeside(const QRect& main, const QSize& outer, const QRect& room, int& height) {
    // To the right, else to the left, else below; where none has room, to the right as far as the
    // screen allows.
    if (main.right() + outer.width() <= room.right()) return QPoint(main.right() + 1, main.top());
    if (main.left() - outer.width() >= room.left()) return QPoint(main.left() - outer.width(), main.top());
    const int below = room.bottom() - main.bottom() - (outer.height() - height);
    if (below >= MinimumHeight) {
        height = std::min(height, below);
        return QPoint(std::max(room.left(), std::min(main.left(), room.right() + 1 - outer.width())),
                      main.bottom() + 1);
    }
    return QPoint(std::max(room.left(), room.right() + 1 - outer.width()), main.top());
}

void TReportWindow::ShowReport(const Tgraph& g) {
    reportKey_ = StructureKey(g);
    text_->setPlainText(ReportOf(g));
    chooser_->Follow(g);
    if (!isVisible()) {
        if (const QScreen* screen = mainWindow_.screen()) {
            // The window's frame is taken to be as wide as the main window's.
            const QRect main = mainWindow_.frameGeometry();
            const QSize frame = main.size() - mainWindow_.size();
            int height = DefaultHeight;
            const QPoint place =
                PlaceBeside(main, QSize(DefaultWidth, DefaultHeight) + frame, screen->availableGeometry(), height);
            resize(DefaultWidth, height);
            move(place);
        }
    }
    show();
    raise();
    activateWindow();
}

void TReportWindow::Follow(const Tgraph& g) {
    if (!isVisible()) return;
    chooser_->Follow(g);
    // The report reads nothing of where the vertices stand: a drag leaves it as it is.
    std::string key = StructureKey(g);
    if (key == reportKey_) return;
    reportKey_ = std::move(key);
    const QString text = ReportOf(g);
    if (text == text_->toPlainText()) return;
    // The reader's place in the text stays.
    const int scrolled = text_->verticalScrollBar()->value();
    text_->setPlainText(text);
    text_->verticalScrollBar()->setValue(scrolled);
}

QString TReportWindow::Text() const { return text_->toPlainText(); }

void TReportWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

void TReportWindow::SetRequests(TPanelRequests requests) { chooser_->SetRequests(std::move(requests)); }

void TReportWindow::SetShownState(const TShownState& state) { chooser_->SetShownState(state); }
