#include "pageview.h"

PageView::PageView(QWidget* parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette blank = palette();
    blank.setColor(QPalette::Window, Qt::white);
    setPalette(blank);
}
