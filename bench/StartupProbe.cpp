// Start-up to the first painted main window. The program's start-up sequence (application, the
// five windows in order, show the main window), then exit as soon as the drawing surface has
// been painted once. Built only with the benchmarks; run it through startup.sh, which times the
// whole process from exec to exit.

#include "Aboutform.h"
#include "ErrorHandler.h"
#include "Surface.h"
#include "TForm1.h"
#include "formsettings.h"
#include "helpformp.h"
#include "request.h"

#include <QEvent>
#include <QIcon>
#include <QTimer>

namespace {

// Quits the event loop once the watched widget has handled its first paint event.
class TFirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen) {
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

    TForm1 form1;
    TForm2 form2(form1);
    TForm3 form3(form1);
    TForm4 form4(form1);
    TForm5 form5(form1);
    form1.SetForms(&form2, &form3, &form4, &form5);

    TFirstPaint firstPaint;
    form1.Image1->installEventFilter(&firstPaint);
    form1.show();
    app.exec();
    return firstPaint.seen ? 0 : 1;
}
