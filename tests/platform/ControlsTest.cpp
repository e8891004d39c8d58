// The colour box, the check-style tool buttons, the status bar and the top-level error handler.

#include "ColorBox.h"
#include "ErrorHandler.h"
#include "Graph_obj.h"
#include "StatusBar.h"
#include "ToolBar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ColorBox, ListsTheTableColoursCapitalisedStartingAtBlack) {
    TColorBox box;
    ASSERT_EQ(box.count(), 16);
    EXPECT_EQ(box.itemText(0), QStringLiteral("Black"));
    EXPECT_EQ(box.itemText(1), QStringLiteral("Maroon"));
    EXPECT_EQ(box.itemText(15), QStringLiteral("White"));
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(box.itemIcon(i).isNull());
        EXPECT_EQ(box.itemText(i).toLower(), QString::fromLatin1(ColorTable[i].name));
    }
    EXPECT_EQ(box.Selected(), colors::Black);

    // The open list shows every colour in a row 16 pixels high.
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    box.showPopup();
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(box.view()->visualRect(box.model()->index(i, 0)).height(), 16);
    }
    box.hidePopup();
}

TEST(ColorBox, ProgramSelectionIsSilentAndUserSelectionNotifies) {
    TColorBox box;
    int changes = 0;
    box.OnChange = [&changes] { ++changes; };
    box.SetSelected(ColorTable[9].value);
    EXPECT_EQ(box.Selected(), ColorTable[9].value);
    EXPECT_EQ(changes, 0);

    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Down); // the user steps to the next colour
    EXPECT_EQ(box.Selected(), ColorTable[10].value);
    EXPECT_EQ(changes, 1);
}

TEST(ColorBox, ColourOutsideTheTableLeavesTheSelection) {
    TColorBox box;
    box.SetSelected(ColorTable[3].value);
    box.SetSelected(0x00123456);
    EXPECT_EQ(box.Selected(), ColorTable[3].value);
}

TEST(ToolBar, CheckButtonDownStateSetByTheProgramRunsNoHandler) {
    TToolBar bar;
    bar.AddButton(QIcon(), QStringLiteral("one"), false);
    bar.AddSeparator(12);
    QToolButton* check = bar.AddButton(QIcon(), QStringLiteral("two"), true);

    int runs = 0;
    QObject::connect(check, &QToolButton::clicked, [&runs] { ++runs; });
    check->setChecked(true);
    EXPECT_EQ(runs, 0);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(check->isChecked()); // the click toggled it up before the handler ran
}

TEST(StatusBar, TwoPanelsHoldTheirTextsAndAThirdIsNone) {
    TStatusBar bar;
    bar.resize(400, TStatusBar::Height);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    bar.SetPanelText(0, QStringLiteral("left"));
    bar.SetPanelText(1, QStringLiteral("right"));
    bar.SetPanelText(2, QStringLiteral("nowhere"));
    EXPECT_EQ(bar.PanelText(0), QStringLiteral("left"));
    EXPECT_EQ(bar.PanelText(1), QStringLiteral("right"));
    EXPECT_EQ(bar.PanelText(2), QString());
}

// An object whose event handler fails where nothing of the program's catches it first.
class TFailingObject : public QObject {
protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::runtime_error("Cannot create file \"x.bmp\"");
        return QObject::event(e);
    }
};

struct EInOutErrorLike : std::runtime_error {
    EInOutErrorLike() : std::runtime_error("File access denied") {}
};

class ErrorHandler : public testing::Test {
protected:
    void SetUp() override {
        ErrorBoxHook = [this](const QString& text) { shown.append(text); };
    }
    void TearDown() override { ErrorBoxHook = nullptr; }
    QStringList shown;
};

TEST_F(ErrorHandler, MessageGetsAFullStopOnlyWhenItLacksOne) {
    EXPECT_EQ(ErrorMessageText(std::runtime_error("Disk full")), QStringLiteral("Disk full."));
    EXPECT_EQ(ErrorMessageText(std::runtime_error("I/O error 5.")), QStringLiteral("I/O error 5."));
    EXPECT_EQ(ErrorMessageText(std::runtime_error("")), QStringLiteral("."));
    ShowError(std::runtime_error("File access denied"));
    EXPECT_EQ(shown, QStringList{QStringLiteral("File access denied.")});
}

TEST_F(ErrorHandler, ExceptionEscapingAnEventIsShownAndTheProgramGoesOn) {
    TFailingObject object;
    QEvent first(QEvent::User), second(QEvent::User);
    QCoreApplication::sendEvent(&object, &first);
    QCoreApplication::sendEvent(&object, &second);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Cannot create file \"x.bmp\"."),
                                  QStringLiteral("Cannot create file \"x.bmp\".")}));
}

TEST_F(ErrorHandler, GuardedHandlersShowWhatTheyThrowAndReturn) {
    bool after = false;
    Guarded([] { throw EInOutErrorLike(); });
    Guarded([] { throw 42; });
    Guarded([&] { after = true; });
    EXPECT_EQ(shown, (QStringList{QStringLiteral("File access denied."), QStringLiteral("Unknown error.")}));
    EXPECT_TRUE(after);
}

} // namespace
