#pragma once
// The windows with a graph made through the settings window, the surface driven with the mouse
// events a user's hand produces, and the prompt answered from a timer inside its wait.

#include "AppWindows.h"
#include "ColorBox.h"
#include "GraphBuilders.h"
#include "Surface.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class TEditor : public TAppWindows {
public:
    TEditor() {
        MessageBoxHook = [this](const QString& text) { messages.append(text); };
    }
    ~TEditor() { MessageBoxHook = nullptr; }

    Tgraph& G() { return ui.LiveGraph; }
    TImage& Surface() { return *ui.Image1; }

    // New graph through the settings window's Create.
    void NewGraph(bool directed, bool weighted) {
        form2->CheckBox1->setChecked(directed);
        form2->CheckBox2->setChecked(weighted);
        form2->show();
        QTest::mouseClick(form2->Button1, Qt::LeftButton);
        ASSERT_TRUE(G().created);
        ASSERT_TRUE(form1->isEnabled());
    }

    // The user picking colour `index` of the table in the main colour box.
    void PickColor(int index) {
        ui.ColorBox1->setCurrentIndex(index);
        emit ui.ColorBox1->activated(index);
    }

    // Mouse events as the platform delivers them to the surface.
    void Send(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(p), QPointF(Surface().mapToGlobal(p)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&Surface(), &event);
    }
    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        held |= b;
        Send(QEvent::MouseButtonPress, p, b, held);
    }
    void Move(QPoint p) { Send(QEvent::MouseMove, p, Qt::NoButton, held); }
    void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        held &= ~Qt::MouseButtons(b);
        Send(QEvent::MouseButtonRelease, p, b, held);
    }
    void Click(QPoint p) {
        Press(p);
        Release(p);
    }
    // A real double-click: press, release, double-click (the second press), release.
    void DoubleClick(QPoint p) {
        Press(p);
        Release(p);
        held |= Qt::LeftButton;
        Send(QEvent::MouseButtonDblClick, p, Qt::LeftButton, held);
        Release(p);
    }
    // The tools as the user works them: a vertex at p, an edge from the vertex at a to the one at b.
    void AddVertexAt(QPoint p) {
        ui.Addvertex1->trigger();
        Click(p);
    }
    void AddEdgeBetween(QPoint a, QPoint b) {
        ui.Addedge1->trigger();
        Click(a);
        Click(b);
    }
    // A key pressed in the main window, with Ctrl unless other modifiers are given.
    void Key(Qt::Key key, Qt::KeyboardModifiers m = Qt::ControlModifier) { QTest::keyClick(form1.get(), key, m); }

    // What the next prompt looked like when it opened, and whether the main window was disabled.
    struct TSeen {
        bool opened = false;
        QString caption, proposed;
        bool mainEnabled = true;
    };

    // Answers the next prompt inside its wait: `act` runs on the visible prompt.
    void AnswerPrompt(std::function<void(TForm3&)> act) {
        seen = TSeen();
        QTimer::singleShot(0, form3.get(), [this, act = std::move(act)] {
            if (!form3->isVisible()) {
                ADD_FAILURE() << "no prompt was open";
                return;
            }
            seen.opened = true;
            seen.caption = form3->windowTitle();
            seen.proposed = form3->Edit1->text();
            seen.mainEnabled = form1->isEnabled();
            act(*form3);
        });
    }
    // Key presses carrying the text, one character each; non-ASCII ones as a keyboard layout
    // delivers them, with no key code of their own.
    static void Type(QWidget* w, const QString& text) {
        for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    // Types text over the proposed one and presses OK.
    void AnswerPrompt(const QString& text) {
        AnswerPrompt([text](TForm3& f) {
            f.Edit1->selectAll();
            if (text.isEmpty())
                QTest::keyClick(f.Edit1, Qt::Key_Backspace);
            else
                Type(f.Edit1, text);
            QTest::mouseClick(f.Button1, Qt::LeftButton);
        });
    }

    // The file dialogs answered in turn from fileAnswers, and cancelled once it is empty.
    void AnswerFileDialogsInTurn() {
        ui.ExecuteFileDialog = [this](QFileDialog&) -> std::optional<QString> {
            if (fileAnswers.empty()) return std::nullopt;
            const QString answer = fileAnswers.front();
            fileAnswers.erase(fileAnswers.begin());
            return answer;
        };
    }

    Qt::MouseButtons held;
    QStringList messages;
    TSeen seen;
    std::vector<QString> fileAnswers;
};
