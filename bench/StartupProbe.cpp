// Start-up to the first painted main window. The program's start-up sequence (application, the
// five windows in order, show the main window), then exit as soon as the drawing surface has
// been painted once; with a file argument, the file is opened first as the program opens one
// given on its command line. Built only with the benchmarks; run it through startup.sh, which
// times the whole process from exec to exit.

#include "ErrorHandler.h"
#include "Startup.h"
#include "Surface.h"

#include <QEvent>
#include <QIcon>
#include <QTimer>

namespace {

// Watches every object of the application and quits the event loop once the drawing surface has
// handled its first paint event.
class TFirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen && dynamic_cast<TImage*>(watched)) {
            seen = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }
    bool seen = false;
};

} // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    app.setWindowIcon(QIcon(QStringLiteral(":/nodeloom.png")));

    TWindows windows;
    TFirstPaint firstPaint;
    app.installEventFilter(&firstPaint);
    windows.form1.show();
    if (argc > 1) windows.form1.OpenGraphFile(argv[1]);
    app.exec();
    return firstPaint.seen ? 0 : 1;
}
