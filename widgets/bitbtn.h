#pragma once

#include <QPixmap>
#include <QPushButton>

// A push button with a glyph and a kind. The standard kinds bring their own glyph. ModalResult
// is the result the window it stands in ends with once the button's own action is done; the
// window applies it.
class TBitBtn : public QPushButton
{
    Q_OBJECT
public:
    enum TBitBtnKind { bkCustom, bkOK, bkNo };
    enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

    explicit TBitBtn(QWidget* parent = nullptr);
    TBitBtn(const QString& caption, TBitBtnKind kind, QWidget* parent);

    TBitBtnKind Kind() const { return m_kind; }
    void setKind(TBitBtnKind kind);
    // The picture: NumGlyphs images side by side (the second one is shown while disabled).
    const QPixmap& Glyph() const { return m_glyph; }
    void setGlyph(const QPixmap& glyph, int numGlyphs = 1);
    int NumGlyphs() const { return m_numGlyphs; }
    int ModalResult() const { return m_modalResult; }
    void setModalResult(int result) { m_modalResult = result; }
    TButtonLayout Layout() const { return m_layout; }
    int Margin() const { return m_margin; }
    int Spacing() const { return m_spacing; }

private:
    void showGlyph();

    TBitBtnKind m_kind = bkCustom;
    QPixmap m_glyph;
    int m_numGlyphs = 1;
    int m_modalResult = 0;
    TButtonLayout m_layout = blGlyphLeft;
    int m_margin = -1;
    int m_spacing = 4;
};
