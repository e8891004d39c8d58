#pragma once
// Texts are held as 8-bit strings. What the user types is stored as UTF-8; older files may carry
// Windows-1252 text, which is shown as such when the bytes are not valid UTF-8.

#include <QString>

#include <string>

// The bytes as UTF-8 when they are valid UTF-8, else as Windows-1252. Never fails.
QString DecodeText(const std::string& bytes);

// The text as UTF-8 bytes.
std::string EncodeText(const QString& text);
