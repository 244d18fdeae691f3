#pragma once

#include "fieldinput.h"

#include <QPlainTextEdit>
#include <QTextCursor>

class CodeColouring;
class DataSource;
class LineNumberGutter;

// A multi-line editor bound to one column. The library keeps CR LF line ends; the editor shows
// plain lines and gives CR LF back. Tab moves the focus on, Enter breaks the line; in the code
// editor Tab and Shift+Tab indent, and Enter carries the line's indentation on.
class TDBMemo : public FieldInput<QPlainTextEdit>
{
    Q_OBJECT
public:
    explicit TDBMemo(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    void setDataField(const QString& field);
    // The editor's whole text with CR LF line ends.
    QString text() const;

    // Makes this the code editor: coloured code in a fixed-width face, line numbers, and marks
    // on the caret's line and on the brackets beside the caret.
    void showAsCode();
    bool showsCode() const { return m_colouring != nullptr; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class LineNumberGutter;

    void showField(const QString& value);
    // Tab, Shift+Tab and Enter in the code editor; false for any other key.
    bool indentingKey(QKeyEvent* event);
    // Wrapping at word boundaries looks for a break point to the end of the line for every
    // wrapped row, which freezes the window on a long line without one (a minified script, a
    // data URL). Lines that long are wrapped anywhere instead.
    static QTextOption::WrapMode wrapModeFor(qsizetype longestLine);
    void wrapFor(qsizetype longestLine);
    void checkLineLength(int position, int removed, int added);

    void colourShownLines(const QRect& painted);
    int gutterWidth(qsizetype lines) const;
    void fitGutter(qsizetype lines);
    void fitGutterToText();
    void followUpdate(const QRect& rect, int dy);
    void paintLineNumbers(QPaintEvent* event);
    void markCaret();
    void keepCaretLineShaped();
    void dropShapes(const QTextBlock& block);

    QString m_shownValue; // the field's text last shown, and whether the editor still holds it
    bool m_shownUntouched = false;
    bool m_showing = false;
    CodeColouring* m_colouring = nullptr;
    LineNumberGutter* m_gutter = nullptr;
    int m_caretLine = -1; // the line whose number the gutter shows as the caret's
    QTextCursor m_shapedLine; // at the start of the line whose shaped glyphs are kept, if any
};
