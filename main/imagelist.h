#pragma once

#include <QIcon>
#include <QPixmap>

#include <map>

// The window's 16 × 16 glyphs by their index: 0 plus (categories, and every selected node),
// 1 minus (scripts), 5 page of HTML (tab "代码"), 6 eye (tab "预览").
class ImageList
{
public:
    ImageList();

    QPixmap glyph(int index) const;
    // A node's icon: its own glyph, drawn with glyph 0 while the node is selected.
    QIcon nodeIcon(int index) const;
    QIcon icon(int index) const { return QIcon(glyph(index)); }

private:
    std::map<int, QPixmap> m_glyphs;
};
