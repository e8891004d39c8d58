#pragma once
// The tests' view of the main window's data and controls, which are private to it: the graph it
// edits and its undo history, its closing flag, the controls a test drives, the file-dialog and
// question seams a test answers, and the recovery file's path and timer. Only tests include this header.

#include "TForm1.h"

class TForm1TestAccess {
public:
    explicit TForm1TestAccess(TForm1& form)
        : LiveGraph(form.LiveGraph), History(form.History), appClosing(form.appClosing),
          ExecuteFileDialog(form.ExecuteFileDialog), AskUnsaved(form.AskUnsaved), AskRecover(form.AskRecover),
          AskReplace(form.AskReplace), RecoveryPath(form.RecoveryPath), RecoveryTimer(form.RecoveryTimer),
          KeepRecovery([&form] { form.KeepRecovery(); }), ToolBar1(form.ToolBar1), ToolButton1(form.ToolButton1),
          ToolButton4(form.ToolButton4), ToolButton6(form.ToolButton6), ToolButton8(form.ToolButton8),
          ToolButton10(form.ToolButton10), ToolButton12(form.ToolButton12), ToolButton14(form.ToolButton14),
          ToolButton16(form.ToolButton16), ToolButton18(form.ToolButton18), Label1(form.Label1),
          ColorBox1(form.ColorBox1), Image1(form.Image1), StatusBar1(form.StatusBar1), File1(form.File1), N1(form.N1),
          Help1(form.Help1), New1(form.New1), N4(form.N4), N5(form.N5), Exit1(form.Exit1), Addvertex1(form.Addvertex1),
          Addedge1(form.Addedge1), Deletevertex1(form.Deletevertex1), Deleteedge1(form.Deleteedge1),
          Cancelediting1(form.Cancelediting1), Usingguide1(form.Usingguide1), About1(form.About1),
          OpenDialog1(form.OpenDialog1), SaveDialog1(form.SaveDialog1), SavePictureDialog1(form.SavePictureDialog1) {}

    Tgraph& LiveGraph;
    const TUndoHistory& History;
    bool& appClosing;
    decltype(TForm1::ExecuteFileDialog)& ExecuteFileDialog;
    decltype(TForm1::AskUnsaved)& AskUnsaved;
    decltype(TForm1::AskRecover)& AskRecover;
    decltype(TForm1::AskReplace)& AskReplace;
    const std::string& RecoveryPath;
    QTimer* const RecoveryTimer;
    const std::function<void()> KeepRecovery; // what the recovery timer runs, at once

    TToolBar* const ToolBar1;
    QToolButton *const ToolButton1, *const ToolButton4, *const ToolButton6, *const ToolButton8;
    QToolButton *const ToolButton10, *const ToolButton12, *const ToolButton14, *const ToolButton16, *const ToolButton18;
    QLabel* const Label1;
    TColorBox* const ColorBox1;
    TImage* const Image1;
    TStatusBar* const StatusBar1;
    QMenu *const File1, *const N1, *const Help1;
    QAction *const New1, *const N4, *const N5, *const Exit1;
    QAction *const Addvertex1, *const Addedge1, *const Deletevertex1, *const Deleteedge1, *const Cancelediting1;
    QAction *const Usingguide1, *const About1;
    QFileDialog *const OpenDialog1, *const SaveDialog1, *const SavePictureDialog1;
};
