#pragma once

#include <QWidget>

// The preview page's place in the "预览" tab. The HTML engine behind it is created the first
// time a page is shown, so that starting the program does not wait for it.
class PageView : public QWidget
{
    Q_OBJECT
public:
    explicit PageView(QWidget* parent);
};
