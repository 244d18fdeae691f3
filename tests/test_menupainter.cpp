// Menu items measured and drawn by the XP look, checked pixel by pixel on images; with them the
// glyph routine the tool bar and buttons share.

#include "main/form1.h"
#include "support/libraryfixture.h"
#include "support/lookfixture.h"
#include "support/mainwindowfixture.h"
#include "support/windowparts.h"
#include "xplook/componenttag.h"
#include "xplook/menuhook.h"
#include "xplook/menupainter.h"
#include "xplook/xplook.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

using namespace XP;

namespace {
// A font whose text height is exactly h pixels, or an empty optional.
std::optional<QFont> fontOfHeight(int h)
{
    for (const QString& family : QFontDatabase::families())
        for (int pixels = 4; pixels < 40; ++pixels) {
            QFont font(family);
            font.setPixelSize(pixels);
            if (QFontMetrics(font).height() == h)
                return font;
        }
    return std::nullopt;
}

// A solid red 16 x 16 glyph whose bottom-left pixel, the transparent key, is green.
QImage redGlyph()
{
    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(QColor(255, 0, 0));
    glyph.setPixelColor(0, 15, QColor(0, 255, 0));
    return glyph;
}
} // namespace

class TestMenuPainter : public QObject
{
    Q_OBJECT

private slots:
    void measuredHeight_data();
    void measuredHeight();
    void measuredWidth_data();
    void measuredWidth();
    void separatorLineStartsAfterIconColumn();
    void checkMarks_data();
    void checkMarks();
    void disabledItemIsNeverHighlighted_data();
    void disabledItemIsNeverHighlighted();
    void glyphLiftsAndCastsShadowWhenSelected_data();
    void glyphLiftsAndCastsShadowWhenSelected();
    void flatFrame_data();
    void flatFrame();
    void hookedPopupMenuDrawsItsItems();
    void flatMenuFramesThePopupOverItsItems();
    void mainWindowMenusKeepToolkitLook();

private:
    LookFixture fixture;
};

void TestMenuPainter::measuredHeight_data()
{
    QTest::addColumn<int>("textHeight");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("withImage");
    QTest::addColumn<int>("proposed");
    QTest::addColumn<int>("expected");
    QTest::newRow("text 13: 13 + 10") << 13 << "Item" << false << 0 << 23;
    QTest::newRow("text 12: 12 + 9") << 12 << "Item" << false << 0 << 21;
    QTest::newRow("text 14: 10.5 goes to the even 10") << 14 << "Item" << false << 0 << 24;
    QTest::newRow("16 x 16 image raises to 22") << 12 << "Item" << true << 0 << 22;
    QTest::newRow("taller proposal stays") << 12 << "Item" << false << 40 << 40;
    QTest::newRow("separator is 4 whatever is proposed") << 13 << "-" << false << 30 << 4;
}

void TestMenuPainter::measuredHeight()
{
    QFETCH(int, textHeight);
    QFETCH(QString, caption);
    QFETCH(bool, withImage);
    QFETCH(int, proposed);
    QFETCH(int, expected);
    const std::optional<QFont> font = fontOfHeight(textHeight);
    if (!font)
        QSKIP("no font size gives this text height here");
    TXPLook& look = fixture.look();
    look.setFont({*font, clMenuText});
    MenuItemFace item;
    item.caption = caption;
    if (withImage)
        item.glyph = redGlyph();
    QImage image = blankImage(10, 10);
    XPCanvas canvas(image);
    int width = 0;
    int height = proposed;
    MenuMeasureItem(look, canvas, item, width, height);
    QCOMPARE(height, expected);
}

void TestMenuPainter::measuredWidth_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("formBarItem");
    QTest::addColumn<QString>("measured"); // the text whose width counts
    QTest::addColumn<int>("extra"); // besides text width + 5
    QTest::newRow("icon column always reserved") << "Open"
                                                 << "" << false << "Open" << 24;
    QTest::newRow("shortcut and three letters of gap") << "Open"
                                                       << "Ctrl+O" << false << "OpenCtrl+OWWW" << 24;
    QTest::newRow("two ampersands take off one") << "&Save && go"
                                                 << "" << false << "&Save && go" << 24;
    QTest::newRow("bar item: no icon column, 8 more") << "File"
                                                      << "" << true << "File" << 8;
}

void TestMenuPainter::measuredWidth()
{
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(bool, formBarItem);
    QFETCH(QString, measured);
    QFETCH(int, extra);
    TXPLook& look = fixture.look();
    MenuItemFace item;
    item.caption = caption;
    item.shortcutText = shortcut;
    item.formBarItem = formBarItem;
    QImage image = blankImage(10, 10);
    XPCanvas canvas(image);
    int width = 0;
    int height = 0;
    MenuMeasureItem(look, canvas, item, width, height);
    const QFontMetrics metrics(look.Font().font);
    int expected = metrics.horizontalAdvance(measured) + 5 + extra;
    if (measured.contains(QLatin1Char('&')))
        expected -= metrics.horizontalAdvance(QStringLiteral("&"));
    QCOMPARE(width, expected);
}

void TestMenuPainter::separatorLineStartsAfterIconColumn()
{
    TXPLook& look = fixture.look();
    MenuItemFace item;
    item.caption = QStringLiteral("-");
    QImage image = blankImage(120, 5);
    XPCanvas canvas(image);
    MenuDrawItem(look, canvas, item, {0, 0, 120, 4}, false);
    // The item is 5 high once the bottom grows by one: the line lies at Round(2.5) = 2.
    QCOMPARE(at(image, 31, 2), rgb(look.Palette.SeparatorLine));
    QCOMPARE(at(image, 119, 2), rgb(look.Palette.SeparatorLine));
    QCOMPARE(at(image, 30, 2), rgb(look.Palette.MenuFace));
    QCOMPARE(at(image, 31, 1), rgb(look.Palette.MenuFace));
    QCOMPARE(at(image, 31, 3), rgb(look.Palette.MenuFace));
    QCOMPARE(at(image, 23, 2), rgb(look.Palette.IconFace));
}

void TestMenuPainter::checkMarks_data()
{
    QTest::addColumn<bool>("radio");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("tick") << false << true;
    QTest::newRow("disabled tick") << false << false;
    QTest::newRow("radio dot") << true << true;
}

void TestMenuPainter::checkMarks()
{
    QFETCH(bool, radio);
    QFETCH(bool, enabled);
    TXPLook& look = fixture.look();
    MenuItemFace item;
    item.caption = QStringLiteral("Wrap");
    item.checked = true;
    item.radioItem = radio;
    item.enabled = enabled;
    QImage image = blankImage(120, 23);
    XPCanvas canvas(image);
    MenuDrawItem(look, canvas, item, {0, 0, 120, 22}, false);
    const TXPPalette& pal = look.Palette;
    // A 10 x 10 square centred in the 24-pixel icon column of a 23-pixel item: (7, 6) to (17, 16).
    if (radio) {
        QCOMPARE(at(image, 12, 11), rgb(pal.CheckedFace));
        QCOMPARE(at(image, 7, 6), rgb(pal.IconFace)); // the dot's corner is rounded off
        return;
    }
    QCOMPARE(at(image, 7, 6), rgb(enabled ? pal.CheckMark : pal.DisabledText));
    QCOMPARE(at(image, 16, 15), rgb(enabled ? pal.CheckMark : pal.DisabledText));
    if (enabled)
        QCOMPARE(at(image, 8, 8), rgb(pal.CheckedFace));
    else
        QVERIFY(at(image, 8, 8) != pal.CheckedFace);
    // The long stroke leaves the box at the top right; its end point (19, 5) is left out.
    const TColor tick = enabled ? RGB(0, 0, 0) : rgb(pal.DisabledText);
    QCOMPARE(at(image, 18, 6), tick);
    QCOMPARE(at(image, 9, 12), tick);
    QCOMPARE(at(image, 19, 5), rgb(pal.IconFace));
}

void TestMenuPainter::disabledItemIsNeverHighlighted_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::newRow("enabled") << true;
    QTest::newRow("disabled") << false;
}

void TestMenuPainter::disabledItemIsNeverHighlighted()
{
    QFETCH(bool, enabled);
    TXPLook& look = fixture.look();
    MenuItemFace item;
    item.caption = QStringLiteral("Go");
    item.enabled = enabled;
    QImage image = blankImage(120, 23);
    XPCanvas canvas(image);
    MenuDrawItem(look, canvas, item, {0, 0, 120, 22}, true);
    QCOMPARE(at(image, 110, 11), rgb(enabled ? look.Palette.SelectFace : look.Palette.MenuFace));
    QCOMPARE(at(image, 110, 1), rgb(enabled ? look.Palette.SelectBorder : look.Palette.MenuFace));
    const QRect caption(27, 0, 60, 23);
    QVERIFY(countColor(image, caption, rgb(look.Palette.DisabledText)) > 0 || enabled);
}

void TestMenuPainter::glyphLiftsAndCastsShadowWhenSelected_data()
{
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QPoint>("probe");
    QTest::addColumn<QString>("expected");
    // At rest the glyph stands at (3, 3), centred in the icon column and washed by 30 %
    // (0 + 255 x 0.3 rounds to 76: the product is just below 76.5).
    QTest::newRow("rest: washed") << false << false << QPoint(3, 3) << "washed";
    QTest::newRow("rest: not lifted") << false << false << QPoint(2, 2) << "IconFace";
    QTest::newRow("selected: lifted to (2, 2), unwashed") << true << false << QPoint(2, 2) << "red";
    QTest::newRow("selected: shadow two below and right") << true << false << QPoint(19, 19) << "shadow";
    QTest::newRow("checked and selected: not lifted") << true << true << QPoint(3, 3) << "red";
    QTest::newRow("checked and selected: no shadow")
        << true << true << QPoint(19, 19) << "CheckedSelectedFace";
}

void TestMenuPainter::glyphLiftsAndCastsShadowWhenSelected()
{
    QFETCH(bool, selected);
    QFETCH(bool, checked);
    QFETCH(QPoint, probe);
    QFETCH(QString, expected);
    TXPLook& look = fixture.look();
    MenuItemFace item;
    item.caption = QStringLiteral("Print");
    item.checked = checked;
    item.glyph = redGlyph();
    QImage image = blankImage(120, 23);
    XPCanvas canvas(image);
    MenuDrawItem(look, canvas, item, {0, 0, 120, 22}, selected);
    const TXPPalette& pal = look.Palette;
    const QHash<QString, TColor> colours {
        {"washed", RGB(255, 76, 76)},
        {"IconFace", rgb(pal.IconFace)},
        {"red", RGB(255, 0, 0)},
        {"shadow", rgb(look.Darken(&image, pal.SelectFace, 50))},
        {"CheckedSelectedFace", rgb(pal.CheckedSelectedFace)},
    };
    QCOMPARE(colorName(at(image, probe.x(), probe.y())), colorName(colours.value(expected)));
}

void TestMenuPainter::flatFrame_data()
{
    // A 60 x 40 menu window: the outline runs on x = 0 and 57, y = 0 and 37; the shadow takes
    // the last two columns and rows.
    QTest::addColumn<bool>("rightToLeft");
    QTest::addColumn<bool>("gradient");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("colour");
    const QList<std::tuple<const char*, bool, bool, QPoint, const char*>> rows = {
        {"outline, top left", false, false, {0, 0}, "ShadowOuter"},
        {"outline, right", false, false, {57, 20}, "ShadowOuter"},
        {"outline, bottom", false, false, {30, 37}, "ShadowOuter"},
        {"top band", false, false, {40, 1}, "MenuFace"},
        {"icon column carried up", false, false, {10, 2}, "IconFace"},
        {"band past the icon column", false, false, {40, 2}, "MenuFace"},
        {"icon column's left edge", false, false, {2, 20}, "IconFace"},
        {"shadow, bottom", false, false, {30, 39}, "ShadowInner"},
        {"shadow, right", false, false, {59, 20}, "ShadowInner"},
        {"corner, bottom left", false, false, {1, 39}, "BtnFace"},
        {"corner, top right", false, false, {58, 1}, "BtnFace"},
        {"inside untouched", false, false, {30, 20}, "none"},
        {"gradient band", false, true, {1, 1}, "gradient 1"},
        {"gradient, icon edge over it", false, true, {1, 2}, "IconFace"},
        {"right to left: band", true, false, {10, 1}, "MenuFace"},
        {"right to left: left line", true, false, {2, 20}, "MenuFace"},
        {"right to left: icon column's edge", true, false, {56, 20}, "IconFace"},
        {"right to left: icon column carried up", true, false, {50, 2}, "IconFace"},
        {"right to left: shadow", true, false, {59, 20}, "ShadowInner"},
    };
    for (const auto& [name, rtl, gradient, point, colour] : rows)
        QTest::newRow(name) << rtl << gradient << point << QString::fromLatin1(colour);
}

void TestMenuPainter::flatFrame()
{
    QFETCH(bool, rightToLeft);
    QFETCH(bool, gradient);
    QFETCH(QPoint, point);
    QFETCH(QString, colour);
    TXPLook& look = fixture.look();
    look.setGradient(gradient);
    QImage image = blankImage(60, 40);
    XPCanvas canvas(image);
    DrawFlatFrame(look, canvas, {0, 0, 60, 40}, rightToLeft);
    look.setGradient(false);
    const TXPPalette& pal = look.Palette;
    const QMap<QString, TColor> colours = {{QStringLiteral("ShadowOuter"), pal.ShadowOuter},
        {QStringLiteral("ShadowInner"), pal.ShadowInner}, {QStringLiteral("MenuFace"), pal.MenuFace},
        {QStringLiteral("IconFace"), pal.IconFace}, {QStringLiteral("BtnFace"), clBtnFace},
        {QStringLiteral("gradient 1"), look.Lighten(&image, pal.IconFace, 1)},
        {QStringLiteral("none"), RGB(255, 0, 255)}};
    QCOMPARE(at(image, point.x(), point.y()), rgb(colours.value(colour)));
}

void TestMenuPainter::hookedPopupMenuDrawsItsItems()
{
    pinClassicSystemColors();
    QWidget form;
    auto* menu = new QMenu(&form);
    QAction* open = menu->addAction(QStringLiteral("Open"));
    menu->addSeparator();
    QAction* plain = menu->addAction(QStringLiteral("Plain"));
    XP::setTag(plain, kTagNeverHooked);
    TXPLook look(&form);
    applyStoredLookSettings(look);
    QVERIFY(qobject_cast<MenuFaceStyle*>(menu->style()));

    menu->popup(QPoint(10, 10));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    const QImage shown = menu->grab().toImage();
    look.RefreshPalette(&shown);
    const QRect item = menu->actionGeometry(open);
    // The caption, drawn after the icon column, a gap and a space, fits in the item.
    QVERIFY(item.width()
        >= look.IconWidth() + 3 + QFontMetrics(look.Font().font).horizontalAdvance(QStringLiteral(" Open")));
    QCOMPARE(colorName(at(shown, item.left() + 2, item.center().y())), colorName(rgb(look.Palette.IconFace)));
    QCOMPARE(
        colorName(at(shown, item.right() - 2, item.center().y())), colorName(rgb(look.Palette.MenuFace)));
    // An item tagged 999 is the toolkit's: no icon column of the look's there.
    const QRect toolkitItem = menu->actionGeometry(plain);
    QVERIFY(at(shown, toolkitItem.left() + 2, toolkitItem.center().y()) != rgb(look.Palette.IconFace));
    menu->close();

    look.setActive(false);
    QVERIFY(!qobject_cast<MenuFaceStyle*>(menu->style()));
}

void TestMenuPainter::flatMenuFramesThePopupOverItsItems()
{
    pinClassicSystemColors();
    QWidget form;
    auto* menu = new QMenu(&form);
    menu->addAction(QStringLiteral("Open"));
    menu->addAction(QStringLiteral("Close"));
    TXPLook look(&form);
    applyStoredLookSettings(look);
    look.setFlatMenu(true);
    menu->popup(QPoint(10, 10));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    const QImage shown = menu->grab().toImage();
    look.RefreshPalette(&shown);
    const int right = shown.width() - 1;
    const int bottom = shown.height() - 1;
    QCOMPARE(colorName(at(shown, 0, 0)), colorName(rgb(look.Palette.ShadowOuter)));
    QCOMPARE(colorName(at(shown, right, bottom / 2)), colorName(rgb(look.Palette.ShadowInner)));
    QCOMPARE(colorName(at(shown, right / 2, bottom)), colorName(rgb(look.Palette.ShadowInner)));
    // The icon column's edge runs down over the items.
    QCOMPARE(colorName(at(shown, 2, bottom / 2)), colorName(rgb(look.Palette.IconFace)));
    menu->close();
}

void TestMenuPainter::mainWindowMenusKeepToolkitLook()
{
    LibraryFixture library;
    library.createSmall();
    const std::unique_ptr<TForm1> form = startMainWindow(library.appDir());
    QVERIFY((&windowPart<TXPLook>(*form))->Active());
    QVERIFY(!qobject_cast<MenuFaceStyle*>(form->MainMenu1->style()));
    for (QMenu* menu : form->findChildren<QMenu*>())
        QVERIFY2(!qobject_cast<MenuFaceStyle*>(menu->style()), qPrintable(menu->objectName()));
}

QTEST_MAIN(TestMenuPainter)
#include "test_menupainter.moc"
