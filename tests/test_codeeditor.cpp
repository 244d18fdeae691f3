// The code editor on the real window: colours on screen, line numbers, the marks of matching
// brackets, and colours that never reach the text.

#include "dbctrls/codepalette.h"
#include "dbctrls/dbedit.h"
#include "dbctrls/dbmemo.h"
#include "main/form1.h"
#include "support/mainwindowtest.h"
#include "support/userinput.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTextBlock>
#include <QtTest>

using namespace UserInput;

namespace {
// How many pixels of `rect` in `image` have exactly this colour, as the solid middle of a
// glyph's strokes does.
int pixelsOf(const QImage& image, const QRect& rect, const QColor& color)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += image.pixelColor(x, y).rgb() == color.rgb();
    return count;
}

// Rows of the gutter holding ink other than its background, as [first, last] pixel rows.
QList<QPair<int, int>> inkedRows(const QImage& gutter)
{
    QList<QPair<int, int>> rows;
    const QRgb background = CodePalette::gutterBackground().rgb();
    for (int y = 0; y < gutter.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < gutter.width() && !ink; ++x)
            ink = gutter.pixel(x, y) != background;
        if (!ink)
            continue;
        if (!rows.isEmpty() && rows.last().second == y - 1)
            rows.last().second = y;
        else
            rows.append({y, y});
    }
    return rows;
}
} // namespace

class TestCodeEditor : public MainWindowTest
{
    Q_OBJECT

private:
    TDBMemo* memo() { return form().DBMemo2; }

    void openCode(const QString& code)
    {
        restartWith({QStringLiteral("类")}, {{QStringLiteral("脚本"), QStringLiteral("类"), {}, {}, code}});
        openScript(QStringLiteral("脚本"));
        memo()->viewport()->repaint();
    }

    // The screen rectangle of the characters [from, to) of one row.
    QRect charactersRect(int from, int to)
    {
        QTextCursor cursor(memo()->document());
        cursor.setPosition(from);
        const QRect start = memo()->cursorRect(cursor);
        cursor.setPosition(to);
        const QRect end = memo()->cursorRect(cursor);
        return QRect(QPoint(start.left(), start.top()), QPoint(end.left(), start.bottom()));
    }

    QList<QTextEdit::ExtraSelection> bracketMarks()
    {
        QList<QTextEdit::ExtraSelection> marks = memo()->extraSelections();
        marks.removeIf([](const QTextEdit::ExtraSelection& mark) {
            return mark.format.property(QTextFormat::FullWidthSelection).toBool();
        });
        return marks;
    }

    void putCaret(int position)
    {
        QTextCursor cursor = memo()->textCursor();
        cursor.setPosition(position);
        memo()->setTextCursor(cursor);
    }

private slots:
    void keywordAndStringShowInTheirColours()
    {
        const QString code = QStringLiteral("<script>\r\nvar s = \"WWWW\";\r\n</script>");
        openCode(code);
        const QImage shown = memo()->viewport()->grab().toImage();
        const int line = code.indexOf(QLatin1String("var")) - 1; // CR LF is one line break in the editor
        const QRect keyword = charactersRect(line, line + 3);
        const QRect string = charactersRect(line + 8, line + 14);
        using CodeTokenizer::Kind;
        QVERIFY(pixelsOf(shown, keyword, CodePalette::tokenColor(Kind::Keyword)) > 0);
        QCOMPARE(pixelsOf(shown, keyword, CodePalette::tokenColor(Kind::String)), 0);
        QVERIFY(pixelsOf(shown, string, CodePalette::tokenColor(Kind::String)) > 0);
        QCOMPARE(pixelsOf(shown, string, CodePalette::tokenColor(Kind::Keyword)), 0);
    }

    void coloursNeverReachTheText()
    {
        const QString code
            = QStringLiteral("<p style=\"color:red\">&amp;</p>\r\n<script>/* x */ var a = /b/;</script>");
        openCode(code);
        QCOMPARE(memo()->text(), code);
        QVERIFY(!memo()->document()->isModified());
        QVERIFY(!memo()->document()->isUndoAvailable());
        QCOMPARE(Shown::mode(form()), QStringLiteral("[浏览模式]"));
        focus(memo());
        press(Qt::CTRL | Qt::Key_A);
        press(Qt::CTRL | Qt::Key_C);
        QCOMPARE(QGuiApplication::clipboard()->text(),
            QString(code).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }

    // Opening a comment above lines already shown turns them into comment, without waiting for
    // them to be typed into.
    void aChangeAboveRecoloursTheLinesBelow()
    {
        openCode(QStringLiteral("<script>\r\nvar a;\r\nvar b;\r\n</script>"));
        focus(memo());
        putCaret(memo()->document()->findBlockByNumber(1).position());
        type(memo(), QStringLiteral("/*"));
        memo()->viewport()->repaint();
        const QTextBlock below = memo()->document()->findBlockByNumber(2);
        const QList<QTextLayout::FormatRange> formats = below.layout()->formats();
        QCOMPARE(formats.size(), 1);
        QCOMPARE(formats[0].start, 0);
        QCOMPARE(formats[0].length, below.length() - 1);
        QCOMPARE(
            formats[0].format.foreground().color(), CodePalette::tokenColor(CodeTokenizer::Kind::Comment));
    }

    // A line wrapped over several rows gets one number; CR LF ends a line once.
    void lineNumbersCountTheTextsLines()
    {
        openCode(QStringLiteral("a\r\n") + QString(150, QLatin1Char('x')) + QStringLiteral("\r\nb\r\nc"));
        QCOMPARE(memo()->blockCount(), 4);
        auto* gutter = memo()->findChild<QWidget*>(QStringLiteral("LineNumberGutter"));
        QVERIFY(gutter);
        const QTextBlock wrapped = memo()->document()->findBlockByNumber(1);
        QVERIFY(wrapped.layout()->lineCount() > 2);
        const QList<QPair<int, int>> rows = inkedRows(gutter->grab().toImage());
        QCOMPARE(rows.size(), 4);
        const int rowHeight = memo()->fontMetrics().height();
        // The third number stands below all the rows of the wrapped line.
        QVERIFY(rows[2].first - rows[1].first >= wrapped.layout()->lineCount() * rowHeight - 1);
    }

    // A lone CR ends a line on screen. The stored code keeps it until the code itself is
    // changed; the changed code is stored with CR LF after every line, as the editor gives it.
    void loneCarriageReturnEndsALineAndIsStoredAsRead()
    {
        const QString code = QStringLiteral("var a;\rvar b;\r\nvar c;");
        openCode(code);
        QCOMPARE(memo()->blockCount(), 3);
        QCOMPARE(memo()->document()->findBlockByNumber(1).text(), QStringLiteral("var b;"));
        const QString storedCode = QStringLiteral(
            "select replace(replace(cjs_text, char(13), '<CR>'), char(10), '<LF>') from tjs");
        retype(form().DBEdit3, QStringLiteral("新作者"));
        press(Qt::Key_F7);
        QCOMPARE(Shown::mode(form()), QStringLiteral("[浏览模式]"));
        QCOMPARE(m_library->value(storedCode), QStringLiteral("var a;<CR>var b;<CR><LF>var c;"));

        focus(memo());
        press(Qt::CTRL | Qt::Key_End);
        type(memo(), QStringLiteral("x"));
        press(Qt::Key_F7);
        QCOMPARE(Shown::mode(form()), QStringLiteral("[浏览模式]"));
        QCOMPARE(m_library->value(storedCode), QStringLiteral("var a;<CR><LF>var b;<CR><LF>var c;x"));
    }

    // The caret's line keeps its shaped glyphs for the next key; every other line lets them go,
    // or a walk through a long text would keep the glyphs of every line it passed.
    void onlyTheCaretsLineKeepsItsGlyphs()
    {
        openCode(QStringLiteral("var a = 1;\r\nvar b = 2;\r\nvar c = 3;\r\nvar d = 4;"));
        focus(memo());
        const auto linesKeeping = [this] {
            QList<int> lines;
            for (QTextBlock block = memo()->document()->begin(); block.isValid(); block = block.next()) {
                if (block.layout()->cacheEnabled())
                    lines << block.blockNumber();
            }
            return lines;
        };
        QCOMPARE(linesKeeping(), QList<int>({0}));
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        QCOMPARE(linesKeeping(), QList<int>({2}));
        // A line broken at its start moves the caret into the new line below.
        press(Qt::Key_Home);
        press(Qt::Key_Return);
        QCOMPARE(memo()->textCursor().blockNumber(), 3);
        QCOMPARE(linesKeeping(), QList<int>({3}));
        press(Qt::Key_Backspace);
        QCOMPARE(linesKeeping(), QList<int>({2}));
    }

    void matchingBrackets_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("bracket");
        QTest::addColumn<int>("partner");

        QTest::newRow("before an opening bracket") << QStringLiteral("f(a[1], {b})") << 1 << 1 << 11;
        QTest::newRow("after a closing bracket") << QStringLiteral("f(a[1], {b})") << 12 << 11 << 1;
        QTest::newRow("nested square") << QStringLiteral("f(a[1], {b})") << 3 << 3 << 5;
        QTest::newRow("across lines") << QStringLiteral("if (x) {\r\n  y();\r\n}") << 7 << 7 << 16;
        QTest::newRow("a tag's angle brackets") << QStringLiteral("<b class=x>") << 0 << 0 << 10;
        QTest::newRow("from the tag's end") << QStringLiteral("<b class=x>") << 11 << 10 << 0;
        QTest::newRow("no partner") << QStringLiteral("f(a[1]") << 1 << -1 << -1;
        QTest::newRow("a comparison is no tag") << QStringLiteral("a < b > c") << 2 << -1 << -1;
        QTest::newRow("no bracket") << QStringLiteral("abc") << 1 << -1 << -1;
    }

    void matchingBrackets()
    {
        QFETCH(QString, code);
        QFETCH(int, caret);
        QFETCH(int, bracket);
        QFETCH(int, partner);
        openCode(code);
        putCaret(caret);
        QList<int> marked;
        for (const QTextEdit::ExtraSelection& mark : bracketMarks()) {
            QCOMPARE(mark.cursor.selectionEnd() - mark.cursor.selectionStart(), 1);
            marked << mark.cursor.selectionStart();
        }
        QCOMPARE(marked, bracket < 0 ? QList<int>() : QList<int>({bracket, partner}));
    }
};

QTEST_MAIN(TestCodeEditor)
#include "test_codeeditor.moc"
