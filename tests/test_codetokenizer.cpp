// The code tokenizer on snippets: HTML with the CSS and scripts it holds, whole scripts, and
// constructs that go on past the end of a line.

#include "text/codetokenizer.h"

#include <QtTest>

#include <limits>

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
        QTest::newRow("template literal: code inside ${}")
            << QStringLiteral("let t = `a${new Date() + `b${1}`}c`; var d;")
            << QStringList {"keyword:let", "string:`a", "keyword:new", "string:`b", "number:1", "string:`",
                   "string:c`", "keyword:var"};
        QTest::newRow("template literal: ${} across lines")
            << QStringLiteral("x = `a${\n  f({k: 1})\n}b`\nvar y;")
            << QStringList {"string:`a", "number:1", "string:b`", "keyword:var"};
        QTest::newRow("keywords as property names")
            << QStringLiteral(
                   "o.delete(); x = {default: 1, new: 2}; switch (a) { default: break; } f(...this)")
            << QStringList {"number:1", "number:2", "keyword:switch", "keyword:default", "keyword:break",
                   "keyword:this"};
        QTest::newRow("a slash that starts a continued line divides")
            << QStringLiteral("x = a\n/ b / c;\ny = /re/;") << QStringList {"regexp:/re/"};
        QTest::newRow("a line of unclosed patterns")
            << QStringLiteral("x = /[/ + /a/;\n/\\/\\/\\ z") << QStringList {"regexp:/ + /a"};
        QTest::newRow("style sheet: @media and its rules")
            << QStringLiteral(
                   "<style>\n@media screen and (max-width: 600px) {\n  body { color: red }\n}\np { margin: 0 "
                   "}\n</style>")
            << QStringList {"tag:<style", "tag:>", "keyword:@media", "property:max-width", "number:600px",
                   "selector:body", "property:color", "selector:p", "property:margin", "number:0",
                   "tag:</style", "tag:>"};
        QTest::newRow("style sheet: functions and addresses")
            << QStringLiteral("<p style=\"color: rgba(0, 0, 0, .5); background: url(http://x.org/a.gif)\">")
            << QStringList {"tag:<p", "attr:style", "value:\"", "property:color", "keyword:rgba", "number:0",
                   "number:0", "number:0", "number:.5", "property:background", "keyword:url",
                   "string:http://x.org/a.gif", "value:\"", "tag:>"};
        QTest::newRow("style sheet: a brace quoted in a selector")
            << QStringLiteral("<style>a[title=\"x{y}\"] { color: red }</style>")
            << QStringList {"tag:<style", "tag:>", "selector:a[title=\"x{y}\"]", "property:color",
                   "tag:</style", "tag:>"};
        QTest::newRow("style attribute: a comment across lines")
            << QStringLiteral("<p style=\"color: red; /* a\nb */ width: 1px\">")
            << QStringList {"tag:<p", "attr:style", "value:\"", "property:color", "comment:/* a",
                   "comment:b */", "property:width", "number:1px", "value:\"", "tag:>"};
        QTest::newRow("a value on the line after its =") << QStringLiteral(
            "<a href=\n  \"x\">") << QStringList {"tag:<a", "attr:href", "value:\"x\"", "tag:>"};
        QTest::newRow("entities inside attribute values")
            << QStringLiteral("<a title=\"a &amp; b\" alt=x&lt;y>")
            << QStringList {"tag:<a", "attr:title", "value:\"a ", "entity:&amp;", "value: b\"", "attr:alt",
                   "value:x", "entity:&lt;", "value:y", "tag:>"};
        QTest::newRow("HTML after a line of instructions")
            << QStringLiteral("把下面代码放进<head>区\n<script>var a;</script>\n<p class=\"x\">")
            << QStringList {"tag:<head", "tag:>", "tag:<script", "tag:>", "keyword:var", "tag:</script",
                   "tag:>", "tag:<p", "attr:class", "value:\"x\"", "tag:>"};
        QTest::newRow("HTML after a comment") << QStringLiteral("/* note */\n<style>p { margin: 0 }</style>")
                                              << QStringList {"tag:<style", "tag:>", "selector:p",
                                                     "property:margin", "number:0", "tag:</style", "tag:>"};
        QTest::newRow("HTML after a placeholder")
            << QStringLiteral("${placeholder}\n<div class=\"x\"></div>")
            << QStringList {"tag:<div", "attr:class", "value:\"x\"", "tag:>", "tag:</div", "tag:>"};
        QTest::newRow("a script writing tags stays a script")
            << QStringLiteral("var s = \"<b>\";\nif (a <b) f();")
            << QStringList {"keyword:var", "string:\"<b>\"", "keyword:if"};
    }

    // A text block's default state, and numbers no line ever gives back, read as the start of HTML.
    void unknownStatesStartHtml_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("a text block's default") << -1;
        QTest::newRow("the smallest number") << std::numeric_limits<int>::min();
        QTest::newRow("the largest number") << std::numeric_limits<int>::max();
        QTest::newRow("no such mode") << 7;
        QTest::newRow("no such attribute place") << (7 << 5);
        QTest::newRow("no such construct") << (7 << 10);
    }

    void unknownStatesStartHtml()
    {
        QFETCH(int, state);
        const QString line = QStringLiteral("<b title='x'>&amp;</b><script>var a = 1;");
        QList<CodeTokenizer::Token> expected;
        const int expectedEnd = CodeTokenizer::tokenizeLine(line, CodeTokenizer::htmlState(), &expected);
        QList<CodeTokenizer::Token> tokens;
        QCOMPARE(CodeTokenizer::tokenizeLine(line, state, &tokens), expectedEnd);
        QCOMPARE(tokens, expected);
        QCOMPARE(CodeTokenizer::passLine(line, state), expectedEnd);
    }

    // The quick pass over a line too long to colour carries what the tokenizer would: scripts
    // and style sheets opened and closed, and comments left open.
    void aPassedLineCarriesItsState_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("line");
        const QString data = QStringLiteral("data:image/png;base64,") + QString(12000, QLatin1Char('A'));
        QTest::newRow("a script closed")
            << QStringLiteral("<script>") << QStringLiteral("var u = \"%1\";</script><p>").arg(data);
        QTest::newRow("a script opened")
            << QString() << QStringLiteral("<img src=\"%1\"><script type='text/vbscript'>x").arg(data);
        QTest::newRow("a style sheet closed")
            << QStringLiteral("<style>") << QStringLiteral("p { background: url(%1) }</style>").arg(data);
        QTest::newRow("a comment opened")
            << QStringLiteral("<script>") << QStringLiteral("var u = '%1'; /* open").arg(data);
        QTest::newRow("a comment closed")
            << QStringLiteral("<script>/*") << QStringLiteral("%1 */ var u = 1;").arg(data);
        QTest::newRow("an HTML comment opened")
            << QString() << QStringLiteral("<p title=\"%1\">text</p><!-- open").arg(data);
        QTest::newRow("a whole script") << QString() << QStringLiteral("var u = '%1';").arg(data);
    }

    void aPassedLineCarriesItsState()
    {
        QFETCH(QString, before);
        QFETCH(QString, line);
        QList<CodeTokenizer::Token> tokens;
        const int state
            = CodeTokenizer::tokenizeLine(before, CodeTokenizer::startState(before + line), &tokens);
        QCOMPARE(CodeTokenizer::passLine(line, state), CodeTokenizer::tokenizeLine(line, state, &tokens));
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
