// Push, bit and speed buttons painted by the XP look, pixel by pixel on images.

#include "support/lookfixture.h"
#include "xplook/buttonpainter.h"
#include "xplook/xplook.h"

#include <QFontMetrics>
#include <QtTest>

using namespace XP;

Q_DECLARE_METATYPE(XP::XPGlyphLayout)

namespace {
constexpr TColor kParent = RGB(212, 208, 200);

XPButtonInfo aboutBoxButton(const QString& caption)
{
    XPButtonInfo button;
    button.client = {0, 0, 75, 25};
    button.parentColor = kParent;
    button.caption = caption;
    button.font = QApplication::font();
    button.fontColor = RGB(0, 0, 0);
    return button;
}

// Frames of one solid colour each; every frame's bottom-left pixel, the transparent key, is white.
QImage glyphStrip(const QList<QColor>& frames, int size)
{
    QImage strip(size * frames.size(), size, QImage::Format_RGB32);
    for (int i = 0; i < frames.size(); ++i)
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                strip.setPixelColor(i * size + x, y, x == 0 && y == size - 1 ? QColor(Qt::white) : frames[i]);
    return strip;
}

} // namespace

class TestButtonPainter : public QObject
{
    Q_OBJECT

private slots:
    void layoutCentresGlyphAndCaption_data();
    void layoutCentresGlyphAndCaption();
    void glyphPlacedLiftedAndShadowed_data();
    void glyphPlacedLiftedAndShadowed();
    void trueXPSurfaceAndRings_data();
    void trueXPSurfaceAndRings();
    void roundedCornersAreEqual_data();
    void roundedCornersAreEqual();
    void classicEdges_data();
    void classicEdges();
    void defaultCaptionEmbossedOnlyWhenEnabled_data();
    void defaultCaptionEmbossedOnlyWhenEnabled();
    void speedButtonFrameFollowsState_data();
    void speedButtonFrameFollowsState();

private:
    LookFixture fixture;
};

void TestButtonPainter::layoutCentresGlyphAndCaption_data()
{
    // The about box's default button: 75 x 25, an 18 x 18 glyph, spacing 4, a caption 24 wide
    // and 13 high.
    QTest::addColumn<XPGlyphLayout>("layout");
    QTest::addColumn<QRect>("glyph"); // left, top, right, bottom as x, y, width, height fields
    QTest::addColumn<QRect>("text");
    QTest::newRow("glyph left") << XPGlyphLayout::GlyphLeft << QRect(14, 3, 32, 21) << QRect(36, 0, 60, 25);
    QTest::newRow("glyph right") << XPGlyphLayout::GlyphRight << QRect(42, 3, 60, 21) << QRect(14, 0, 38, 25);
    QTest::newRow("glyph top") << XPGlyphLayout::GlyphTop << QRect(28, -5, 46, 13) << QRect(25, 17, 49, 30);
    QTest::newRow("glyph bottom") << XPGlyphLayout::GlyphBottom << QRect(28, 12, 46, 30)
                                  << QRect(25, -5, 49, 8);
}

void TestButtonPainter::layoutCentresGlyphAndCaption()
{
    QFETCH(XPGlyphLayout, layout);
    QFETCH(QRect, glyph);
    QFETCH(QRect, text);
    const XPButtonLayout place = ButtonLayout(layout, 75, 25, 18, 18, 24, 13, 4);
    const auto edges = [](const XPRect& r) { return QRect(r.left, r.top, r.right, r.bottom); };
    QCOMPARE(edges(place.glyph), QRect(glyph.x(), glyph.y(), glyph.width(), glyph.height()));
    QCOMPARE(edges(place.text), QRect(text.x(), text.y(), text.width(), text.height()));
}

void TestButtonPainter::glyphPlacedLiftedAndShadowed_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<int>("dx"); // where the glyph's top-left lands, from (gl, gt + 1)
    QTest::addColumn<int>("dy");
    QTest::addColumn<bool>("shadow");
    QTest::newRow("at rest") << "主页"
                             << "" << 0 << 0 << false;
    QTest::newRow("pointer over it: lifted") << "主页"
                                             << "hot" << -1 << -1 << true;
    QTest::newRow("focused and hot: shadow, not lifted") << "主页"
                                                         << "focused hot" << 0 << 0 << true;
    QTest::newRow("caption of spaces: no spacing") << "  "
                                                   << "" << 0 << 0 << false;
}

void TestButtonPainter::glyphPlacedLiftedAndShadowed()
{
    QFETCH(QString, caption);
    QFETCH(QString, flags);
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(bool, shadow);
    TXPLook& look = fixture.look();
    XPButtonInfo button = aboutBoxButton(caption);
    button.glyph = glyphStrip({QColor(255, 0, 0), QColor(0, 0, 255)}, 18);
    button.numGlyphs = 2;
    QImage image = blankImage(75, 25);
    XPCanvas canvas(image);
    DrawBitButton(look, canvas, button, stateFromWords<XPButtonState>(flags));

    const int tw = QFontMetrics(button.font).horizontalAdvance(caption);
    const int spacing = caption.trimmed().isEmpty() ? 0 : 4;
    const int gl = (75 - (spacing + 18 + tw)) / 2;
    const int x = gl + dx;
    const int y = 3 + 1 + dy;
    // The first frame is shown, washed by 30 % at rest and whole under the pointer.
    const TColor glyph = flags.contains("hot") ? RGB(255, 0, 0) : RGB(255, 76, 76);
    QCOMPARE(colorName(at(image, x, y)), colorName(glyph));
    QCOMPARE(colorName(at(image, x + 17, y + 16)), colorName(glyph));
    QVERIFY(at(image, x - 1, y + 5) != glyph);
    QVERIFY(at(image, x + 5, y - 1) != glyph);
    const TColor shade = look.Darken(&image, look.Palette.SelectFace, 50);
    QCOMPARE(at(image, x + 19, y + 19) == rgb(shade), shadow);
}

void TestButtonPainter::trueXPSurfaceAndRings_data()
{
    QTest::addColumn<QString>("flags");
    QTest::addColumn<TColor>("edge"); // (0, 12)
    QTest::addColumn<TColor>("inside"); // (1, 12)
    QTest::addColumn<TColor>("bottom"); // (37, 23)
    const TColor outline = RGB(0, 60, 115);
    const TColor surface = RGB(255, 251, 247);
    const TColor bottomLine = RGB(231, 231, 222);
    QTest::newRow("at rest") << "" << outline << surface << bottomLine;
    QTest::newRow("focused: focus ring pair")
        << "focused" << outline << RGB(142, 176, 233) << RGB(140, 174, 231);
    QTest::newRow("pointer over it: pointer ring pair")
        << "hot" << outline << RGB(255, 180, 51) << RGB(255, 178, 49);
    QTest::newRow("focused under the pointer: pointer ring only")
        << "focused hot" << outline << RGB(255, 180, 51) << RGB(255, 178, 49);
    QTest::newRow("left button held: pressed surface")
        << "hot mouse" << outline << RGB(231, 231, 222) << RGB(239, 235, 231);
    QTest::newRow("space held: pressed surface")
        << "focused space" << outline << RGB(231, 231, 222) << RGB(239, 235, 231);
    QTest::newRow("disabled: shadow outline, no ring")
        << "disabled" << RGB(166, 166, 166) << surface << bottomLine;
}

void TestButtonPainter::trueXPSurfaceAndRings()
{
    QFETCH(QString, flags);
    QFETCH(TColor, edge);
    QFETCH(TColor, inside);
    QFETCH(TColor, bottom);
    TXPLook& look = fixture.look();
    QImage image = blankImage(75, 25);
    XPCanvas canvas(image);
    DrawBitButton(look, canvas, aboutBoxButton(QString()), stateFromWords<XPButtonState>(flags));
    QCOMPARE(colorName(at(image, 0, 12)), colorName(edge));
    QCOMPARE(colorName(at(image, 1, 12)), colorName(inside));
    QCOMPARE(colorName(at(image, 37, 23)), colorName(bottom));
    QCOMPARE(colorName(at(image, 0, 0)), colorName(kParent)); // outside the rounded corner
}

void TestButtonPainter::roundedCornersAreEqual_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("flags");
    QTest::newRow("search button") << QSize(75, 22) << "";
    QTest::newRow("about box button, focused") << QSize(75, 25) << "focused";
    QTest::newRow("about box button, pressed") << QSize(75, 25) << "hot mouse";
}

void TestButtonPainter::roundedCornersAreEqual()
{
    QFETCH(QSize, size);
    QFETCH(QString, flags);
    TXPLook& look = fixture.look();
    XPButtonInfo button = aboutBoxButton(QString());
    button.client = {0, 0, size.width(), size.height()};
    QImage image = blankImage(size.width(), size.height());
    XPCanvas canvas(image);
    DrawBitButton(look, canvas, button, stateFromWords<XPButtonState>(flags));
    // Diameter 5 takes the corner pixel off each corner, and only that one.
    const TColor outline = RGB(0, 60, 115);
    const int r = size.width() - 1;
    const int b = size.height() - 1;
    for (const QPoint& corner : {QPoint(0, 0), QPoint(r, 0), QPoint(0, b), QPoint(r, b)}) {
        const int x = corner.x();
        const int y = corner.y();
        const int in = x == 0 ? 1 : -1;
        const int down = y == 0 ? 1 : -1;
        const QByteArray where = QStringLiteral("corner %1,%2").arg(x).arg(y).toLatin1();
        QVERIFY2(at(image, x, y) == kParent, where);
        QVERIFY2(at(image, x + in, y) == outline, where);
        QVERIFY2(at(image, x, y + down) == outline, where);
        QVERIFY2(at(image, x + in, y + down) != kParent, where);
    }
}

void TestButtonPainter::classicEdges_data()
{
    QTest::addColumn<QString>("flags");
    QTest::addColumn<bool>("sunken");
    QTest::newRow("at rest: raised") << "" << false;
    QTest::newRow("held under the pointer: sunken") << "hot mouse" << true;
    QTest::newRow("held, pointer moved off: raised") << "mouse" << false;
    QTest::newRow("space held: sunken") << "space" << true;
}

void TestButtonPainter::classicEdges()
{
    QFETCH(QString, flags);
    QFETCH(bool, sunken);
    TXPLook& look = fixture.look();
    XPButtonInfo button = aboutBoxButton(QString());
    button.trueXP = false;
    const XPButtonState state = stateFromWords<XPButtonState>(flags);
    QImage image = blankImage(75, 25);
    XPCanvas canvas(image);
    DrawBitButton(look, canvas, button, state);
    const TColor edgeBase = state.hot || state.spaceDown ? look.Lighten(&image, look.Palette.SelectBorder, 60)
                                                         : rgb(clBtnShadow);
    const TColor edge = look.Darken(&image, edgeBase, 50);
    QCOMPARE(at(image, 0, 12) == edge, sunken);
    QCOMPARE(at(image, 37, 0) == edge, sunken);
    QCOMPARE(at(image, 74, 12) == edge, !sunken);
    QCOMPARE(at(image, 37, 24) == edge, !sunken);
}

void TestButtonPainter::defaultCaptionEmbossedOnlyWhenEnabled_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::newRow("enabled") << true;
    QTest::newRow("disabled") << false;
}

void TestButtonPainter::defaultCaptionEmbossedOnlyWhenEnabled()
{
    QFETCH(bool, enabled);
    TXPLook& look = fixture.look();
    XPButtonState state;
    state.enabled = enabled;
    auto render = [&](bool isDefault) {
        XPButtonInfo button = aboutBoxButton(QStringLiteral("HOME"));
        button.isDefault = isDefault;
        QImage image = blankImage(75, 25);
        XPCanvas canvas(image);
        DrawBitButton(look, canvas, button, state);
        return image;
    };
    QCOMPARE(render(true) != render(false), enabled);
}

void TestButtonPainter::speedButtonFrameFollowsState_data()
{
    QTest::addColumn<QString>("flags");
    QTest::addColumn<bool>("down");
    QTest::addColumn<TColor>("shown");
    QTest::newRow("left button held: frame 3") << "mouse" << false << RGB(0, 0, 255);
    QTest::newRow("latched down: frame 4") << "" << true << RGB(255, 255, 0);
    QTest::newRow("at rest: frame 1, washed") << "" << false << RGB(255, 76, 76);
}

void TestButtonPainter::speedButtonFrameFollowsState()
{
    QFETCH(QString, flags);
    QFETCH(bool, down);
    QFETCH(TColor, shown);
    TXPLook& look = fixture.look();
    XPButtonInfo button;
    button.client = {0, 0, 23, 22};
    button.parentColor = kParent;
    button.font = QApplication::font();
    button.glyph
        = glyphStrip({QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255), QColor(255, 255, 0)}, 16);
    button.numGlyphs = 4;
    button.down = down;
    QImage image = blankImage(23, 22);
    XPCanvas canvas(image);
    DrawSpeedButton(look, canvas, button, stateFromWords<XPButtonState>(flags));
    // Glyph left of an empty caption: (23 - 16) div 2 = 3 across, and one pixel higher than a
    // bit button's: (22 - 16) div 2 - 1 + 1 = 3 down.
    QCOMPARE(colorName(at(image, 3, 3)), colorName(shown));
    QCOMPARE(colorName(at(image, 18, 17)), colorName(shown));
    QVERIFY(at(image, 3, 2) != shown);
    QVERIFY(at(image, 3, 19) != shown);
}

QTEST_MAIN(TestButtonPainter)
#include "test_buttonpainter.moc"
