#include "linenumbergutter.h"

#include "dbmemo.h"

LineNumberGutter::LineNumberGutter(TDBMemo* memo)
    : QWidget(memo)
    , m_memo(memo)
{
    setObjectName(QStringLiteral("LineNumberGutter"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LineNumberGutter::paintEvent(QPaintEvent* event)
{
    m_memo->paintLineNumbers(event);
}
