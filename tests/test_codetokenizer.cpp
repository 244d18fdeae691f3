// The code tokenizer on snippets: HTML with the CSS and scripts it holds, whole scripts, and
// constructs that go on past the end of a line.

#include "text/codetokenizer.h"

#include <QtTest>

using CodeTokenizer::Kind;

namespace {
QString kindName(Kind kind)
{
    static const char* const names[] = {"tag", "attr", "value", "comment", "entity", "doctype", "keyword",
        "string", "number", "regexp", "selector", "property"};
    return QLatin1String(names[int(kind)]);
}

// Every coloured piece of a text, line by line, as "kind:text".
QStringList tokensOf(const QString& text)
{
    QStringList pieces;
    int state = CodeTokenizer::startState(text);
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        QList<CodeTokenizer::Token> tokens;
        state = CodeTokenizer::tokenizeLine(line, state, &tokens);
        for (const CodeTokenizer::Token& token : tokens)
            pieces << kindName(token.kind) + QLatin1Char(':') + line.mid(token.start, token.length);
    }
    return pieces;
}
} // namespace

class TestCodeTokenizer : public QObject
{
    Q_OBJECT

private slots:
    void tokens_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("empty text") << QString() << QStringList();
        QTest::newRow("tag, attribute, entity")
            << QStringLiteral("<a href=\"x.htm\" target=_top>Go &amp; &#20320;</a>")
            << QStringList {"tag:<a", "attr:href", "value:\"x.htm\"", "attr:target", "value:_top", "tag:>",
                   "entity:&amp;", "entity:&#20320;", "tag:</a", "tag:>"};
        QTest::newRow("a lone ampersand and a comparison are text")
            << QStringLiteral("a & b < c") << QStringList();
        QTest::newRow("doctype") << QStringLiteral("<!DOCTYPE html>\n<p>")
                                 << QStringList {"doctype:<!DOCTYPE html>", "tag:<p", "tag:>"};
        QTest::newRow("comment across lines")
            << QStringLiteral("<!-- one <b>\ntwo --><i>")
            << QStringList {"comment:<!-- one <b>", "comment:two -->", "tag:<i", "tag:>"};
        QTest::newRow("a tag across lines") << QStringLiteral("<img\nsrc=\"a.gif\"\n  alt='x\ny'>")
                                            << QStringList {"tag:<img", "attr:src", "value:\"a.gif\"",
                                                   "attr:alt", "value:'x", "value:y'", "tag:>"};
        QTest::newRow("script: keywords, strings, numbers, comments")
            << QStringLiteral("<script>\nvar s = 'x' + 0x1F; // note\nif (a) return 1.5e3;\n</script>")
            << QStringList {"tag:<script", "tag:>", "keyword:var", "string:'x'", "number:0x1F",
                   "comment:// note", "keyword:if", "keyword:return", "number:1.5e3", "tag:</script",
                   "tag:>"};
        QTest::newRow("script: type text/javascript")
            << QStringLiteral("<script type=\"text/javascript\">new Date()</script>")
            << QStringList {"tag:<script", "attr:type", "value:\"text/javascript\"", "tag:>", "keyword:new",
                   "tag:</script", "tag:>"};
        QTest::newRow("a closing tag inside a string ends the script")
            << QStringLiteral("<script>s = \"</script>\";</script>")
            << QStringList {
                   "tag:<script", "tag:>", "string:\"", "tag:</script", "tag:>", "tag:</script", "tag:>"};
        QTest::newRow("unterminated string ends with its line")
            << QStringLiteral("<script>\nvar a = \"open\nvar b;\n</script>")
            << QStringList {"tag:<script", "tag:>", "keyword:var", "string:\"open", "keyword:var",
                   "tag:</script", "tag:>"};
        QTest::newRow("a backslash carries a string on")
            << QStringLiteral("s = 'one\\\ntwo' + x") << QStringList {"string:'one\\", "string:two'"};
        QTest::newRow("unterminated block comment across lines")
            << QStringLiteral("x = 1; /* a\nb */ y = 2; /* open\nz")
            << QStringList {
                   "number:1", "comment:/* a", "comment:b */", "number:2", "comment:/* open", "comment:z"};
        QTest::newRow("template literal across lines") << QStringLiteral(
            "let t = `a\nb` + 1;") << QStringList {"keyword:let", "string:`a", "string:b`", "number:1"};
        QTest::newRow("regular expression and division") << QStringLiteral("x = /a[/]b\\//g.test(s) / 2 / n;")
                                                         << QStringList {"regexp:/a[/]b\\//g", "number:2"};
        QTest::newRow("whole script: JavaScript")
            << QStringLiteral("function f() {\n  return null;\n}")
            << QStringList {"keyword:function", "keyword:return", "keyword:null"};
        QTest::newRow("whole script: VBScript by its content")
            << QStringLiteral("Sub Go()\n  MsgBox \"hi \"\"you\"\"\" ' greet\nEnd Sub")
            << QStringList {"keyword:Sub", "string:\"hi \"\"you\"\"\"", "comment:' greet", "keyword:End",
                   "keyword:Sub"};
        QTest::newRow("VBScript: keywords in any case, Rem comments")
            << QStringLiteral(
                   "<SCRIPT LANGUAGE=\"VBScript\">\nDIM x: x = &HFF\nif x then rem done\nREM all\n</SCRIPT>")
            << QStringList {"tag:<SCRIPT", "attr:LANGUAGE", "value:\"VBScript\"", "tag:>", "keyword:DIM",
                   "number:&HFF", "keyword:if", "keyword:then", "comment:rem done", "comment:REM all",
                   "tag:</SCRIPT", "tag:>"};
        QTest::newRow("VBScript: a word that only starts with rem")
            << QStringLiteral("<script language=vbscript>remove = 1</script>")
            << QStringList {"tag:<script", "attr:language", "value:vbscript", "tag:>", "number:1",
                   "tag:</script", "tag:>"};
        QTest::newRow("style sheet") << QStringLiteral(
            "<style>\nbody, .x { color: #fff; margin: 0 !important } /* c\n*/</style>")
                                     << QStringList {"tag:<style", "tag:>", "selector:body", "selector:.x",
                                            "property:color", "number:#fff", "property:margin", "number:0",
                                            "keyword:!important", "comment:/* c", "comment:*/", "tag:</style",
                                            "tag:>"};
        QTest::newRow("style attribute") << QStringLiteral("<p style=\"color:red; width: 10px\">")
                                         << QStringList {"tag:<p", "attr:style", "value:\"", "property:color",
                                                "property:width", "number:10px", "value:\"", "tag:>"};
        QTest::newRow("HTML after a script")
            << QStringLiteral("<script>\nvar a;</script><b>&lt;</b>")
            << QStringList {"tag:<script", "tag:>", "keyword:var", "tag:</script", "tag:>", "tag:<b", "tag:>",
                   "entity:&lt;", "tag:</b", "tag:>"};
    }

    void tokens()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QCOMPARE(tokensOf(text), expected);
    }
};

QTEST_APPLESS_MAIN(TestCodeTokenizer)
#include "test_codetokenizer.moc"
