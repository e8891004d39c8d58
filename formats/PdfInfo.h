#pragma once
// Entries added to a finished PDF file's document information.

#include <string>

// The PDF with a Subject entry (UTF-8 text) beside its Title, the table of object offsets moved
// on by the bytes added. A file without a Title or an offset table is returned as it is.
std::string WithPdfSubject(std::string pdf, const std::string& subject);
