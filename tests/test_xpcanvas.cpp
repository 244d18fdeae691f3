// The canvas rules the look's painters rely on, checked pixel by pixel.

#include "xplook/xpcanvas.h"

#include <QtTest>

namespace {
const QColor kPaper(255, 255, 255);
const QColor kInk(10, 20, 30);

QImage paper(int w = 12, int h = 12)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(kPaper);
    return image;
}

// The set of inked pixels as "x,y" strings, sorted, for readable comparisons.
QStringList inked(const QImage& image)
{
    QStringList points;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)) == kInk)
                points << QStringLiteral("%1,%2").arg(x).arg(y);
    return points;
}
} // namespace

class TestXPCanvas : public QObject
{
    Q_OBJECT

private slots:
    void shapesCoverExactPixels_data();
    void shapesCoverExactPixels();
    void linesLeaveOutTheirEndPoint_data();
    void linesLeaveOutTheirEndPoint();
    void roundRectHasFourEqualCorners_data();
    void roundRectHasFourEqualCorners();
    void clearBrushBecomesSolidOnColour();
    void transparentBitmapKeyedByBottomLeftPixel();
    void frame3DShrinksByItsWidth();
};

void TestXPCanvas::shapesCoverExactPixels_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("fill excludes right and bottom")
        << "fill" << QStringList {"2,1", "3,1", "4,1", "2,2", "3,2", "4,2"};
    QTest::newRow("frame on outermost pixels")
        << "frame" << QStringList {"2,1", "3,1", "4,1", "2,2", "4,2", "2,3", "3,3", "4,3"};
    QTest::newRow("empty fill draws nothing") << "empty" << QStringList {};
}

void TestXPCanvas::shapesCoverExactPixels()
{
    QFETCH(QString, shape);
    QFETCH(QStringList, expected);
    QImage image = paper();
    XPCanvas canvas(image);
    canvas.setBrushColor(kInk);
    if (shape == "fill")
        canvas.fillRect({2, 1, 5, 3});
    else if (shape == "frame")
        canvas.frameRect({2, 1, 5, 4});
    else
        canvas.fillRect({5, 1, 5, 3});
    QStringList got = inked(image);
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(got, expected);
}

void TestXPCanvas::linesLeaveOutTheirEndPoint_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("horizontal") << QPoint(1, 2) << QPoint(4, 2) << QStringList {"1,2", "2,2", "3,2"};
    QTest::newRow("vertical upwards") << QPoint(3, 5) << QPoint(3, 2) << QStringList {"3,3", "3,4", "3,5"};
    QTest::newRow("diagonal") << QPoint(1, 1) << QPoint(4, 4) << QStringList {"1,1", "2,2", "3,3"};
    QTest::newRow("to itself draws nothing") << QPoint(2, 2) << QPoint(2, 2) << QStringList {};
}

void TestXPCanvas::linesLeaveOutTheirEndPoint()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QStringList, expected);
    QImage image = paper();
    XPCanvas canvas(image);
    canvas.setPenColor(kInk);
    canvas.moveTo(from.x(), from.y());
    canvas.lineTo(to.x(), to.y());
    QStringList got = inked(image);
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(got, expected);
}

void TestXPCanvas::roundRectHasFourEqualCorners_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("diameter");
    // The pixels each corner loses, from the corner along the top edge, row by row.
    QTest::addColumn<QList<int>>("cut");
    QTest::newRow("search button, diameter 5") << QSize(75, 22) << 5 << QList<int> {1};
    QTest::newRow("about box buttons, diameter 5") << QSize(75, 25) << 5 << QList<int> {1};
    QTest::newRow("inner ring, diameter 2: square") << QSize(73, 21) << 2 << QList<int> {};
    QTest::newRow("checked radio item, diameter 6") << QSize(20, 20) << 6 << QList<int> {1};
    QTest::newRow("wide rounding, diameter 12") << QSize(30, 17) << 12 << QList<int> {4, 2, 1, 1};
}

void TestXPCanvas::roundRectHasFourEqualCorners()
{
    QFETCH(QSize, size);
    QFETCH(int, diameter);
    QFETCH(QList<int>, cut);
    const int w = size.width();
    const int h = size.height();
    const QColor brush(200, 100, 0);
    QImage image = paper(w + 2, h + 2);
    XPCanvas canvas(image);
    canvas.setPenColor(kInk);
    canvas.setBrushColor(brush);
    canvas.roundRect({1, 1, w + 1, h + 1}, diameter);
    const auto colour = [&](int x, int y) { return QColor(image.pixel(x + 1, y + 1)); };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QString where = QStringLiteral("%1,%2").arg(x).arg(y);
            QVERIFY2(colour(x, y) == colour(w - 1 - x, y), qPrintable(where));
            QVERIFY2(colour(x, y) == colour(x, h - 1 - y), qPrintable(where));
        }
    }
    // Each row of the corner starts at its cut; rows below the cut start at the edge.
    for (int row = 0; row <= cut.size(); ++row) {
        const int first = row < cut.size() ? cut[row] : 0;
        if (first > 0)
            QCOMPARE(colour(first - 1, row), kPaper);
        QCOMPARE(colour(first, row), kInk);
    }
    QCOMPARE(colour(w / 2, h / 2), brush);
    QCOMPARE(colour(w / 2, 0), kInk);
    QCOMPARE(QColor(image.pixel(w + 1, h / 2)), kPaper); // the right edge is exclusive
}

void TestXPCanvas::clearBrushBecomesSolidOnColour()
{
    QImage image = paper();
    XPCanvas canvas(image);
    canvas.setPenColor(Qt::red);
    canvas.setBrushClear();
    canvas.rectangle({0, 0, 6, 6});
    QCOMPARE(QColor(image.pixel(3, 3)), kPaper);
    QCOMPARE(QColor(image.pixel(5, 5)), QColor(Qt::red));
    QCOMPARE(QColor(image.pixel(6, 6)), kPaper);
    canvas.setBrushColor(kInk);
    QVERIFY(!canvas.brushClear());
    canvas.rectangle({0, 0, 6, 6});
    QCOMPARE(QColor(image.pixel(3, 3)), kInk);
    QCOMPARE(QColor(image.pixel(0, 0)), QColor(Qt::red));
}

void TestXPCanvas::transparentBitmapKeyedByBottomLeftPixel()
{
    QImage glyph(3, 2, QImage::Format_RGB32);
    glyph.fill(QColor(0, 255, 0));
    glyph.setPixel(1, 0, kInk.rgb());
    glyph.setPixel(2, 1, kInk.rgb());
    QImage image = paper();
    XPCanvas canvas(image);
    canvas.drawTransparent(4, 5, glyph);
    QCOMPARE(inked(image), (QStringList {"5,5", "6,6"}));
    QCOMPARE(QColor(image.pixel(4, 6)), kPaper);
}

void TestXPCanvas::frame3DShrinksByItsWidth()
{
    QImage image = paper();
    XPCanvas canvas(image);
    XPRect r {1, 1, 6, 6};
    canvas.frame3D(r, kInk, Qt::red, 1);
    QCOMPARE(r, (XPRect {2, 2, 5, 5}));
    QCOMPARE(QColor(image.pixel(1, 1)), kInk);
    QCOMPARE(QColor(image.pixel(4, 1)), kInk);
    QCOMPARE(QColor(image.pixel(5, 1)), QColor(Qt::red));
    QCOMPARE(QColor(image.pixel(1, 5)), QColor(Qt::red));
    QCOMPARE(QColor(image.pixel(3, 3)), kPaper);
}

QTEST_MAIN(TestXPCanvas)
#include "test_xpcanvas.moc"
