#include "SecondaryWindow.h"

#include "Fonts.h"

#include <QKeyEvent>
#include <QWindow>

// Not a child of the main window: disabling that would disable this window too. It is kept
// above the main window through its native window instead.
TSecondaryWindow::TSecondaryWindow(QWidget& mainWindow) : QDialog(nullptr), mainWindow(mainWindow) {
    setFont(WindowFont());
    setAttribute(Qt::WA_QuitOnClose, false);
    setModal(false);
}

void TSecondaryWindow::FormShow() { mainWindow.setEnabled(false); }

void TSecondaryWindow::FormHide() { mainWindow.setEnabled(true); }

void TSecondaryWindow::showEvent(QShowEvent* event) {
    // The show event comes before the native window is mapped, so the window manager sees it.
    if (windowHandle() && mainWindow.windowHandle())
        windowHandle()->setTransientParent(mainWindow.windowHandle());
    QDialog::showEvent(event);
    FormShow();
}

void TSecondaryWindow::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    FormHide();
}

void TSecondaryWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
