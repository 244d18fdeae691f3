#pragma once

#include <QIcon>
#include <QPixmap>

#include <map>

// A window's glyphs by their index, as its tree, tabs and buttons take them. Glyph 0 is the one
// a selected node shows.
class ImageList
{
public:
    void setGlyph(int index, const QPixmap& glyph) { m_glyphs[index] = glyph; }
    // An empty picture for an index without a glyph.
    QPixmap glyph(int index) const;
    // A node's icon: its own glyph, drawn with glyph 0 while the node is selected.
    QIcon nodeIcon(int index) const;
    QIcon icon(int index) const { return QIcon(glyph(index)); }

private:
    std::map<int, QPixmap> m_glyphs;
};
