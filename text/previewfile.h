#pragma once

#include <QByteArray>
#include <QString>

// The bytes of the preview file for a snippet. A browser decodes a page by the charset the page
// declares, so the file is written in that charset: the GB family (gb2312, gbk, gb18030, ...) as
// GB18030, which covers them all; another declared charset when it can hold every character of
// the text; anything else, and a page that declares nothing, as UTF-8. UTF-8 written for a page
// that declares a charset of another family starts with a byte-order mark, which a browser
// believes before the declaration. Every line ends in CR LF.
namespace PreviewFile {
// The charset named by the first <meta> element that declares one (<meta charset=...> or a
// content type with "charset="), lower-cased; empty when no element declares one.
QString declaredCharset(const QString& page);
// The name of the encoding the file is written in: "GB18030", "UTF-8" or the declared name.
QByteArray encodingFor(const QString& page);
QByteArray encode(const QString& page);
} // namespace PreviewFile
