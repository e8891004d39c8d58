#include "ReportWindow.h"

#include "Analysis.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

TReportWindow::TReportWindow(QWidget& mainWindow)
    : QWidget(&mainWindow, Qt::Window), mainWindow_(mainWindow), text_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("reportWindow"));
    setWindowTitle(QStringLiteral("Report"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_);
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    resize(560, 600);
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

void TReportWindow::ShowReport(const Tgraph& g) {
    QString text;
    if (!g.created) {
        text = QStringLiteral("No graph.");
    } else {
        try {
            text = QString::fromStdString(analysis::ReportText(analysis::Report(g), g));
        } catch (const std::exception& e) {
            text = QStringLiteral("No report: %1").arg(QString::fromLocal8Bit(e.what()));
        }
    }
    text_->setPlainText(text);
    if (!isVisible()) {
        // Beside the main window, on its screen where there is room.
        QPoint place = mainWindow_.frameGeometry().topRight() + QPoint(1, 0);
        if (const QScreen* screen = mainWindow_.screen()) {
            const QRect room = screen->availableGeometry();
            if (place.x() + width() > room.right()) place.setX(std::max(room.left(), room.right() - width()));
        }
        move(place);
    }
    show();
    raise();
    activateWindow();
}

QString TReportWindow::Text() const { return text_->toPlainText(); }

void TReportWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}
