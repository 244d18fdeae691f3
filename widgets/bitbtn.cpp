#include "bitbtn.h"

#include <QApplication>
#include <QStyle>

TBitBtn::TBitBtn(QWidget* parent)
    : QPushButton(parent)
{ }

TBitBtn::TBitBtn(const QString& caption, TBitBtnKind kind, QWidget* parent)
    : TBitBtn(parent)
{
    setText(caption);
    setKind(kind);
}

void TBitBtn::setKind(TBitBtnKind kind)
{
    m_kind = kind;
    const auto standard = [this](QStyle::StandardPixmap which) {
        return style()->standardIcon(which, nullptr, this).pixmap(18, 18);
    };
    switch (kind) {
    case bkOK:
        setGlyph(standard(QStyle::SP_DialogOkButton));
        break;
    case bkNo:
        setGlyph(standard(QStyle::SP_DialogNoButton));
        break;
    case bkCustom:
        break;
    }
}

void TBitBtn::setGlyph(const QPixmap& glyph, int numGlyphs)
{
    m_glyph = glyph;
    m_numGlyphs = std::max(1, numGlyphs);
    showGlyph();
}

void TBitBtn::showGlyph()
{
    if (m_glyph.isNull()) {
        setIcon(QIcon());
        return;
    }
    // The first image is the normal one; a second one, when there is one, shows while disabled.
    const int width = m_glyph.width() / m_numGlyphs;
    QIcon icon(m_glyph.copy(0, 0, width, m_glyph.height()));
    if (m_numGlyphs > 1)
        icon.addPixmap(m_glyph.copy(width, 0, width, m_glyph.height()), QIcon::Disabled);
    setIcon(icon);
    setIconSize(QSize(width, m_glyph.height()));
}
