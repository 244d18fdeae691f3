// The code editor on the real window: colours on screen, line numbers, the marks of matching
// brackets, and colours that never reach the text.

#include "dbctrls/codefont.h"
#include "dbctrls/codepalette.h"
#include "dbctrls/dbedit.h"
#include "dbctrls/dbmemo.h"
#include "main/form1.h"
#include "support/mainwindowtest.h"
#include "support/userinput.h"

#include <QClipboard>
#include <QFontInfo>
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

    void select(int anchor, int position)
    {
        QTextCursor cursor = memo()->textCursor();
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        memo()->setTextCursor(cursor);
    }

    // The code as the library holds it, line ends shown as <CR> and <LF>.
    QString storedCode() const
    {
        return m_library->value(
            QStringLiteral("select replace(replace(cjs_text, char(13), '<CR>'), char(10), '<LF>') from tjs"));
    }

    static QString shownLineEnds(QString code)
    {
        return code.replace(QLatin1Char('\r'), QStringLiteral("<CR>"))
            .replace(QLatin1Char('\n'), QStringLiteral("<LF>"));
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
        openCode(QStringLiteral("a\r\n") + QString(300, QLatin1Char('x')) + QStringLiteral("\r\nb\r\nc"));
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
        retype(form().DBEdit3, QStringLiteral("新作者"));
        press(Qt::Key_F7);
        QCOMPARE(Shown::mode(form()), QStringLiteral("[浏览模式]"));
        QCOMPARE(storedCode(), QStringLiteral("var a;<CR>var b;<CR><LF>var c;"));

        focus(memo());
        press(Qt::CTRL | Qt::Key_End);
        type(memo(), QStringLiteral("x"));
        press(Qt::Key_F7);
        QCOMPARE(Shown::mode(form()), QStringLiteral("[浏览模式]"));
        QCOMPARE(storedCode(), QStringLiteral("var a;<CR><LF>var b;<CR><LF>var c;x"));
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

    // Positions count the editor's characters, one per line break.
    void indentingKeys_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<QString>("changed");

        const QKeyCombination tab(Qt::Key_Tab);
        const QKeyCombination shiftTab(Qt::ShiftModifier, Qt::Key_Backtab);
        const QKeyCombination enter(Qt::Key_Return);
        QTest::newRow("Tab at the caret")
            << QStringLiteral("var a;") << 4 << 4 << tab << QStringLiteral("var \ta;");
        QTest::newRow("Tab takes the text's spaces") << QStringLiteral("if (x) {\r\n  y();\r\n}") << 12 << 12
                                                     << tab << QStringLiteral("if (x) {\r\n  y  ();\r\n}");
        QTest::newRow("Tab indents the selected lines, not the blank one") << QStringLiteral(
            "a\r\n\tb\r\n\r\nc\r\nd") << 2 << 8 << tab << QStringLiteral("a\r\n\t\tb\r\n\r\n\tc\r\nd");
        QTest::newRow("Shift+Tab takes one level from each line")
            << QStringLiteral("x\r\n\t\ta\r\n    b\r\n  c\r\nd") << 2 << 16 << shiftTab
            << QStringLiteral("x\r\n\ta\r\nb\r\nc\r\nd");
        QTest::newRow("Shift+Tab on the caret's line") << QStringLiteral("\tvar a;\r\n\tvar b;") << 12 << 12
                                                       << shiftTab << QStringLiteral("\tvar a;\r\nvar b;");
        QTest::newRow("Enter keeps the line's blanks")
            << QStringLiteral("\t  if (x) {") << 11 << 11 << enter << QStringLiteral("\t  if (x) {\r\n\t  ");
        QTest::newRow("Enter inside the blanks")
            << QStringLiteral("    var a;") << 2 << 2 << enter << QStringLiteral("  \r\n    var a;");
        QTest::newRow("Enter replaces a selection")
            << QStringLiteral("  f(abc);") << 4 << 7 << enter << QStringLiteral("  f(\r\n  );");
    }

    // Each key is one change of the record, made as a typed key makes it: the record goes into
    // edit mode, one undo takes it back, and the stored code changes by nothing else.
    void indentingKeys()
    {
        QFETCH(QString, code);
        QFETCH(int, anchor);
        QFETCH(int, caret);
        QFETCH(QKeyCombination, key);
        QFETCH(QString, changed);
        openCode(code);
        focus(memo());
        select(anchor, caret);
        press(key);
        QVERIFY(memo()->hasFocus());
        QCOMPARE(Shown::mode(form()), QStringLiteral("[编辑模式]"));
        QCOMPARE(shownLineEnds(memo()->text()), shownLineEnds(changed));
        press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(shownLineEnds(memo()->text()), shownLineEnds(code));
        press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        QCOMPARE(shownLineEnds(memo()->text()), shownLineEnds(changed));
        press(Qt::Key_F7);
        QCOMPARE(Shown::mode(form()), QStringLiteral("[浏览模式]"));
        QCOMPARE(storedCode(), shownLineEnds(changed));
    }

    void otherBoxesKeepTabMovingTheFocus()
    {
        openCode(QStringLiteral("var a;"));
        const QString author = form().DBEdit3->text();
        focus(form().DBEdit3);
        press(QKeyCombination(Qt::Key_Tab));
        QVERIFY(!form().DBEdit3->hasFocus());
        QCOMPARE(form().DBEdit3->text(), author);
        QCOMPARE(Shown::mode(form()), QStringLiteral("[浏览模式]"));
    }

    // Every Chinese character stands on exactly two columns of Latin ones, so mixed lines line up.
    void chineseTakesTwoColumns()
    {
        openCode(QString(40, QLatin1Char('7')) + QStringLiteral("\r\n") + QString(20, QChar(0x6587))
            + QStringLiteral("\r\n") + QStringLiteral("var s = '把下面代码放进<head>区，完成。';"));
        const QFont face = memo()->font();
        QVERIFY2(hasEvenColumns(face), qPrintable(QFontInfo(face).family()));
        QVERIFY2(hasDoubleWidthChinese(face), qPrintable(QFontInfo(face).family()));
        const QTextBlock digits = memo()->document()->findBlockByNumber(0);
        const QTextBlock chinese = digits.next();
        QCOMPARE(charactersRect(chinese.position(), chinese.position() + 20).width(),
            charactersRect(digits.position(), digits.position() + 40).width());
    }

    // The line that closes a script, too long to colour, still ends the script for the lines below.
    void aLineTooLongToColourPassesItsStateOn()
    {
        const QString data = QStringLiteral("data:image/png;base64,") + QString(12000, QLatin1Char('A'));
        openCode(QStringLiteral("<script>\r\nvar u = \"%1\";</script>\r\n<p class=\"x\">").arg(data));
        putCaret(memo()->document()->characterCount() - 1);
        memo()->ensureCursorVisible();
        memo()->viewport()->repaint();
        const QTextBlock last = memo()->document()->lastBlock();
        const QList<QTextLayout::FormatRange> formats = last.layout()->formats();
        QVERIFY(!formats.isEmpty());
        QCOMPARE(formats[0].start, 0);
        QCOMPARE(formats[0].length, 2);
        QCOMPARE(formats[0].format.foreground().color(), CodePalette::tokenColor(CodeTokenizer::Kind::Tag));
    }

    // A snippet that starts with a line of instructions is coloured as the page it is.
    void aPageAfterInstructionsIsColouredAsHtml()
    {
        openCode(QStringLiteral("把下面代码放进<head>区\r\n<p class=\"x\">"));
        const QTextBlock page = memo()->document()->lastBlock();
        QList<CodeTokenizer::Kind> kinds;
        for (const QTextLayout::FormatRange& range : page.layout()->formats()) {
            for (int kind = 0; kind < CodeTokenizer::kKindCount; ++kind) {
                if (range.format.foreground().color() == CodePalette::tokenColor(CodeTokenizer::Kind(kind))) {
                    kinds << CodeTokenizer::Kind(kind);
                    break;
                }
            }
        }
        using CodeTokenizer::Kind;
        QCOMPARE(kinds, QList<Kind>({Kind::Tag, Kind::AttributeName, Kind::AttributeValue, Kind::Tag}));
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
        QTest::newRow("no partner") << QStringLiteral("f(a[1]") << 1 << 1 << -1;
        const QString code = QStringLiteral("var z = f(\"(\", [1, \"]\"]); // ) ]");
        QTest::newRow("past a string and a comment") << code << 9 << 9 << 23;
        QTest::newRow("past a string's bracket") << code << 15 << 15 << 22;
        QTest::newRow("inside a string") << code << 11 << 11 << -1;
        QTest::newRow("inside a comment") << code << 29 << 29 << -1;
        QTest::newRow("inside a comment across lines") << QStringLiteral("/* (\r\n ) */ x") << 3 << 3 << 6;
        QTest::newRow("inside an attribute value")
            << QStringLiteral("<a title=\"(x\" onclick=\"f()\">") << 24 << 24 << 25;
        QTest::newRow("alone in an attribute value")
            << QStringLiteral("<a title=\"(x\" onclick=\"f()\">") << 10 << 10 << -1;
        QTest::newRow("a tag past a > in its value") << QStringLiteral("<b title=\"a>b\">") << 0 << 0 << 14;
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
        const QColor mark = partner < 0 ? CodePalette::unmatchedBracket() : CodePalette::matchingBracket();
        for (const QTextEdit::ExtraSelection& selection : bracketMarks()) {
            QCOMPARE(selection.cursor.selectionEnd() - selection.cursor.selectionStart(), 1);
            QCOMPARE(selection.format.background().color(), mark);
            marked << selection.cursor.selectionStart();
        }
        QList<int> expected;
        for (const int position : {bracket, partner}) {
            if (position >= 0)
                expected << position;
        }
        QCOMPARE(marked, expected);
    }
};

QTEST_MAIN(TestCodeEditor)
#include "test_codeeditor.moc"
