#include "textboxsearch.h"

#include "textboxtarget.h"
#include "widgets/messageboxes.h"

namespace TextBoxSearch {

namespace {
void reportNotFound(const QString& what)
{
    MessageBoxes::information(QStringLiteral("Text not found: \"") + what + QLatin1Char('"'));
}
} // namespace

bool findNext(TextBoxTarget& box, const Request& request)
{
    const qsizetype found = TextSearch::find(
        box.text(), box.selectionStart(), box.selectionLength(), request.what, request.options);
    if (found < 0) {
        reportNotFound(request.what);
        return false;
    }
    box.select(int(found), int(request.what.size()));
    return true;
}

void replace(TextBoxTarget& box, const Request& request)
{
    const int start = box.selectionStart();
    const int end = start + box.selectionLength();
    if (TextSearch::selectionMatches(
            QStringView(box.text()).sliced(start, end - start), request.what, request.options.matchCase)
        && !box.replaceRange(start, end, request.with)) {
        return;
    }
    TextSearch::Options down = request.options;
    down.down = true;
    findNext(box, {request.what, request.with, down});
}

void replaceAll(TextBoxTarget& box, const Request& request)
{
    const auto change = TextSearch::replaceAll(
        box.text(), box.selectionStart(), box.selectionLength(), request.what, request.with, request.options);
    if (change.count > 0)
        box.replaceRange(int(change.start), int(change.end), change.replacement);
}

} // namespace TextBoxSearch
