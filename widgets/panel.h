#pragma once

#include <QWidget>

// A plain container without bevels that groups controls and paints the button-face colour.
class TPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TPanel(QWidget* parent = nullptr)
        : QWidget(parent)
    { }
};
