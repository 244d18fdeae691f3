// Tool bar buttons and separators painted by the XP look: pixel tests on images, and a real
// tool bar hooked by a look component.

#include "main/form1.h"
#include "support/libraryfixture.h"
#include "support/lookfixture.h"
#include "support/mainwindowfixture.h"
#include "support/windowparts.h"
#include "xplook/componenttag.h"
#include "xplook/systemcolors.h"
#include "xplook/toolbarhook.h"
#include "xplook/toolbarpainter.h"
#include "xplook/xplook.h"

#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace XP;

namespace {
XPToolBarInfo classicBar()
{
    XPToolBarInfo bar;
    bar.color = RGB(212, 208, 200);
    bar.font = QApplication::font();
    return bar;
}

// The cell colour: the bar colour lightened by 16 %.
constexpr TColor kCell = RGB(219, 216, 209);
} // namespace

class TestToolBarPainter : public QObject
{
    Q_OBJECT

private slots:
    void stateFills_data();
    void stateFills();
    void separatorLineFollowsTag_data();
    void separatorLineFollowsTag();
    void disabledCaptionInDisabledText_data();
    void disabledCaptionInDisabledText();
    void glyphCentredHalfToEven_data();
    void glyphCentredHalfToEven();
    void hookedToolBarIsPaintedByTheLook();
    void mainWindowToolBarIsHookedWithItsButtons();

private:
    LookFixture fixture;
};

void TestToolBarPainter::stateFills_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("down");
    QTest::addColumn<QString>("fill");
    QTest::addColumn<bool>("outlined");
    QTest::newRow("at rest") << "" << false << "cell" << false;
    QTest::newRow("hot") << "hot" << false << "SelectFace" << true;
    QTest::newRow("hot and down") << "hot" << true << "CheckedSelectedFace" << true;
    QTest::newRow("hot and pressed") << "hot selected" << false << "CheckedSelectedFace" << true;
    QTest::newRow("checked, pointer elsewhere") << "checked" << true << "CheckedFace" << true;
    QTest::newRow("indeterminate") << "indeterminate" << false << "SelectFace" << false;
    QTest::newRow("pressed, pointer elsewhere") << "selected" << false << "cell" << false;
}

void TestToolBarPainter::stateFills()
{
    QFETCH(QString, state);
    QFETCH(bool, down);
    QFETCH(QString, fill);
    QFETCH(bool, outlined);
    TXPLook& look = fixture.look();
    XPToolDrawState drawState;
    drawState.hot = state.contains("hot");
    drawState.checked = state.contains("checked");
    drawState.selected = state.contains("selected");
    drawState.indeterminate = state.contains("indeterminate");
    XPToolButtonInfo button;
    button.bounds = {0, 0, 68, 21};
    button.down = down;
    QImage image = blankImage(68, 21);
    XPCanvas canvas(image);
    ToolBarDrawButton(look, canvas, classicBar(), button, drawState);

    const TXPPalette& pal = look.Palette;
    const QHash<QString, TColor> colours {
        {"cell", kCell},
        {"SelectFace", rgb(pal.SelectFace)},
        {"CheckedSelectedFace", rgb(pal.CheckedSelectedFace)},
        {"CheckedFace", rgb(pal.CheckedFace)},
    };
    QCOMPARE(colorName(at(image, 5, 5)), colorName(colours.value(fill)));
    // The top row keeps the cell colour; the outline runs from (0, 1) to (66, 19).
    QCOMPARE(at(image, 5, 0), kCell);
    const TColor edge = outlined ? rgb(pal.SelectBorder) : colours.value(fill);
    QCOMPARE(at(image, 0, 5), edge);
    QCOMPARE(at(image, 66, 5), edge);
    QCOMPARE(at(image, 5, 19), edge);
    // The fill reaches the right and bottom edges; the outline stops one pixel short of them.
    QCOMPARE(at(image, 67, 5), colours.value(fill));
    QCOMPARE(at(image, 5, 20), colours.value(fill));
}

void TestToolBarPainter::separatorLineFollowsTag_data()
{
    QTest::addColumn<int>("tag");
    QTest::newRow("tag 0: cell only") << 0;
    QTest::newRow("tag 1: centred line") << 1;
}

void TestToolBarPainter::separatorLineFollowsTag()
{
    QFETCH(int, tag);
    TXPLook& look = fixture.look();
    QImage image = blankImage(8, 21);
    XPCanvas canvas(image);
    DrawToolBarSeparator(look, canvas, classicBar(), {0, 0, 8, 21}, tag);
    const TColor line = tag > 0 ? look.Darken(&image, RGB(212, 208, 200), 30) : kCell;
    // From 2 below the top to 1 above the bottom, end point left out: rows 2 to 19 at x = 4.
    QCOMPARE(at(image, 4, 2), line);
    QCOMPARE(at(image, 4, 19), line);
    QCOMPARE(at(image, 4, 1), kCell);
    QCOMPARE(at(image, 4, 20), kCell);
    QCOMPARE(at(image, 3, 10), kCell);
    QCOMPARE(at(image, 5, 10), kCell);
}

void TestToolBarPainter::disabledCaptionInDisabledText_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::newRow("enabled") << true;
    QTest::newRow("disabled") << false;
}

void TestToolBarPainter::disabledCaptionInDisabledText()
{
    QFETCH(bool, enabled);
    TXPLook& look = fixture.look();
    XPToolButtonInfo button;
    button.bounds = {0, 0, 68, 21};
    button.caption = QStringLiteral("HHHH");
    button.enabled = enabled;
    XPToolDrawState state;
    state.disabled = !enabled;
    QImage image = blankImage(68, 21);
    XPCanvas canvas(image);
    ToolBarDrawButton(look, canvas, classicBar(), button, state);
    const int disabledInk = countColor(image, image.rect(), rgb(look.Palette.DisabledText));
    const int blackInk = countColor(image, image.rect(), RGB(0, 0, 0));
    if (enabled) {
        QCOMPARE(disabledInk, 0);
        QVERIFY(blackInk > 0);
    } else {
        QVERIFY(disabledInk > 0);
        QCOMPARE(blackInk, 0);
    }
}

void TestToolBarPainter::glyphCentredHalfToEven_data()
{
    QTest::addColumn<int>("glyphWidth");
    QTest::addColumn<int>("left");
    QTest::newRow("16 wide: 26") << 16 << 26;
    QTest::newRow("15 wide: 26.5 goes to 26") << 15 << 26;
    QTest::newRow("13 wide: 27.5 goes to 28") << 13 << 28;
}

void TestToolBarPainter::glyphCentredHalfToEven()
{
    QFETCH(int, glyphWidth);
    QFETCH(int, left);
    TXPLook& look = fixture.look();
    QImage glyph(glyphWidth, 16, QImage::Format_RGB32);
    glyph.fill(QColor(255, 0, 0));
    glyph.setPixelColor(0, 15, QColor(0, 255, 0));
    XPToolButtonInfo button;
    button.bounds = {0, 0, 68, 21};
    button.glyph = glyph;
    QImage image = blankImage(68, 21);
    XPCanvas canvas(image);
    ToolBarDrawButton(look, canvas, classicBar(), button, {});
    // Two below the top, one more for the glyph's own offset; washed by 30 % at rest.
    QCOMPARE(at(image, left, 3), RGB(255, 76, 76));
    QCOMPARE(at(image, left - 1, 3), kCell);
    QCOMPARE(at(image, left + glyphWidth - 1, 3), RGB(255, 76, 76));
    QCOMPARE(at(image, left + glyphWidth, 3), kCell);
}

void TestToolBarPainter::hookedToolBarIsPaintedByTheLook()
{
    pinClassicSystemColors();
    QWidget form;
    auto* column = new QVBoxLayout(&form);
    auto* bar = new QToolBar(&form);
    column->addWidget(bar);
    auto addButton = [bar](const QString& caption) {
        auto* button = new QToolButton(bar);
        button->setText(caption);
        button->setFixedSize(68, 21);
        bar->addWidget(button);
        return button;
    };
    QToolButton* first = addButton(QStringLiteral("One"));
    QAction* separator = bar->addSeparator();
    setTag(separator, 1);
    addButton(QStringLiteral("Two"));
    QAction* trailing = bar->addSeparator();
    setTag(trailing, 1);
    TXPLook look(&form);
    applyStoredLookSettings(look);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    const TColor barColor = fromQColor(bar->palette().color(bar->backgroundRole()));
    const TColor cell = look.Lighten(&form, barColor, 16);
    const QImage button = first->grab().toImage();
    QCOMPARE(colorName(at(button, 2, 5)), colorName(cell));
    QVERIFY(first->autoRaise());

    // The separator between the buttons shows its line; the one after the last button is the
    // toolkit's own.
    QWidget* between = bar->widgetForAction(separator);
    const QImage middle = between->grab().toImage();
    const int x = middle.width() / 2;
    QCOMPARE(colorName(at(middle, x, middle.height() / 2)), colorName(look.Darken(&form, barColor, 30)));
    QCOMPARE(colorName(at(middle, 0, middle.height() / 2)), colorName(cell));
}

void TestToolBarPainter::mainWindowToolBarIsHookedWithItsButtons()
{
    LibraryFixture library;
    library.createSmall();
    const std::unique_ptr<TForm1> form = startMainWindow(library.appDir());
    QVERIFY(XPToolBarHook::installedOn(form->ToolBar1));
    auto* button = form->ToolBar1->findChild<QToolButton*>(QStringLiteral("ToolButton1"));
    QVERIFY(button);
    const TColor barColor = fromQColor(form->ToolBar1->palette().color(form->ToolBar1->backgroundRole()));
    QCOMPARE(colorName(at(button->grab().toImage(), 2, 5)),
        colorName((&windowPart<TXPLook>(*form))->Lighten(form.get(), barColor, 16)));
}

QTEST_MAIN(TestToolBarPainter)
#include "test_toolbarpainter.moc"
