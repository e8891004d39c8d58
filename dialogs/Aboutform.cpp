#include "Aboutform.h"

#include "Fonts.h"
#include "Version.h"

#include <QLabel>
#include <QPixmap>
#include <QTimer>

namespace {

constexpr int ClientWidth = 264, ClientHeight = 193;

} // namespace

TForm5::TForm5(QWidget& mainWindow) : TSecondaryWindow(mainWindow) {
    setWindowTitle(QStringLiteral("About " NODELOOM_PRODUCT));
    setFixedSize(ClientWidth, ClientHeight);

    Image1 = new QLabel(this);
    Image1->setGeometry(40, 24, 32, 32);
    Q_INIT_RESOURCE(dialogs);
    Image1->setPixmap(QPixmap(QStringLiteral(":/dialogs/about-icon.png")));

    Label1 = new QLabel(QStringLiteral(NODELOOM_PRODUCT), this);
    Label1->setGeometry(80, 32, 137, 20);
    Label1->setFont(WindowFontOfSize(16));

    Label2 = new QLabel(QStringLiteral("A small-graph editor"), this);
    Label2->setGeometry(32, 96, 201, 16);
    Label2->setFont(WindowFontOfSize(13));
    Label2->setAlignment(Qt::AlignCenter);

    Label3 = new QLabel(QStringLiteral("© 2026"), this);
    Label3->setGeometry(96, 152, 79, 16);
    Label3->setFont(WindowFontOfSize(13));
    Label3->setAlignment(Qt::AlignCenter);
}

// Centred over the main window each time it opens.
void TForm5::FormShow() {
    CentreOverMainWindow();
    centreWhenShown = true;
    TSecondaryWindow::FormShow();
}

// The window manager adds the frame only once the window is mapped, so the first showing is
// measured again when the window is first painted; until then the main window's frame stands in.
void TForm5::paintEvent(QPaintEvent* event) {
    TSecondaryWindow::paintEvent(event);
    if (!centreWhenShown) return;
    centreWhenShown = false;
    QTimer::singleShot(0, this, [this] { CentreOverMainWindow(); });
}

void TForm5::CentreOverMainWindow() {
    const QRect over = mainWindow.frameGeometry();
    QSize own = frameGeometry().size();
    if (own == size()) own += over.size() - mainWindow.size();
    move(over.left() + (over.width() - own.width()) / 2, over.top() + (over.height() - own.height()) / 2);
}
