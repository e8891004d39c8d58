#pragma once
// What the secondary windows share: an ordinary, non-modal window that disables the main
// window while it is shown and enables it again, with the keyboard focus, when it is closed or
// hidden by the program. The title bar offers only the close control, which hides the window;
// Escape does the same. A window manager that minimises it anyway leaves it open, and a click on
// the main window brings it back.

#include <QDialog>

class TSecondaryWindow : public QDialog {
public:
    explicit TSecondaryWindow(QWidget& mainWindow);

    virtual void FormShow();
    virtual void FormHide();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    QWidget& mainWindow;
};
