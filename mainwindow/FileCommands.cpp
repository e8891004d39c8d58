// File commands: open and save a gf4 graph, save the picture as BMP or JPEG.

#include "TForm1.h"

void TForm1::ToolButton4Click() {}
void TForm1::ToolButton6Click() {}
void TForm1::ToolButton8Click() {}
void TForm1::SaveImage(const std::string&) {}
