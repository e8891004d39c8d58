#include "SecondaryWindow.h"

#include "Fonts.h"

#include <QKeyEvent>
#include <QWindow>

// Not a child of the main window: disabling that would disable this window too. It is kept
// above the main window through its native window instead.
TSecondaryWindow::TSecondaryWindow(QWidget& owner) : QDialog(nullptr), mainWindow(owner) {
    setFont(WindowFont());
    setAttribute(Qt::WA_QuitOnClose, false);
    setModal(false);
    // No minimise control: a minimised window would still be open, with the main window
    // disabled behind it and nothing on screen to bring it back.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    mainWindow.installEventFilter(this);
}

// Keys go to this window while the main window cannot take them, with or without a window
// manager to give it the focus.
void TSecondaryWindow::FormShow() {
    mainWindow.setEnabled(false);
    activateWindow();
}

// Keys go to the main window itself again, as after a click on its surface: left to Qt, the
// focus would land on the colour box, which takes typed letters as a search.
void TSecondaryWindow::FormHide() {
    mainWindow.setEnabled(true);
    if (!mainWindow.isVisible()) return;
    mainWindow.activateWindow();
    mainWindow.setFocus(Qt::OtherFocusReason);
}

// Only the program's own show and hide count. The window system's (minimising and restoring,
// also along with the main window) leave the window open, so the main window stays disabled.
void TSecondaryWindow::showEvent(QShowEvent* event) {
    // The show event comes before the native window is mapped, so the window manager sees it.
    if (windowHandle() && mainWindow.windowHandle()) windowHandle()->setTransientParent(mainWindow.windowHandle());
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TSecondaryWindow::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) FormHide();
}

// Some window managers minimise the window all the same. The main window, disabled behind it,
// then only gets activated by a click; the open window comes back in front of it.
bool TSecondaryWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &mainWindow && event->type() == QEvent::WindowActivate && isVisible() && isMinimized()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        raise();
        activateWindow();
    }
    return QDialog::eventFilter(watched, event);
}

// Escape does what the close control does: it hides the window.
void TSecondaryWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        hide();
        return;
    }
    QDialog::keyPressEvent(event);
}
