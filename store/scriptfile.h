#pragma once

#include <QByteArray>
#include <QString>

// Script files as the code editor reads and writes them. The editor's text ends its lines with
// CR LF. Files are read as UTF-8 (with or without a byte-order mark) or, when the bytes are not
// valid UTF-8, as GB18030, the code page of the libraries and files this program grew up with.
// Files are written as UTF-8 without a byte-order mark. Failures throw FeylumeError.
namespace ScriptFile {
// The most characters (UTF-16 code units) the code editor takes from one file. Effect scripts
// are a few kilobytes; this leaves room for large pages while keeping the editor responsive.
inline constexpr qsizetype kMemoCapacity = 4 * 1024 * 1024;

QString decode(const QByteArray& bytes);

// The file's text as the editor shows it. Throws "Cannot open file <path>" when it cannot be
// read and "Text exceeds memo capacity" when it is larger than kMemoCapacity.
QString read(const QString& path);
// Replaces the file with the text, or leaves it as it was: the bytes go to a temporary file
// beside it, which takes the file's place only once every byte is written. Throws
// "Cannot create file <path>" on any failure.
void write(const QString& path, const QString& text);
} // namespace ScriptFile
