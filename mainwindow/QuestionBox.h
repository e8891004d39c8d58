#pragma once
// The window's questions in a modal box titled "Nodeloom".

#include <QMessageBox>
#include <QString>

#include <vector>

struct TBoxButton {
    QString text; // with its mnemonic: "&Recover"
    QMessageBox::ButtonRole role;
};

// Asks text with the buttons in order, defaultButton taking Return. Returns the index of the
// button chosen; escapeButton's index for Escape or the window's close control, or -1 when
// escapeButton is -1 (Escape then answers none of the buttons).
int AskQuestion(QWidget* parent, const QString& text, const std::vector<TBoxButton>& buttons, int defaultButton,
                int escapeButton);
