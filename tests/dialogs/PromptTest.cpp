// PromptText and the prompt window: what it proposes and hands back, Enter and Escape, the main
// window blocked meanwhile, and the three ways the wait ends (OK, the prompt's close control,
// the main window closing).

#include "AppWindows.h"

#include <QAbstractEventDispatcher>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace {

class Prompt : public testing::Test, protected TAppWindows {
protected:
    void SetUp() override {
        ShowMain();
        promptResult.clear();
    }

    // Runs `act` on the prompt once it waits, after `delayMs`.
    void Then(std::function<void()> act, int delayMs = 0) {
        QTimer::singleShot(delayMs, form3.get(), [this, act = std::move(act)] {
            ASSERT_TRUE(form3->isVisible());
            captions.append(form3->windowTitle());
            proposed.append(form3->Edit1->text());
            mainEnabled = form1->isEnabled();
            act();
        });
    }
    void Ok() { QTest::mouseClick(form3->Button1, Qt::LeftButton); }

    // What the main window passes as the prompt's end condition.
    const std::function<bool()> mainClosing = [this] { return ui.appClosing; };
    QStringList captions, proposed;
    bool mainEnabled = true;
};

TEST_F(Prompt, ProposesTheTextAndOkWithoutChangesReturnsIt) {
    std::string text = "Grü\xC3\x9F"
                       "e";
    Then([this] { Ok(); });
    PromptText("Vertex \"a\" renaming", text, text, mainClosing);
    EXPECT_EQ(captions, QStringList{QStringLiteral("Vertex \"a\" renaming")});
    EXPECT_EQ(proposed, QStringList{QStringLiteral("Grüße")});
    EXPECT_EQ(text, "Gr\xC3\xBC\xC3\x9F"
                    "e");
    EXPECT_FALSE(mainEnabled);
    EXPECT_FALSE(form3->isVisible());
    EXPECT_TRUE(form1->isEnabled());
}

TEST_F(Prompt, EmptiedFieldReturnsTheEmptyText) {
    std::string text = "old";
    Then([this] {
        form3->Edit1->clear();
        Ok();
    });
    PromptText("c", text, text, mainClosing);
    EXPECT_EQ(text, "");
}

// Enter is OK; Escape is the close control: the text typed so far is dropped.
TEST_F(Prompt, EnterActsAsOkAndEscapeClosesKeepingTheOldText) {
    std::string text = "old";
    Then([&] {
        form3->Edit1->selectAll();
        QTest::keyClicks(form3->Edit1, QStringLiteral("new"));
        QTest::keyClick(form3->Edit1, Qt::Key_Return);
    });
    PromptText("c", text, text, mainClosing);
    EXPECT_FALSE(form3->isVisible());
    EXPECT_EQ(text, "new");

    Then([&] {
        form3->Edit1->selectAll();
        QTest::keyClicks(form3->Edit1, QStringLiteral("typed"));
        QTest::keyClick(form3->Edit1, Qt::Key_Escape);
    });
    PromptText("c", text, text, mainClosing);
    EXPECT_FALSE(form3->isVisible());
    EXPECT_EQ(text, "new");
}

TEST_F(Prompt, SecondPromptProposesItsOwnTextAndTheResultIsKept) {
    std::string first = "one", second = "two";
    Then([this] {
        form3->Edit1->setText(QStringLiteral("uno"));
        Ok();
    });
    PromptText("first", first, first, mainClosing);
    Then([this] { Ok(); });
    PromptText("second", second, second, mainClosing);
    EXPECT_EQ(proposed, (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    EXPECT_EQ(captions, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    EXPECT_EQ(first, "uno");
    EXPECT_EQ(second, "two");
}

TEST_F(Prompt, CloseControlReturnsTheProposedTextUnchanged) {
    promptResult = "earlier";
    std::string text = "proposed";
    Then([this] {
        form3->Edit1->setText(QStringLiteral("typed, never confirmed"));
        form3->close();
    });
    PromptText("c", text, text, mainClosing);
    EXPECT_EQ(text, "proposed");
    EXPECT_EQ(promptResult, "earlier");
    EXPECT_FALSE(form3->isVisible());
    EXPECT_TRUE(form1->isEnabled());

    // The next prompt works as usual.
    Then([this] { Ok(); });
    PromptText("c", text, text, mainClosing);
    EXPECT_EQ(text, "proposed");
    EXPECT_EQ(promptResult, "proposed");
}

TEST_F(Prompt, MainWindowClosingEndsTheWaitWithTheLastConfirmedText) {
    std::string first = "kept";
    Then([this] { Ok(); });
    PromptText("c", first, first, mainClosing);

    std::string text = "proposed";
    Then([this] {
        form3->Edit1->setText(QStringLiteral("typed"));
        form1->close();
    });
    PromptText("c", text, text, mainClosing);
    EXPECT_TRUE(ui.appClosing);
    EXPECT_EQ(text, "kept");
    EXPECT_FALSE(form3->isVisible());
}

// A waiting prompt lets the thread sleep: the event dispatcher blocks for events while it waits.
// A busy wait (processEvents in a loop) would never block.
TEST_F(Prompt, WaitingSleepsInsteadOfSpinning) {
    std::string text = "t";
    int blocks = 0;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    ASSERT_NE(dispatcher, nullptr);
    const QMetaObject::Connection counting =
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [&blocks] { ++blocks; });
    Then([this] { Ok(); }, 100);
    PromptText("c", text, text, mainClosing);
    QObject::disconnect(counting);
    EXPECT_GE(blocks, 1);
}

} // namespace
