// The look as the main window shows it: pixels of its real controls, grabbed as they paint.

#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbmemo.h"
#include "main/categorytree.h"
#include "main/form1.h"
#include "support/libraryfixture.h"
#include "support/lookfixture.h"
#include "support/mainwindowfixture.h"
#include "widgets/bitbtn.h"
#include "xplook/systemcolors.h"

#include <QComboBox>
#include <QStyle>
#include <QtTest>

using namespace XP;

namespace {
constexpr TColor kOutline = RGB(0, 60, 115);
constexpr TColor kSurface = RGB(255, 251, 247);

// Where a combo box's button starts: the scroll-thumb width and one more inside the outline.
int comboButtonLeft(const QComboBox* combo)
{
    const int thumb = std::max(16, combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, combo));
    return combo->width() - 2 - thumb - 1;
}

// The field of a combo box is flat: every pixel of the column is the box's own colour.
void verifyFlatColumn(const QImage& image, int x, TColor colour)
{
    for (int y = 3; y < image.height() - 2; ++y)
        QVERIFY2(at(image, x, y) == colour,
            qPrintable(QStringLiteral("%1,%2 is %3").arg(x).arg(y).arg(colorName(at(image, x, y)))));
}
} // namespace

class TestLookOnMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void searchComboOutlineRunsOverItsTextBox();
    void categoryComboHasAFlatField();
    void categoryComboShowsTheHeaderPictureAroundItsOutline();
    void memoShowsOneOutline();
    void searchButtonCornersAndGlyph();

private:
    LibraryFixture* m_library = nullptr;
    std::unique_ptr<TForm1> m_form;
};

void TestLookOnMainWindow::initTestCase()
{
    m_library = new LibraryFixture;
    m_library->createSmall();
    m_form = startMainWindow(m_library->appDir());
    m_form->Treeclass->setFocus();
}

void TestLookOnMainWindow::cleanupTestCase()
{
    m_form.reset();
    delete m_library;
}

void TestLookOnMainWindow::searchComboOutlineRunsOverItsTextBox()
{
    QComboBox* combo = m_form->ComboBox1;
    QVERIFY(combo->lineEdit());
    const QImage image = combo->grab().toImage();
    const int button = comboButtonLeft(combo);
    for (int x = 1; x < button; ++x)
        QVERIFY2(at(image, x, 2) == kOutline, qPrintable(QString::number(x)));
    // Nothing of the platform's drawing is left between the text box and the button.
    const TColor field = fromQColor(combo->palette().color(QPalette::Base));
    verifyFlatColumn(image, button - 1, field);
    verifyFlatColumn(image, button - 2, field);
}

void TestLookOnMainWindow::categoryComboHasAFlatField()
{
    TDBComboBox* combo = m_form->CBX1;
    QVERIFY(!combo->lineEdit());
    QVERIFY(!combo->hasFocus());
    const QImage image = combo->grab().toImage();
    const TColor field = fromQColor(combo->palette().color(QPalette::Base));
    verifyFlatColumn(image, 2, field);
    verifyFlatColumn(image, comboButtonLeft(combo) - 1, field);
    QCOMPARE(colorName(at(image, combo->width() / 2, 2)), colorName(kOutline));
}

// On the dark header no light ring of the panel's colour stands round the outline.
void TestLookOnMainWindow::categoryComboShowsTheHeaderPictureAroundItsOutline()
{
    TDBComboBox* combo = m_form->CBX1;
    auto* picture = m_form->findChild<QWidget*>(QStringLiteral("Image1"));
    QVERIFY(picture);
    QCOMPARE(picture->parentWidget(), combo->parentWidget());
    const QImage image = combo->grab().toImage();
    const QImage behind = picture->grab(QRect(combo->pos() - picture->pos(), combo->size())).toImage();
    const int w = image.width();
    const int h = image.height();
    for (const QPoint& ring :
        {QPoint(w / 2, 0), QPoint(w / 2, 1), QPoint(0, h / 2), QPoint(w - 1, h / 2), QPoint(w / 2, h - 1)}) {
        QVERIFY2(at(image, ring.x(), ring.y()) == at(behind, ring.x(), ring.y()),
            qPrintable(QStringLiteral("%1,%2 is %3, the picture %4")
                           .arg(ring.x())
                           .arg(ring.y())
                           .arg(colorName(at(image, ring.x(), ring.y())))
                           .arg(colorName(at(behind, ring.x(), ring.y())))));
    }
    QCOMPARE(colorName(at(image, w / 2, 2)), colorName(kOutline));
}

void TestLookOnMainWindow::memoShowsOneOutline()
{
    TDBMemo* memo = m_form->DBMemo1;
    const QImage image = memo->grab().toImage();
    const int w = image.width();
    const int h = image.height();
    // The outline on the outermost pixels, the surface right inside it on every side.
    QVERIFY(at(image, 0, h / 2) != kSurface);
    for (const QPoint& inside :
        {QPoint(1, h / 2), QPoint(w - 2, h / 2), QPoint(w / 2, 1), QPoint(w / 2, h - 2)})
        QVERIFY2(at(image, inside.x(), inside.y()) == kSurface,
            qPrintable(QStringLiteral("%1,%2 is %3")
                           .arg(inside.x())
                           .arg(inside.y())
                           .arg(colorName(at(image, inside.x(), inside.y())))));
}

void TestLookOnMainWindow::searchButtonCornersAndGlyph()
{
    auto* button = qobject_cast<TBitBtn*>(m_form->BitBtn1);
    QVERIFY(button);
    QCOMPARE(button->Glyph().size(), QSize(16, 15));
    QCOMPARE(button->NumGlyphs(), 1);
    const QImage image = button->grab().toImage();
    const TColor parent
        = fromQColor(button->parentWidget()->palette().color(button->parentWidget()->backgroundRole()));
    const int r = image.width() - 1;
    const int b = image.height() - 1;
    for (const QPoint& corner : {QPoint(0, 0), QPoint(r, 0), QPoint(0, b), QPoint(r, b)}) {
        const int in = corner.x() == 0 ? 1 : -1;
        const int down = corner.y() == 0 ? 1 : -1;
        const QByteArray where = QStringLiteral("corner %1,%2").arg(corner.x()).arg(corner.y()).toLatin1();
        QVERIFY2(at(image, corner.x(), corner.y()) == parent, where);
        QVERIFY2(at(image, corner.x() + in, corner.y()) == kOutline, where);
        QVERIFY2(at(image, corner.x(), corner.y() + down) == kOutline, where);
    }
}

QTEST_MAIN(TestLookOnMainWindow)
#include "test_lookonmainwindow.moc"
