#pragma once

#include <QList>
#include <QStringView>

// Splits the code of a web effect into coloured pieces, one line at a time: HTML with the CSS
// and scripts it holds, or a whole text that is only a JavaScript or VBScript. What a line needs
// from the lines above it is one small number, its start state, which the line's tokenizing
// gives back for the next line; so an editor colours only the lines it shows and keeps the
// number of every line it passed.
namespace CodeTokenizer {

enum class Kind : quint8 {
    Tag, // tag names and the angle brackets around them
    AttributeName,
    AttributeValue,
    Comment,
    Entity,
    Doctype,
    Keyword,
    String,
    Number,
    RegExp,
    CssSelector,
    CssProperty,
};
constexpr int kKindCount = int(Kind::CssProperty) + 1;

// Characters that are not in any token are plain text.
struct Token
{
    int start;
    int length;
    Kind kind;
    friend bool operator==(const Token&, const Token&) = default;
};

// The state before the first line of `text`: HTML when a tag opens an element within its first
// lines (a line of instructions or a comment may come before it), otherwise a script, VBScript
// when it reads like one and JavaScript otherwise. Only the start of a long text is looked at.
int startState(QStringView text);

// The state a line starts in when only HTML came before it.
int htmlState();
int javaScriptState();
int vbScriptState();

// Appends the tokens of one line (without its line break) to `tokens`, in order, and returns
// the state the next line starts in. A state no line gave back counts as the start of HTML.
int tokenizeLine(QStringView line, int state, QList<Token>* tokens);

// The state after a line without tokenizing it: a quick pass for lines too long to colour, which
// carries the script and style tags and the comments they open or close, and drops strings.
int passLine(QStringView line, int state);

} // namespace CodeTokenizer
