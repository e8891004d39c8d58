// Editing tools and mouse interaction on the drawing surface.

#include "TForm1.h"

void TForm1::ToolButton10Click() {}
void TForm1::ToolButton12Click() {}
void TForm1::ToolButton14Click() {}
void TForm1::ToolButton16Click() {}
void TForm1::ToolButton18Click() {}
void TForm1::Addvertex1Click() {}
void TForm1::Addedge1Click() {}
void TForm1::Deletevertex1Click() {}
void TForm1::Deleteedge1Click() {}
void TForm1::Image1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void TForm1::Image1MouseMove(Qt::KeyboardModifiers, int, int) {}
void TForm1::Image1Click() {}
void TForm1::Image1DblClick() {}
void TForm1::Image1MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void TForm1::FormKeyPress(char) {}
void TForm1::ColorBox1Change() {}
