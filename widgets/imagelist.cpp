#include "imagelist.h"

QPixmap ImageList::glyph(int index) const
{
    const auto found = m_glyphs.find(index);
    return found == m_glyphs.end() ? QPixmap() : found->second;
}

QIcon ImageList::nodeIcon(int index) const
{
    QIcon icon(glyph(index));
    icon.addPixmap(glyph(0), QIcon::Selected);
    return icon;
}
