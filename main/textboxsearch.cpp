#include "textboxsearch.h"

#include "messageboxes.h"
#include "textboxtarget.h"

namespace TextBoxSearch {

namespace {
void reportNotFound(const QString& what)
{
    MessageBoxes::information(QStringLiteral("Text not found: \"") + what + QLatin1Char('"'));
}
} // namespace

bool findNext(TextBoxTarget& box, const Request& request)
{
    const QString text = box.text();
    const TextSearch::SearchText search(text);
    const qsizetype start = search.byteOffset(box.selectionStart());
    const qsizetype end = search.byteOffset(box.selectionStart() + box.selectionLength());
    const QByteArray what = TextSearch::toBytes(request.what);
    const qsizetype found = TextSearch::find(search.bytes(), start, end - start, what, request.options);
    if (found < 0) {
        reportNotFound(request.what);
        return false;
    }
    // A match has the find text's bytes, up to the case of ASCII letters, and so its length.
    box.select(int(search.charOffset(found)), int(request.what.size()));
    return true;
}

void replace(TextBoxTarget& box, const Request& request)
{
    const int start = box.selectionStart();
    const int end = start + box.selectionLength();
    const QString selected = box.text().mid(start, end - start);
    if (TextSearch::selectionMatches(
            TextSearch::toBytes(selected), TextSearch::toBytes(request.what), request.options.matchCase)
        && !box.replaceRange(start, end, request.with)) {
        return;
    }
    TextSearch::Options down = request.options;
    down.down = true;
    findNext(box, {request.what, request.with, down});
}

void replaceAll(TextBoxTarget& box, const Request& request)
{
    const QString text = box.text();
    const TextSearch::SearchText search(text);
    const qsizetype start = search.byteOffset(box.selectionStart());
    const qsizetype end = search.byteOffset(box.selectionStart() + box.selectionLength());
    const TextSearch::ReplaceAll change = TextSearch::replaceAll(search.bytes(), start, end - start,
        TextSearch::toBytes(request.what), TextSearch::toBytes(request.with), request.options);
    if (change.count == 0)
        return;
    box.replaceRange(int(search.charOffset(change.start)), int(search.charOffset(change.end)),
        QString::fromUtf8(change.replacement));
}

} // namespace TextBoxSearch
