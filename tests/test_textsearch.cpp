// The find and replace rules on the bytes of a text: directions, case, whole words and their
// limits, replace-all, and the mapping between character and byte positions.

#include "text/textsearch.h"

#include <QtTest>

using TextSearch::Options;

namespace {
QByteArray utf8(const char* text)
{
    return QByteArray(text);
}
} // namespace

class TestTextSearch : public QObject
{
    Q_OBJECT

private slots:
    void find_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QByteArray>("what");
        QTest::addColumn<bool>("down");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<int>("found");

        // Directions and where they start.
        QTest::newRow("down: the occurrence after the caret")
            << utf8("ab xx ab") << 3 << 0 << utf8("ab") << true << false << false << 6;
        QTest::newRow("down: starts after the selection")
            << utf8("ab ab") << 0 << 2 << utf8("ab") << true << false << false << 3;
        QTest::newRow("down: no wrap-around")
            << utf8("ab xx") << 1 << 0 << utf8("ab") << true << false << false << -1;
        QTest::newRow("down: a match may begin inside a character")
            << utf8("中") << 0 << 0 << QByteArray("\xB8\xAD") << true << true << false << 1;
        QTest::newRow("up: from the end, the last occurrence")
            << utf8("ab ab ab") << 8 << 0 << utf8("ab") << false << false << false << 6;
        QTest::newRow("up: a match ends at or before the selection")
            << utf8("ab ab") << 4 << 1 << utf8("ab") << false << false << false << 0;
        QTest::newRow("up: before the first occurrence")
            << utf8("xx ab") << 2 << 0 << utf8("ab") << false << false << false << -1;

        // Case.
        QTest::newRow("case off: lower finds upper")
            << utf8("x ABC") << 0 << 0 << utf8("abc") << true << false << false << 2;
        QTest::newRow("case off: upper finds lower")
            << utf8("x abc") << 0 << 0 << utf8("ABC") << true << false << false << 2;
        QTest::newRow("case off: non-ASCII letters compare exactly")
            << utf8("É é") << 0 << 0 << utf8("é") << true << false << false << 3;
        QTest::newRow("case on: only the same case")
            << utf8("x ABC abc") << 0 << 0 << utf8("abc") << true << true << false << 6;
        QTest::newRow("case on, up") << utf8("abc ABC") << 7 << 0 << utf8("abc") << false << true << false
                                     << 0;

        // Whole words.
        QTest::newRow("whole word: the word at the caret")
            << utf8("x x") << 0 << 0 << utf8("x") << true << false << true << 0;
        QTest::newRow("whole word: caret inside a word skips it")
            << utf8("xx x") << 1 << 0 << utf8("x") << true << false << true << 3;
        QTest::newRow("whole word: after a previous match, the next word")
            << utf8("x x") << 0 << 1 << utf8("x") << true << false << true << 2;
        QTest::newRow("whole word: not before a letter or digit")
            << utf8("abc1 abcd abc") << 0 << 0 << utf8("abc") << true << false << true << 10;
        QTest::newRow("whole word: not a word's tail")
            << utf8("xabc") << 0 << 0 << utf8("abc") << true << false << true << -1;
        QTest::newRow("whole word: before punctuation")
            << utf8("abc.") << 0 << 0 << utf8("abc") << true << false << true << 0;
        QTest::newRow("whole word: before Chinese")
            << utf8("abc中") << 0 << 0 << utf8("abc") << true << false << true << 0;
        QTest::newRow("whole word: after Chinese")
            << utf8("中abc") << 0 << 0 << utf8("abc") << true << false << true << 3;
        QTest::newRow("whole word: at the text's end")
            << utf8("a bc") << 0 << 0 << utf8("bc") << true << false << true << 2;
        QTest::newRow("whole word: one byte short of the budget")
            << utf8("a bc") << 3 << 0 << utf8("bc") << true << false << true << -1;
        QTest::newRow("whole word: a find text opening with a delimiter is never a word")
            << utf8("a  b") << 0 << 0 << utf8(" b") << true << false << true << -1;
        QTest::newRow("whole word up: the word at the text's start")
            << utf8("x yy") << 4 << 0 << utf8("x") << false << false << true << 0;
        QTest::newRow("whole word up: back to the start of the word")
            << utf8("foo bar") << 7 << 0 << utf8("bar") << false << false << true << 4;
        QTest::newRow("whole word up: a word too long is passed over")
            << utf8("ab abc") << 6 << 0 << utf8("ab") << false << false << true << 0;
        QTest::newRow("whole word up: the caret inside the only word")
            << utf8("hello world") << 9 << 0 << utf8("world") << false << false << true << -1;

        // Lengths.
        QTest::newRow("find text longer than the text, down")
            << utf8("ab") << 0 << 0 << utf8("abc") << true << false << false << -1;
        QTest::newRow("find text longer than the text, up")
            << utf8("ab") << 2 << 0 << utf8("abc") << false << false << false << -1;
        QTest::newRow("empty find text")
            << utf8("ab") << 0 << 0 << QByteArray() << true << false << false << -1;
        QTest::newRow("empty text") << QByteArray() << 0 << 0 << utf8("a") << true << false << true << -1;
    }

    void find()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QByteArray, what);
        QFETCH(bool, down);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        QFETCH(int, found);
        QCOMPARE(TextSearch::find(text, selStart, selLength, what, {down, matchCase, wholeWord}), found);

        // The editors run the rules on characters; for every valid text they must give what the
        // byte rules give, positions mapped through the bytes.
        const QString chars = QString::fromUtf8(text);
        const QString whatChars = QString::fromUtf8(what);
        if (chars.toUtf8() != text || whatChars.toUtf8() != what)
            return;
        const auto charAt = [&](qsizetype byte) { return QString::fromUtf8(text.first(byte)).size(); };
        QCOMPARE(TextSearch::find(chars, charAt(selStart), charAt(selStart + selLength) - charAt(selStart),
                     whatChars, {down, matchCase, wholeWord}),
            found < 0 ? -1 : charAt(found));
    }

    void replaceAll_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QByteArray>("what");
        QTest::addColumn<QByteArray>("with");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("caret");

        QTest::newRow("only after the caret") << utf8("a a a a") << 3 << 0 << utf8("a") << utf8("b") << false
                                              << false << utf8("a a b b") << 2 << 7;
        QTest::newRow("the selection first")
            << utf8("aa aa") << 0 << 2 << utf8("aa") << utf8("b") << false << false << utf8("b b") << 2 << 3;
        QTest::newRow("a selection in the other case, match case on")
            << utf8("AA aa") << 0 << 2 << utf8("aa") << utf8("b") << true << false << utf8("AA b") << 1 << 4;
        QTest::newRow("a selection in the other case, match case off")
            << utf8("AA aa") << 0 << 2 << utf8("aa") << utf8("b") << false << false << utf8("b b") << 2 << 3;
        QTest::newRow("the inserted text is not searched again")
            << utf8("a a") << 0 << 0 << utf8("a") << utf8("aa") << false << false << utf8("aa aa") << 2 << 5;
        QTest::newRow("empty replacement")
            << utf8("a,a,a") << 0 << 0 << utf8("a") << QByteArray() << false << false << utf8(",,") << 3 << 2;
        QTest::newRow("whole word goes on in the changed text")
            << utf8("foofoo bar") << 0 << 3 << utf8("foo") << utf8("x ") << false << true << utf8("x x  bar")
            << 2 << 4;
        QTest::newRow("Chinese around the words")
            << utf8("中ab中abc中ab") << 0 << 0 << utf8("ab") << utf8("字") << false << true
            << utf8("中字中abc中字") << 2 << 18;
        QTest::newRow("nothing to replace")
            << utf8("abc") << 1 << 0 << utf8("x") << utf8("y") << false << false << utf8("abc") << 0 << 1;
    }

    void replaceAll()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QByteArray, what);
        QFETCH(QByteArray, with);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        QFETCH(QByteArray, result);
        QFETCH(int, count);
        QFETCH(int, caret);
        const auto change
            = TextSearch::replaceAll(text, selStart, selLength, what, with, {true, matchCase, wholeWord});
        QCOMPARE(change.count, count);
        QByteArray changed = text;
        if (change.count > 0)
            changed.replace(change.start, change.end - change.start, change.replacement);
        QCOMPARE(changed, result);
        QCOMPARE(change.count > 0 ? change.start + change.replacement.size() : selStart, caret);
    }

    void selectionMatchesForReplace_data()
    {
        QTest::addColumn<QByteArray>("selection");
        QTest::addColumn<QByteArray>("what");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("matches");
        QTest::newRow("same") << utf8("Ab") << utf8("Ab") << true << true;
        QTest::newRow("other case, case on") << utf8("AB") << utf8("ab") << true << false;
        QTest::newRow("other case, case off") << utf8("AB") << utf8("ab") << false << true;
        QTest::newRow("longer") << utf8("abc") << utf8("ab") << false << false;
        QTest::newRow("empty") << QByteArray() << QByteArray() << false << false;
    }

    void selectionMatchesForReplace()
    {
        QFETCH(QByteArray, selection);
        QFETCH(QByteArray, what);
        QFETCH(bool, matchCase);
        QFETCH(bool, matches);
        QCOMPARE(TextSearch::selectionMatches(selection, what, matchCase), matches);
    }

    void replaceAllOnCharacters()
    {
        const auto change = TextSearch::replaceAll(QStringLiteral("中ab\u2029ab中abc"), 0, 0,
            QStringLiteral("AB"), QStringLiteral("字"), {true, false, true});
        QCOMPARE(change.count, 2);
        QCOMPARE(change.start, 1);
        QCOMPARE(change.end, 6);
        QCOMPARE(change.replacement, QStringLiteral("字\u2029字"));
    }

    void lineBreaksAsAMultiLineEditorHoldsThem()
    {
        QCOMPARE(TextSearch::toBytes(QStringLiteral("a\u2029b")), QByteArray("a\nb"));
        QCOMPARE(
            TextSearch::toBytes(QString(QChar(0xD800)) + QStringLiteral("x")), QByteArray("\xEF\xBF\xBDx"));
        // A paragraph separator is a line break to the search too, and delimits words.
        QCOMPARE(TextSearch::find(QStringLiteral("a\u2029b"), 0, 0, QStringLiteral("\nb"), {}), 1);
    }

    void fittingPrefixKeepsCharactersWhole()
    {
        QCOMPARE(TextSearch::fittingPrefix(QStringLiteral("中中"), 5), QStringLiteral("中"));
        QCOMPARE(TextSearch::fittingPrefix(QStringLiteral("a") + QString::fromUcs4(U"\U0001F600"), 4),
            QStringLiteral("a"));
        QCOMPARE(TextSearch::fittingPrefix(QStringLiteral("abc"), 3), QStringLiteral("abc"));
        QCOMPARE(TextSearch::byteLength(QStringLiteral("a中")), 4);
    }
};

QTEST_GUILESS_MAIN(TestTextSearch)
#include "test_textsearch.moc"
