// The help, About and prompt windows, and the main window blocked while any secondary window
// is visible.

#include "AppWindows.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolButton>

#include <cstdlib>
#include <stdexcept>

namespace {

// Equal margins on either side, to the pixel that an odd difference leaves over.
bool CentredOver(const QRect& inner, const QRect& outer) {
    const int left = inner.left() - outer.left(), right = outer.right() - inner.right();
    const int top = inner.top() - outer.top(), bottom = outer.bottom() - inner.bottom();
    return std::abs(left - right) <= 1 && std::abs(top - bottom) <= 1;
}

class SecondaryWindows : public testing::Test, protected TAppWindows {};

TEST_F(SecondaryWindows, EachDisablesTheMainWindowWhileVisible) {
    ShowMain();
    TSecondaryWindow* windows[] = {form2.get(), form3.get(), form4.get(), form5.get()};
    for (TSecondaryWindow* w : windows) {
        SCOPED_TRACE(w->windowTitle().toStdString());
        w->show();
        EXPECT_FALSE(form1->isEnabled());
        EXPECT_TRUE(w->isEnabled());
        // A click on the toolbar has no effect meanwhile.
        QTest::mouseClick(ui.ToolButton1, Qt::LeftButton);
        EXPECT_EQ(form2->isVisible(), w == form2.get());
        w->close();
        EXPECT_FALSE(w->isVisible());
        EXPECT_TRUE(form1->isEnabled());
    }
}

// The title bar offers no minimise control (the help window, resizable, may be maximised). A
// window minimised all the same by the window system stays open with the main window disabled,
// and comes back when the main window is activated. Once it is closed, keys reach the main
// window's key handler again, not the colour box, which would take a typed "r" for Red: Escape
// puts the add-vertex tool up.
TEST_F(SecondaryWindows, MinimisedTheyStayOpenAndClosedTheyGiveTheKeysBack) {
    ShowMain();
    ui.LiveGraph.created = true;
    TSecondaryWindow* windows[] = {form2.get(), form3.get(), form4.get(), form5.get()};
    for (TSecondaryWindow* w : windows) {
        SCOPED_TRACE(w->windowTitle().toStdString());
        const Qt::WindowFlags flags = w->windowFlags();
        EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint) && flags.testFlag(Qt::WindowCloseButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_EQ(flags.testFlag(Qt::WindowMaximizeButtonHint), w == form4.get());

        ui.ToolButton10->setChecked(true);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        w->setWindowState(Qt::WindowMinimized);
        EXPECT_TRUE(w->isVisible());
        EXPECT_FALSE(form1->isEnabled());
        form1->activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([w] { return !w->isMinimized(); }));
        EXPECT_FALSE(form1->isEnabled());

        if (w == form2.get())
            QTest::keyClick(form2->Button1, Qt::Key_Return); // Create
        else
            w->close();
        EXPECT_TRUE(form1->isEnabled());
        form1->activateWindow(); // as a window manager does
        EXPECT_TRUE(QTest::qWaitForWindowActive(form1.get()));
        ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::focusWidget() == form1.get(); }))
            << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(ui.ToolButton10->isChecked());
    }
}

TEST_F(SecondaryWindows, HelpShowsThePageFromTheProgramsFolder) {
    ShowMain();
    ui.Usingguide1->trigger();
    EXPECT_TRUE(form4->isVisible());
    EXPECT_FALSE(form1->isEnabled());
    EXPECT_EQ(form4->windowTitle(), QStringLiteral("Help"));
    EXPECT_TRUE(form4->WebBrowser1->toPlainText().contains(QStringLiteral("gf4")));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(SecondaryWindows, HelpIsReadAfreshOnEveryUse) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("help.html"));
    auto write = [&path](const QByteArray& body) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<html><body><p>" + body + "</p>" + QByteArray(300, '\n').replace("\n", "<p>line</p>") +
                "</body></html>");
    };
    ShowMain();
    form4->resize(300, 200);
    form4->show();
    write("first version");
    form4->Navigate(path);
    EXPECT_TRUE(form4->WebBrowser1->toPlainText().contains(QStringLiteral("first version")));
    form4->WebBrowser1->verticalScrollBar()->setValue(form4->WebBrowser1->verticalScrollBar()->maximum());

    write("second version");
    form4->Navigate(path);
    EXPECT_TRUE(form4->WebBrowser1->toPlainText().contains(QStringLiteral("second version")));
    EXPECT_FALSE(form4->WebBrowser1->toPlainText().contains(QStringLiteral("first version")));
    EXPECT_EQ(form4->WebBrowser1->verticalScrollBar()->value(), 0);
}

TEST_F(SecondaryWindows, UnreadableHelpPageRaisesAnErrorAndTheWindowStays) {
    ShowMain();
    form4->show();
    EXPECT_THROW(form4->Navigate(QStringLiteral("/nonexistent/folder/help.html")), std::runtime_error);
    ASSERT_TRUE(errors.isEmpty());
    // Raised inside an event handler, the error reaches the application's error box.
    QMetaObject::invokeMethod(
        form4.get(), [this] { form4->Navigate(QStringLiteral("/nonexistent/folder/help.html")); },
        Qt::QueuedConnection);
    QApplication::processEvents();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("/nonexistent/folder/help.html")));
    EXPECT_TRUE(errors[0].endsWith(QLatin1Char('.')));
    EXPECT_TRUE(form4->isVisible());
    EXPECT_FALSE(form1->isEnabled());
}

TEST_F(SecondaryWindows, AboutIsFixedAndCentredOverTheMainWindow) {
    ShowMain();
    form1->move(150, 120);
    QApplication::processEvents();
    ui.About1->trigger();
    ASSERT_TRUE(form5->isVisible());
    EXPECT_FALSE(form1->isEnabled());
    EXPECT_EQ(form5->windowTitle(), QStringLiteral("About Nodeloom 5.1"));
    EXPECT_EQ(form5->minimumSize(), form5->maximumSize());
    EXPECT_TRUE(CentredOver(form5->frameGeometry(), form1->frameGeometry()));

    EXPECT_EQ(form5->Label1->text(), QStringLiteral("Nodeloom 5.1"));
    EXPECT_EQ(form5->Label1->font().pixelSize(), 16);
    ASSERT_FALSE(form5->Image1->pixmap().isNull());
    EXPECT_EQ(form5->Image1->pixmap().size(), QSize(32, 32));
    // Both lower lines fit their labels.
    for (QLabel* label : {form5->Label2, form5->Label3})
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());

    // Moved main window: the next showing centres again.
    form5->close();
    form1->move(300, 260);
    QApplication::processEvents();
    form1->About1Click();
    EXPECT_TRUE(CentredOver(form5->frameGeometry(), form1->frameGeometry()));
}

TEST_F(SecondaryWindows, PromptWindowIsFixedAndOkKeepsTheText) {
    EXPECT_EQ(form3->minimumSize(), form3->maximumSize());
    EXPECT_EQ(form3->Button1->text(), QStringLiteral("OK"));
    EXPECT_TRUE(form3->Button1->isDefault());

    promptConfirmed = false;
    form3->Edit1->setText(QStringLiteral("Knoten ä"));
    QTest::mouseClick(form3->Button1, Qt::LeftButton);
    EXPECT_TRUE(promptConfirmed);
    EXPECT_EQ(promptResult, "Knoten \xC3\xA4");
}

} // namespace
