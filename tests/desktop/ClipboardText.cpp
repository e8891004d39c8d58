// Prints the text on the X clipboard, as a paste into another program gets it, so that the desktop
// tests read what the editor copied as a user would; exit 1 when the clipboard holds no text.
// Reading it asks the clipboard's owner over X and waits for the answer, without an event loop.

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QByteArray text = QGuiApplication::clipboard()->text().toUtf8();
    if (text.isEmpty()) return 1;
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    return 0;
}
