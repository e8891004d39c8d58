#pragma once
// What the secondary windows share: an ordinary, non-modal window that disables the main
// window while it is visible (show event) and enables it again when hidden (hide event). The
// title-bar close control only hides it; Escape does nothing.

#include <QDialog>

class TSecondaryWindow : public QDialog {
public:
    explicit TSecondaryWindow(QWidget& mainWindow);

    virtual void FormShow();
    virtual void FormHide();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    QWidget& mainWindow;
};
