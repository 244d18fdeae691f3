#pragma once

#include <QWidget>

class TDBMemo;

// The strip left of a code editor's text that shows the line numbers. The editor paints it,
// since only the editor knows where its lines stand.
class LineNumberGutter : public QWidget
{
    Q_OBJECT
public:
    explicit LineNumberGutter(TDBMemo* memo);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TDBMemo* m_memo;
};
