#include "helpformp.h"

#include "TextCodec.h"
#include "WindowFrame.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

// Outer size and place on the screen.
constexpr int OuterLeft = 368, OuterTop = 160;
constexpr int OuterWidth = 416, OuterHeight = 372;

} // namespace

QString HelpPagePath(const QString& executablePath) {
    const qsizetype slash = executablePath.lastIndexOf(QLatin1Char('/'));
    return executablePath.left(slash + 1) + QStringLiteral("help.html");
}

QString FindHelpPage(const QString& executablePath) {
    const QString beside = HelpPagePath(executablePath);
    if (QFileInfo::exists(beside)) return beside;
    const QString folder = beside.left(beside.size() - QStringLiteral("help.html").size());
    const QString installed = QDir::cleanPath(folder + QStringLiteral("../share/nodeloom/help.html"));
    return QFileInfo::exists(installed) ? installed : beside;
}

TForm4::TForm4(QWidget& owner) : TSecondaryWindow(owner) {
    setWindowTitle(QStringLiteral("Help"));
    // An ordinary resizable frame: it may be maximised too (never minimised, see TSecondaryWindow).
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(false);
    move(OuterLeft, OuterTop);
    resize(ClientSize(OuterWidth, OuterHeight));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    WebBrowser1 = new QTextBrowser(this);
    WebBrowser1->setOpenExternalLinks(true);
    layout->addWidget(WebBrowser1);
}

void TForm4::Navigate(const QString& path) {
    QFile page(path);
    if (!page.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            EncodeText(QStringLiteral("Cannot open the help page \"%1\": %2").arg(path, page.errorString())));
    page.close();
    // The viewer keeps a page it has shown; clearing it first makes every use read the file again.
    WebBrowser1->setSource(QUrl());
    WebBrowser1->clear();
    WebBrowser1->clearHistory();
    WebBrowser1->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    WebBrowser1->verticalScrollBar()->setValue(0);
}
