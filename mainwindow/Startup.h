#pragma once
// The program's five windows, created once in start-up order and kept for the whole run: the
// main window first, then the settings, the prompt, help and About.

#include "Aboutform.h"
#include "TForm1.h"
#include "formsettings.h"
#include "helpformp.h"
#include "request.h"

struct TWindows {
    TForm1 form1;
    TForm2 form2{form1};
    TForm3 form3{form1};
    TForm4 form4{form1};
    TForm5 form5{form1};
    TWindows() { form1.SetForms(&form2, &form3, &form4, &form5); }
};
