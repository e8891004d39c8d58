#pragma once
// Picture files of the drawing surface: the BMP encoding and writing encoded bytes to a path.

#include <string>

class QImage;

// The bytes of a standard Windows bitmap file of the picture (24 bits a pixel for an RGB32
// picture). Throws std::runtime_error when the picture cannot be encoded (an empty picture).
std::string EncodeBmp(const QImage& picture);

// Creates (or truncates) the file at path and writes the bytes. A file that cannot be created
// raises std::runtime_error with the text: Cannot create file "<path>". <the system's reason>
// A failed write raises: Cannot write file "<path>". <the system's reason>; what was written
// stays on disk.
void WritePictureFile(const std::string& path, const std::string& bytes);
