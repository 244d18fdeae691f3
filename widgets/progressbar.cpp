#include "progressbar.h"

#include <QPainter>

ProgressBar::ProgressBar(QWidget* parent)
    : QWidget(parent)
{ }

void ProgressBar::setMinimum(int value)
{
    m_min = value;
    m_max = std::max(m_max, m_min);
    setPosition(m_position);
}

void ProgressBar::setMaximum(int value)
{
    m_max = value;
    m_min = std::min(m_min, m_max);
    setPosition(m_position);
}

void ProgressBar::setPosition(int value)
{
    m_position = std::clamp(value, m_min, m_max);
    update();
}

void ProgressBar::stepIt()
{
    const int next = m_position + m_step;
    m_position = next > m_max ? m_min : next;
    update();
}

void ProgressBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& pal = palette();
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(), pal.button());
    painter.setPen(pal.color(QPalette::Dark));
    painter.drawRect(frame);
    if (m_max <= m_min || m_position <= m_min)
        return;
    const QRect inner = rect().adjusted(2, 2, -2, -2);
    const int filled = int(qint64(inner.width()) * (m_position - m_min) / (m_max - m_min));
    // Drawn in blocks, like the classic control.
    constexpr int kBlock = 8;
    for (int x = 0; x < filled; x += kBlock + 2)
        painter.fillRect(QRect(inner.left() + x, inner.top(), std::min(kBlock, filled - x), inner.height()),
            pal.highlight());
}

void ProgressBar::tickAlong(int steps)
{
    setMaximum(steps);
    setMinimum(0);
    setStep(1);
    stepIt();
}
