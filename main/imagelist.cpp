#include "imagelist.h"

ImageList::ImageList()
{
    m_glyphs[0] = QPixmap(QStringLiteral(":/main/images/glyph-plus.png"));
    m_glyphs[1] = QPixmap(QStringLiteral(":/main/images/glyph-minus.png"));
    m_glyphs[5] = QPixmap(QStringLiteral(":/main/images/glyph-html.png"));
    m_glyphs[6] = QPixmap(QStringLiteral(":/main/images/glyph-eye.png"));
}

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
