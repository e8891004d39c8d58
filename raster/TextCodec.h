#pragma once
// Texts are held as 8-bit strings. What the user types is stored as UTF-8; older files may carry
// Windows-1252 text, which is shown as such when the bytes are not valid UTF-8.

#include <QByteArray>
#include <QString>

#include <string>

// The bytes as UTF-8 when they are valid UTF-8, else as Windows-1252. Never fails.
QString DecodeText(const std::string& bytes);

// The text as UTF-8 bytes.
std::string EncodeText(const QString& text);

// File names are bytes. DecodeFileName makes a text of them that EncodeFileName turns back into
// the same bytes, whatever they are: valid UTF-8 is read as such, and every other byte is kept
// as the code unit U+DC00 + byte (0xDC80..0xDCFF, which valid UTF-8 never yields alone). Such a
// name shows those bytes as replacement characters; it opens the same file.
QString DecodeFileName(const QByteArray& bytes);
QByteArray EncodeFileName(const QString& name);
