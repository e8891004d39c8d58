#pragma once
// The program's five windows as start-up creates them, fresh for each test, with the main
// window shown, and a capture of the error box.

#include "Aboutform.h"
#include "ErrorHandler.h"
#include "Geometry.h"
#include "Surface.h"
#include "TForm1.h"
#include "TForm1TestAccess.h"
#include "TestPictures.h"
#include "formsettings.h"
#include "helpformp.h"
#include "request.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

class TAppWindows {
public:
    TAppWindows()
        : form1(std::make_unique<TForm1>()), form2(std::make_unique<TForm2>(*form1)),
          form3(std::make_unique<TForm3>(*form1)), form4(std::make_unique<TForm4>(*form1)),
          form5(std::make_unique<TForm5>(*form1)), ui(*form1) {
        form1->SetForms(form2.get(), form3.get(), form4.get(), form5.get());
        ErrorBoxHook = [this](const QString& text) { errors.append(text); };
        // The unsaved-changes question is answered Discard unless a test answers it itself.
        ui.AskUnsaved = [this](const QString& question) {
            questions.append(question);
            return TForm1::TUnsavedAnswer::Discard;
        };
        // So is the replace question, with Replace; recovery with Later, keeping the files.
        ui.AskReplace = [this](const QString& question) {
            questions.append(question);
            return true;
        };
        ui.AskRecover = [this](const QString& question) {
            questions.append(question);
            return TForm1::TRecoverAnswer::Later;
        };
        // A prompt nobody answers would hang the test: one open for ten seconds in a row is
        // given up through the closing flag. Only open time counts, so a long test on a busy
        // machine does not trip it.
        promptWatchdog.setInterval(1000);
        QObject::connect(&promptWatchdog, &QTimer::timeout, form1.get(), [this] {
            promptOpenSeconds = form3->isVisible() ? promptOpenSeconds + 1 : 0;
            if (promptOpenSeconds == 10) {
                ADD_FAILURE() << "a prompt was left waiting";
                ui.appClosing = true;
            }
        });
        promptWatchdog.start();
    }

    ~TAppWindows() {
        promptWatchdog.stop();
        ErrorBoxHook = nullptr;
        form5.reset();
        form4.reset();
        form3.reset();
        form2.reset();
        form1.reset();
    }

    void ShowMain() {
        form1->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form1.get()));
        QApplication::processEvents();
    }

    // A white picture of the surface's size with only the live graph drawn on it: what the
    // surface must show after any redraw.
    QImage FreshPicture() { return GraphPicture(ui.LiveGraph, ui.Image1->Picture.size()); }
    // What a redraw shows now: the graph's picture, with the add-edge tool's first vertex framed in
    // blue, 7 pixels out from its disc, while the second is awaited.
    QImage ExpectedPicture() {
        QImage picture = FreshPicture();
        const Tgraph& g = ui.LiveGraph;
        if (ui.ToolButton12->isChecked() && g.edgeStart > 0 && g.edgeStart <= g.vertexCount && g.edgeEnd == 0) {
            const Tvertex& c = g.vertices[g.edgeStart];
            const int r = geometry::VertexRadius + 7;
            QPainter painter(&picture);
            painter.setPen(QColor(0, 0, 255));
            const QPoint corners[] = {{c.x - r, c.y - r}, {c.x + r, c.y - r}, {c.x + r, c.y + r}, {c.x - r, c.y + r}};
            for (int k = 0; k < 4; ++k) painter.drawLine(corners[k], corners[(k + 1) % 4]);
        }
        return picture;
    }

    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm3> form3;
    std::unique_ptr<TForm4> form4;
    std::unique_ptr<TForm5> form5;
    TForm1TestAccess ui; // form1's data and controls
    QStringList errors;
    QStringList questions; // the unsaved-changes, replace and recovery questions asked

private:
    QTimer promptWatchdog;
    int promptOpenSeconds = 0;
};
