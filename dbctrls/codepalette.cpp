#include "codepalette.h"

namespace CodePalette {

QColor tokenColor(CodeTokenizer::Kind kind)
{
    using CodeTokenizer::Kind;
    switch (kind) {
    case Kind::Tag:
    case Kind::CssSelector:
        return QColor(0x7d, 0x2b, 0x1f); // brick
    case Kind::AttributeName:
    case Kind::CssProperty:
        return QColor(0x8a, 0x5a, 0x00); // ochre
    case Kind::AttributeValue:
    case Kind::String:
        return QColor(0x2e, 0x6e, 0x32); // moss green
    case Kind::Comment:
        return QColor(0x85, 0x80, 0x6c); // warm grey
    case Kind::Entity:
        return QColor(0x7a, 0x3e, 0x9d); // plum
    case Kind::Doctype:
        return QColor(0x6b, 0x6b, 0x80); // slate
    case Kind::Keyword:
        return QColor(0x1f, 0x45, 0x8f); // navy
    case Kind::Number:
        return QColor(0xa0, 0x52, 0x2d); // sienna
    case Kind::RegExp:
        return QColor(0xa3, 0x2d, 0x5e); // raspberry
    }
    return QColor(Qt::black);
}

QColor currentLine()
{
    return QColor(0xf5, 0xee, 0xdf);
}

QColor matchingBracket()
{
    return QColor(0xe8, 0xd5, 0xa4);
}

QColor unmatchedBracket()
{
    return QColor(0xf2, 0xc4, 0xb8);
}

QColor gutterBackground()
{
    return QColor(0xf3, 0xed, 0xe2);
}

QColor gutterNumber()
{
    return QColor(0xa3, 0x99, 0x88);
}

QColor gutterCurrentNumber()
{
    return QColor(0x5a, 0x50, 0x40);
}

} // namespace CodePalette
