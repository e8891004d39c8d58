#pragma once
// The help window: an HTML viewer filling the window, showing help.html from the program's folder.

#include "SecondaryWindow.h"

#include <QString>

class QTextBrowser;

class TForm4 : public TSecondaryWindow {
public:
    explicit TForm4(QWidget& mainWindow);

    QTextBrowser* WebBrowser1;

    // Loads the page afresh and shows it from its top. Throws std::runtime_error when the page
    // cannot be read; what was shown before stays.
    void Navigate(const QString& path);
};

// The help page beside the executable: the executable's path up to and including its last '/',
// then "help.html". A path without a folder gives "help.html".
QString HelpPagePath(const QString& executablePath);

// The help page to show: the one beside the executable when it is there, else the installed one
// in ../share/nodeloom/ from the executable's folder when that is there, else the one beside.
QString FindHelpPage(const QString& executablePath);
