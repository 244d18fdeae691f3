// Standard controls painted over by the XP look: edits, combo boxes, check boxes, radio buttons
// and group boxes, pixel by pixel on images.

#include "support/lookfixture.h"
#include "xplook/controlpainter.h"
#include "xplook/xplook.h"

#include <QFontMetrics>
#include <QPainter>
#include <QtTest>

using namespace XP;

namespace {
constexpr TColor kFace = RGB(212, 208, 200);
constexpr TColor kWhite = RGB(255, 255, 255);

XPControlInfo control(int w, int h, bool trueXP, TColor color = kFace)
{
    XPControlInfo info;
    info.client = {0, 0, w, h};
    info.color = color;
    info.parentColor = kFace;
    info.trueXP = trueXP;
    info.thumb = 16;
    return info;
}

} // namespace

class TestControlPainter : public QObject
{
    Q_OBJECT

private slots:
    void editOutline_data();
    void editOutline();
    void comboButtonFace_data();
    void comboButtonFace();
    void comboFieldIsFlat_data();
    void comboFieldIsFlat();
    void checkBoxMarks_data();
    void checkBoxMarks();
    void radioDot_data();
    void radioDot();
    void groupBoxTopEdge_data();
    void groupBoxTopEdge();

private:
    LookFixture fixture;
};

void TestControlPainter::editOutline_data()
{
    QTest::addColumn<bool>("active"); // pointer over it or focused
    QTest::addColumn<bool>("single");
    QTest::addColumn<QString>("expected");
    QTest::newRow("at rest, single border") << false << true << "darkened parent";
    QTest::newRow("at rest, no border") << false << false << "parent";
    QTest::newRow("active, single border") << true << true << "border 60";
    QTest::newRow("active, no border") << true << false << "border 80";
}

void TestControlPainter::editOutline()
{
    QFETCH(bool, active);
    QFETCH(bool, single);
    QFETCH(QString, expected);
    TXPLook& look = fixture.look();
    QImage image = blankImage(60, 21);
    look.RefreshPalette(&image);
    const QHash<QString, TColor> colours {
        {"darkened parent", look.Darken(&image, kFace, 60)},
        {"parent", kFace},
        {"border 60", look.Lighten(&image, look.Palette.SelectBorder, 60)},
        {"border 80", look.Lighten(&image, look.Palette.SelectBorder, 80)},
    };
    QPainter painter(&image);
    DrawEditOutline(painter, image.rect(), EditOutlineColor(look, &image, active, single, kFace));
    painter.end();
    const TColor outline = rgb(colours.value(expected));
    QCOMPARE(at(image, 0, 10), outline);
    QCOMPARE(at(image, 59, 10), outline);
    QCOMPARE(at(image, 30, 20), outline);
    QCOMPARE(at(image, 1, 10), RGB(255, 0, 255)); // inside untouched
}

void TestControlPainter::comboButtonFace_data()
{
    QTest::addColumn<bool>("trueXP");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<bool>("dropped");
    QTest::addColumn<QString>("face");
    QTest::newRow("true-XP at rest") << true << "" << false << "focus colour";
    QTest::newRow("true-XP under the pointer") << true << "hot" << false << "move colour";
    QTest::newRow("true-XP dropped down") << true << "hot" << true << "dropped colour";
    QTest::newRow("true-XP held") << true << "mouse" << false << "down colour";
    QTest::newRow("classic dropped down") << false << "" << true << "CheckedSelectedFace";
    QTest::newRow("classic focused") << false << "focused" << false << "CheckedFace";
}

void TestControlPainter::comboButtonFace()
{
    QFETCH(bool, trueXP);
    QFETCH(QString, flags);
    QFETCH(bool, dropped);
    QFETCH(QString, face);
    TXPLook& look = fixture.look();
    QImage image = blankImage(100, 21);
    XPCanvas canvas(image);
    DrawComboBox(
        look, canvas, control(100, 21, trueXP, kWhite), stateFromWords<XPControlState>(flags), dropped);
    const QHash<QString, TColor> colours {
        {"focus colour", RGB(140, 174, 231)},
        {"move colour", RGB(214, 231, 255)},
        {"dropped colour", RGB(140, 162, 247)},
        {"down colour", RGB(231, 231, 222)},
        {"CheckedSelectedFace", rgb(look.Palette.CheckedSelectedFace)},
        {"CheckedFace", rgb(look.Palette.CheckedFace)},
    };
    // The button's face, away from the chevron or arrow: near its right edge, a third down.
    QCOMPARE(colorName(at(image, 95, 6)), colorName(colours.value(face)));
}

void TestControlPainter::comboFieldIsFlat_data()
{
    QTest::addColumn<bool>("ownTextBox");
    QTest::addColumn<bool>("overTextBox");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QString>("edge"); // the field's first pixel, inside the outline
    QTest::addColumn<QString>("inside"); // one pixel further in
    QTest::addColumn<bool>("entryShown");
    QTest::newRow("list at rest: flat, entry on it") << false << false << ""
                                                     << "white"
                                                     << "white" << true;
    QTest::newRow("focused list: entry selected") << false << false << "focused"
                                                  << "white"
                                                  << "highlight" << true;
    QTest::newRow("with a text box: flat, the box shows the text") << true << false << ""
                                                                   << "white"
                                                                   << "white" << false;
    QTest::newRow("drawn over the text box: its text stays") << true << true << ""
                                                             << "platform"
                                                             << "platform" << false;
}

void TestControlPainter::comboFieldIsFlat()
{
    QFETCH(bool, ownTextBox);
    QFETCH(bool, overTextBox);
    QFETCH(QString, flags);
    QFETCH(QString, edge);
    QFETCH(QString, inside);
    QFETCH(bool, entryShown);
    TXPLook& look = fixture.look();
    // What the platform drew: a shaded field, as a raised button.
    const TColor platform = RGB(180, 180, 180);
    QImage image = blankImage(121, 19, platform);
    XPCanvas canvas(image);
    XPComboField field;
    field.ownTextBox = ownTextBox;
    field.paint = !overTextBox;
    field.text = QStringLiteral("分类一");
    field.textRect = {4, 3, 100, 16};
    field.font = QApplication::font();
    field.textColor = RGB(0, 0, 0);
    DrawComboBox(
        look, canvas, control(121, 19, true, kWhite), stateFromWords<XPControlState>(flags), false, field);
    const QHash<QString, TColor> colours {
        {"white", kWhite},
        {"highlight", rgb(clHighlight)},
        {"platform", platform},
    };
    // Inside the outline (row 2, column 1) up to the button, which starts 16 + 1 from the
    // outline's right edge: (2, 3) to (102, 16).
    QCOMPARE(colorName(at(image, 2, 3)), colorName(colours.value(edge)));
    QCOMPARE(colorName(at(image, 101, 15)), colorName(colours.value(edge)));
    QCOMPARE(colorName(at(image, 3, 4)), colorName(colours.value(inside)));
    QCOMPARE(colorName(at(image, 100, 14)), colorName(colours.value(inside)));
    const QRect textArea(4, 3, 96, 13);
    QCOMPARE(countColor(image, textArea, colours.value(inside)) < textArea.width() * textArea.height(),
        entryShown);
    QCOMPARE(colorName(at(image, 50, 2)), colorName(RGB(0, 60, 115))); // the top outline
}

void TestControlPainter::checkBoxMarks_data()
{
    QTest::addColumn<bool>("trueXP");
    QTest::addColumn<int>("check"); // XPCheckState
    QTest::addColumn<bool>("square");
    QTest::addColumn<bool>("tick");
    QTest::newRow("checked") << true << int(XPCheckState::Checked) << false << true;
    QTest::newRow("grayed: square, no tick") << true << int(XPCheckState::Grayed) << true << false;
    QTest::newRow("classic grayed: same square") << false << int(XPCheckState::Grayed) << true << false;
    QTest::newRow("unchecked") << true << int(XPCheckState::Unchecked) << false << false;
}

void TestControlPainter::checkBoxMarks()
{
    QFETCH(bool, trueXP);
    QFETCH(int, check);
    QFETCH(bool, square);
    QFETCH(bool, tick);
    TXPLook& look = fixture.look();
    QImage image = blankImage(80, 22);
    XPCanvas canvas(image);
    DrawCheckBox(look, canvas, control(80, 22, trueXP), {}, XPCheckState(check), false);
    // The mark: client shrunk by 3 at top and bottom (16 high), a 16-pixel square from the left,
    // one wider in true-XP; inside the 2-pixel margin the box runs (2, 5) to (13 or 14, 17).
    const TColor green = RGB(0, 162, 0);
    const int left = trueXP ? 3 : 2;
    QCOMPARE(at(image, left + 4, 10) == green, square); // the middle of the square
    // The tick's lowest stroke: (x + 4, y - 3) with x the box's left and y its bottom.
    const TColor tickColour = trueXP ? green : rgb(clHighlight);
    QCOMPARE(at(image, left + 4, 17 - 3) == tickColour, tick);
    QCOMPARE(at(image, left + 8, 17 - 7) == tickColour, tick);
}

void TestControlPainter::radioDot_data()
{
    QTest::addColumn<bool>("trueXP");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QString>("dot");
    QTest::newRow("true-XP: green") << true << ""
                                    << "green";
    QTest::newRow("classic: highlight") << false << ""
                                        << "highlight";
    QTest::newRow("classic disabled: disabled text") << false << "disabled"
                                                     << "disabled";
}

void TestControlPainter::radioDot()
{
    QFETCH(bool, trueXP);
    QFETCH(QString, flags);
    QFETCH(QString, dot);
    TXPLook& look = fixture.look();
    QImage image = blankImage(80, 22);
    XPCanvas canvas(image);
    DrawRadioButton(
        look, canvas, control(80, 22, trueXP), stateFromWords<XPControlState>(flags), true, false);
    const QHash<QString, TColor> colours {
        {"green", RGB(0, 162, 0)},
        {"highlight", rgb(clHighlight)},
        {"disabled", rgb(look.Palette.DisabledText)},
    };
    // Client shrunk by 4 at top and bottom leaves 14 rows from y = 4; the 15-pixel mark starts
    // at y = 4 + (14 - 16) div 2 = 3. Its middle lies near (8, 10).
    QCOMPARE(colorName(at(image, 8, 10)), colorName(colours.value(dot)));
}

void TestControlPainter::groupBoxTopEdge_data()
{
    QTest::addColumn<QString>("caption");
    QTest::newRow("with caption") << "Search";
    QTest::newRow("empty caption reserves a space's height") << "";
}

void TestControlPainter::groupBoxTopEdge()
{
    QFETCH(QString, caption);
    TXPLook& look = fixture.look();
    XPGroupBoxInfo box;
    box.caption = caption;
    box.font = QApplication::font();
    QImage image = blankImage(120, 80);
    XPCanvas canvas(image);
    DrawGroupBox(look, canvas, control(120, 80, true), box);
    const int th = QFontMetrics(box.font).height();
    const int tw = QFontMetrics(box.font).horizontalAdvance(caption);
    const TColor light = look.Lighten(&image, kFace, 60);
    const int y = th / 2 + 1;
    QCOMPARE(colorName(at(image, 3, y)), colorName(light));
    QCOMPARE(colorName(at(image, 9 + tw + 2, y)), colorName(light));
    QCOMPARE(colorName(at(image, 3, y - 1)), colorName(kFace));
    // The left edge runs down from the top edge; the bottom edge is dark.
    QCOMPARE(colorName(at(image, 0, 40)), colorName(light));
    QCOMPARE(colorName(at(image, 60, 79)), colorName(look.Darken(&image, kFace, 60)));
}

QTEST_MAIN(TestControlPainter)
#include "test_controlpainter.moc"
