#pragma once

#include <QString>

class QWidget;

// The text box the editing commands act on: the single- or multi-line editor the commands serve
// (CommandFocus). The line editors inside drop-down lists and item views (an in-place label edit)
// do not count; with one of those, or anything else, focused there is no target.
// Positions are in characters, a line break counting as one; a multi-line box's text holds its
// line breaks as paragraph separators.
class TextBoxTarget
{
public:
    // The given box, when it is a text box in the above sense.
    static TextBoxTarget of(QWidget* box);

    bool exists() const { return m_box != nullptr; }
    QWidget* widget() const { return m_box; }
    QString text() const;
    bool isEmpty() const;
    bool hasSelection() const;
    bool canUndo() const;
    int selectionStart() const;
    int selectionLength() const;
    // Selects and scrolls the selection into view.
    void select(int start, int length);

    void copy();
    void selectAll();
    // The operations that change the text first put a data-bound box's record into edit mode,
    // as typing does, and change nothing when that is refused or the box is read-only.
    void undo();
    void cut();
    void paste();
    // Removes the selection; without one nothing, not even the character after the caret.
    void deleteSelection();
    // Replaces the text from start to end as one undoable change; the caret then stands after
    // the inserted text.
    bool replaceRange(int start, int end, const QString& with);

private:
    bool isReadOnly() const;
    bool beginChange() const;

    QWidget* m_box = nullptr;
};
