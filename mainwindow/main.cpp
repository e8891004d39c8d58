// Start-up: the five windows, created once in order and kept for the whole run, then the event
// loop until the main window closes.

#include "Aboutform.h"
#include "ErrorHandler.h"
#include "TForm1.h"
#include "formsettings.h"
#include "helpformp.h"
#include "request.h"

#include <QIcon>

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    app.setWindowIcon(QIcon(QStringLiteral(":/nodeloom.png")));

    TForm1 form1;
    TForm2 form2(form1);
    TForm3 form3(form1);
    TForm4 form4(form1);
    TForm5 form5(form1);
    form1.SetForms(&form2, &form3, &form4, &form5);

    form1.show();
    return app.exec();
}
