#pragma once

#include "text/textsearch.h"

#include <QString>

class TextBoxTarget;

// The find and replace dialogs' presses, carried out on a text box: the rules of TextSearch on
// the box's text and selection, and the message when nothing is found.
namespace TextBoxSearch {

struct Request
{
    QString what;
    QString with;
    TextSearch::Options options;
};

// Selects the next match from the box's selection on; shows "Text not found" when there is none.
bool findNext(TextBoxTarget& box, const Request& request);
// Replaces the selection when it is the find text, then selects the next match.
void replace(TextBoxTarget& box, const Request& request);
// Replaces the selection when it is the find text and every match after it, as one change.
void replaceAll(TextBoxTarget& box, const Request& request);

} // namespace TextBoxSearch
