#pragma once

#include <QString>

class QWidget;

// The text box the editing commands act on: the single- or multi-line editor that has the
// keyboard focus. The line editors inside drop-down lists and item views (an in-place label
// edit) do not count; with one of those, or anything else, focused there is no target.
class TextBoxTarget
{
public:
    static TextBoxTarget focused();

    bool exists() const { return m_box != nullptr; }
    QWidget* widget() const { return m_box; }
    QString text() const;
    bool hasSelection() const;
    bool canUndo() const;

private:
    QWidget* m_box = nullptr;
};
