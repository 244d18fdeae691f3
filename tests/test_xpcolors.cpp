// The look's colour arithmetic and palette, on a pinned set of system colours so that every
// figure is exact. No widget involved.

#include "xplook/xpcolors.h"
#include "xplook/xppalette.h"

#include <QtTest>

using namespace XP;

namespace {
constexpr TColor kBtnFace = RGB(212, 208, 200);
constexpr TColor kHighlight = RGB(10, 36, 106);
constexpr TColor kBtnShadow = RGB(128, 128, 128);

const SystemColorTable& pinnedSystemColors()
{
    static const SystemColorTable table = [] {
        SystemColorTable t;
        t.set(3, RGB(128, 128, 128));
        t.set(5, RGB(255, 255, 255));
        t.set(7, RGB(0, 0, 0));
        t.set(13, kHighlight);
        t.set(15, kBtnFace);
        t.set(16, kBtnShadow);
        return t;
    }();
    return table;
}

ColorDevice device(int bitsPerPixel)
{
    return ColorDevice {bitsPerPixel, &pinnedSystemColors()};
}

QString text(TColor c)
{
    if (isSystemColor(c))
        return QStringLiteral("system %1").arg(c & 0xFF);
    return QStringLiteral("RGB(%1,%2,%3)").arg(red(c)).arg(green(c)).arg(blue(c));
}
} // namespace

namespace QTest {
template<> char* toString(const TColor& c)
{
    return qstrdup(text(c).toUtf8().constData());
}
} // namespace QTest

class TestXPColors : public QObject
{
    Q_OBJECT

private slots:
    void darken_data();
    void darken();
    void lighten_data();
    void lighten();
    void grayTone_data();
    void grayTone();
    void contrastText_data();
    void contrastText();
    void systemColorResolution_data();
    void systemColorResolution();
    void palette_data();
    void palette();
};

void TestXPColors::darken_data()
{
    QTest::addColumn<uint>("color");
    QTest::addColumn<int>("amount");
    QTest::addColumn<uint>("expected");
    QTest::newRow("button face less 60") << uint(RGB(212, 208, 200)) << 60 << uint(RGB(152, 150, 140));
    QTest::newRow("black by nothing keeps the green bonus") << uint(RGB(0, 0, 0)) << 0 << uint(RGB(0, 2, 0));
    QTest::newRow("negative amount brightens, clamped")
        << uint(RGB(220, 220, 220)) << -40 << uint(RGB(255, 255, 255));
    QTest::newRow("clamped at zero") << uint(RGB(10, 10, 10)) << 20 << uint(RGB(0, 0, 0));
    QTest::newRow("system colour resolved first") << uint(clBtnFace) << 90 << uint(RGB(122, 120, 110));
}

void TestXPColors::darken()
{
    QFETCH(uint, color);
    QFETCH(int, amount);
    QFETCH(uint, expected);
    // Never matched to the device: a palette device gets the plain value too.
    QCOMPARE(Darken(device(32), color, amount), TColor(expected));
    QCOMPARE(Darken(device(8), color, amount), TColor(expected));
}

void TestXPColors::lighten_data()
{
    QTest::addColumn<uint>("color");
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("bitsPerPixel");
    QTest::addColumn<uint>("expected");
    QTest::newRow("127.5 goes to the even 128") << uint(RGB(0, 0, 0)) << 50 << 32 << uint(RGB(128, 128, 128));
    QTest::newRow("126.5 goes to the even 126") << uint(RGB(2, 2, 2)) << 50 << 32 << uint(RGB(128, 128, 128));
    QTest::newRow("5 * 0.3 is just under a half")
        << uint(RGB(250, 250, 250)) << 30 << 32 << uint(RGB(251, 251, 251));
    QTest::newRow("above 100 acts as 100") << uint(RGB(0, 0, 0)) << 150 << 32 << uint(RGB(255, 255, 255));
    QTest::newRow("no lower bound: negative darkens")
        << uint(RGB(100, 100, 100)) << -20 << 32 << uint(RGB(69, 69, 69));
    QTest::newRow("far below zero stays black") << uint(RGB(10, 10, 10)) << -200 << 32 << uint(RGB(0, 0, 0));
    QTest::newRow("each channel on its own") << uint(clHighlight) << 50 << 32 << uint(RGB(132, 146, 180));
    QTest::newRow("palette device: nearest fixed colour")
        << uint(RGB(0, 0, 0)) << 30 << 8 << uint(RGB(128, 128, 128));
    QTest::newRow("16 bits: the value itself") << uint(RGB(0, 0, 0)) << 30 << 16 << uint(RGB(76, 76, 76));
}

void TestXPColors::lighten()
{
    QFETCH(uint, color);
    QFETCH(int, percent);
    QFETCH(int, bitsPerPixel);
    QFETCH(uint, expected);
    QCOMPARE(Lighten(device(bitsPerPixel), color, percent), TColor(expected));
}

void TestXPColors::grayTone_data()
{
    QTest::addColumn<uint>("color");
    QTest::addColumn<int>("level");
    QTest::addColumn<uint>("expected");
    QTest::newRow("white capped at 240") << uint(RGB(255, 255, 255)) << 10 << uint(RGB(240, 240, 240));
    QTest::newRow("black plus level") << uint(RGB(0, 0, 0)) << 10 << uint(RGB(10, 10, 10));
    QTest::newRow("mean rounds down") << uint(RGB(10, 20, 31)) << 0 << uint(RGB(20, 20, 20));
    QTest::newRow("system colour") << uint(clBtnFace) << 10 << uint(RGB(216, 216, 216));
}

void TestXPColors::grayTone()
{
    QFETCH(uint, color);
    QFETCH(int, level);
    QFETCH(uint, expected);
    QCOMPARE(GrayTone(device(32), color, level), TColor(expected));
}

void TestXPColors::contrastText_data()
{
    QTest::addColumn<uint>("background");
    QTest::addColumn<uint>("expected");
    const TColor font = RGB(1, 2, 3);
    QTest::newRow("red and blue light") << uint(RGB(200, 0, 200)) << uint(font);
    QTest::newRow("green light") << uint(RGB(0, 210, 0)) << uint(font);
    QTest::newRow("dark grey: lightened by 90") << uint(RGB(100, 100, 100)) << uint(RGB(240, 240, 240));
    QTest::newRow("just over the red-blue bound") << uint(RGB(151, 0, 151)) << uint(font);
    QTest::newRow("on both bounds: lightened") << uint(RGB(150, 200, 150)) << uint(RGB(245, 250, 245));
}

void TestXPColors::contrastText()
{
    QFETCH(uint, background);
    QFETCH(uint, expected);
    QCOMPARE(ContrastText(device(32), background, RGB(1, 2, 3)), TColor(expected));
}

void TestXPColors::systemColorResolution_data()
{
    QTest::addColumn<uint>("color");
    QTest::addColumn<uint>("expected");
    QTest::newRow("button face") << uint(clBtnFace) << uint(kBtnFace);
    QTest::newRow("plain value stays") << uint(RGB(1, 2, 3)) << uint(RGB(1, 2, 3));
    QTest::newRow("number without a colour: black") << uint(kSystemColorFlag + 200) << uint(clBlack);
}

void TestXPColors::systemColorResolution()
{
    QFETCH(uint, color);
    QFETCH(uint, expected);
    QCOMPARE(pinnedSystemColors().resolve(color), TColor(expected));
}

namespace {
using Member = TColor TXPPalette::*;
const std::pair<const char*, Member> kPaletteColours[] = {
    {"MenuFace", &TXPPalette::MenuFace},
    {"IconFace", &TXPPalette::IconFace},
    {"SelectFace", &TXPPalette::SelectFace},
    {"SelectBorder", &TXPPalette::SelectBorder},
    {"SelectFont", &TXPPalette::SelectFont},
    {"CheckedFace", &TXPPalette::CheckedFace},
    {"CheckedSelectedFace", &TXPPalette::CheckedSelectedFace},
    {"CheckMark", &TXPPalette::CheckMark},
    {"MenuBarFace", &TXPPalette::MenuBarFace},
    {"DisabledText", &TXPPalette::DisabledText},
    {"SeparatorLine", &TXPPalette::SeparatorLine},
    {"ShadowOuter", &TXPPalette::ShadowOuter},
    {"ShadowInner", &TXPPalette::ShadowInner},
};

// Colour properties that differ from every system colour, so a row shows which one it read.
TXPColorSettings customSettings(bool useSystemColors)
{
    TXPColorSettings s;
    s.Color = RGB(1, 1, 1);
    s.IconBackColor = RGB(2, 2, 2);
    s.MenuBarColor = RGB(3, 3, 3);
    s.SelectColor = RGB(0, 0, 0);
    s.SelectBorderColor = RGB(5, 5, 5);
    s.SelectFontColor = RGB(6, 6, 6);
    s.DisabledColor = RGB(7, 7, 7);
    s.SeparatorColor = RGB(8, 8, 8);
    s.CheckedColor = RGB(9, 9, 9);
    s.UseSystemColors = useSystemColors;
    return s;
}
} // namespace

void TestXPColors::palette_data()
{
    QTest::addColumn<bool>("useSystemColors");
    QTest::addColumn<int>("bitsPerPixel");
    QTest::addColumn<QString>("colour");
    QTest::addColumn<uint>("expected");
    const auto row = [](bool system, int bits, const char* colour, TColor expected) {
        QTest::addRow("%s, %s, %d bits", colour, system ? "system colours" : "own colours", bits)
            << system << bits << QString::fromLatin1(colour) << uint(expected);
    };
    const TColor font = RGB(20, 30, 40);

    // The program's settings: system colours on a true-colour display.
    row(true, 32, "MenuFace", RGB(249, 248, 247));
    row(true, 32, "IconFace", RGB(219, 216, 209));
    row(true, 32, "SelectFace", RGB(177, 185, 207));
    row(true, 32, "SelectBorder", clHighlight);
    row(true, 32, "SelectFont", font);
    row(true, 32, "CheckedFace", RGB(206, 211, 225));
    row(true, 32, "CheckedSelectedFace", RGB(132, 146, 180));
    row(true, 32, "CheckMark", clHighlight);
    row(true, 32, "MenuBarFace", clBtnFace);
    row(true, 32, "DisabledText", RGB(141, 141, 141));
    row(true, 32, "SeparatorLine", RGB(160, 160, 160));
    row(true, 32, "ShadowOuter", RGB(122, 120, 110));
    row(true, 32, "ShadowInner", RGB(136, 134, 124));

    // An 8-bit display: white faces and selection, plain system colours.
    row(true, 8, "MenuFace", clWhite);
    row(true, 8, "IconFace", clBtnFace);
    row(true, 8, "SelectFace", clWhite);
    row(true, 8, "CheckedFace", clWhite);
    row(true, 8, "CheckedSelectedFace", clWhite);
    row(true, 8, "DisabledText", clBtnShadow);
    row(true, 8, "SeparatorLine", clBtnShadow);
    row(true, 8, "ShadowOuter", clBtnShadow);
    row(true, 8, "ShadowInner", clBtnShadow);

    // Own colours: the properties are read; shadows still come from the button face.
    row(false, 32, "MenuFace", RGB(1, 1, 1));
    row(false, 32, "IconFace", RGB(2, 2, 2));
    row(false, 32, "SelectFace", RGB(173, 173, 173));
    row(false, 32, "CheckedFace", RGB(204, 204, 204));
    row(false, 32, "CheckedSelectedFace", RGB(128, 128, 128));
    row(false, 32, "SelectBorder", RGB(5, 5, 5));
    row(false, 32, "SelectFont", RGB(6, 6, 6));
    row(false, 32, "MenuBarFace", RGB(3, 3, 3));
    row(false, 32, "DisabledText", RGB(7, 7, 7));
    row(false, 32, "SeparatorLine", RGB(8, 8, 8));
    row(false, 32, "CheckMark", RGB(9, 9, 9));
    row(false, 32, "ShadowOuter", RGB(122, 120, 110));
    row(false, 8, "SelectFace", RGB(0, 0, 0));
    row(false, 8, "CheckedFace", clWhite);
    row(false, 8, "CheckedSelectedFace", RGB(192, 192, 192));
}

void TestXPColors::palette()
{
    QFETCH(bool, useSystemColors);
    QFETCH(int, bitsPerPixel);
    QFETCH(QString, colour);
    QFETCH(uint, expected);
    const TXPPalette p
        = DerivePalette(customSettings(useSystemColors), RGB(20, 30, 40), device(bitsPerPixel));
    for (const auto& [name, member] : kPaletteColours) {
        if (colour == QLatin1String(name)) {
            QCOMPARE(p.*member, TColor(expected));
            return;
        }
    }
    QFAIL("unknown palette colour");
}

QTEST_GUILESS_MAIN(TestXPColors)
#include "test_xpcolors.moc"
