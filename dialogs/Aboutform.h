#pragma once
// The About window: the product's icon and name and two lines about it. Fixed size, centred over
// the main window, frame included, whenever it is shown.

#include "SecondaryWindow.h"

class QLabel;

class TForm5 : public TSecondaryWindow {
public:
    explicit TForm5(QWidget& mainWindow);

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;

    void FormShow() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void CentreOverMainWindow();
    bool centreWhenShown = false; // measure the frame again once the window is on screen
};
