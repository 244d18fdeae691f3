#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

// A fetched value, kept without any allocation of its own: a text stays in its stored UTF-8
// bytes, in a block of a TextArena, until someone asks for it. A load reads few of the columns
// it fetches.
struct Cell
{
    enum Kind : quint8 { Null, Integer, Real, Text };
    Kind kind = Null;
    qint64 integer = 0;
    double real = 0;
    const char* text = nullptr;
    qsizetype size = 0;
    // A long text decoded as it was fetched, which it gives back exactly; text is then unused.
    const QString* decoded = nullptr;

    // A text cell's text, decoded from UTF-8, and the bytes it was read with.
    QString textValue() const;
    QByteArray bytes() const;
    // The value as the program reads it: a text decoded from UTF-8.
    QVariant value() const;
    // The value as stored: a text as the bytes it was read with, since decoding bytes that are
    // not UTF-8 would give a value the row no longer matches.
    QVariant storedValue() const;
};

// Where the cells' texts are kept: large blocks filled one text after another, so a thousand
// short names cost one allocation and a long script one copy of its bytes.
class TextArena
{
public:
    Cell keepText(const char* data, qsizetype size);
    // Keeps a long text that is valid UTF-8 decoded, and any other text as its bytes: a text
    // about to be shown is then decoded once, straight from where it was read.
    Cell keepDecodedText(QByteArrayView bytes);
    Cell cellFrom(const QVariant& value);
    // Forgets every text kept. The first block stays for the next use: loads open many small
    // results in a row.
    void release();

private:
    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::vector<std::unique_ptr<QString>> m_decoded;
    char* m_free = nullptr;
    qsizetype m_left = 0;
};
