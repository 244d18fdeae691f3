#include "statusbar.h"

#include <QPainter>
#include <QStyleOption>

StatusBar::StatusBar(const std::vector<int>& panelWidths, QWidget* parent)
    : QWidget(parent)
    , m_widths(panelWidths)
{
    for (size_t i = 0; i < m_widths.size(); ++i)
        m_texts << QString();
}

void StatusBar::setPanelText(int panel, const QString& text)
{
    if (m_texts.at(panel) == text)
        return;
    m_texts[panel] = text;
    update(panelRect(panel));
}

QRect StatusBar::panelRect(int panel) const
{
    int left = 0;
    for (int i = 0; i < panel; ++i)
        left += m_widths[i];
    const bool last = panel == panelCount() - 1;
    const int width = last ? std::max(m_widths[panel], this->width() - left) : m_widths[panel];
    return QRect(left, 0, width, height());
}

void StatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& pal = palette();
    painter.fillRect(rect(), pal.button());
    for (int i = 0; i < panelCount(); ++i) {
        // Each panel is a sunken slot with a two-pixel gap to the next one.
        const QRect slot = panelRect(i).adjusted(0, 2, -2, 0);
        painter.setPen(pal.color(QPalette::Dark));
        painter.drawLine(slot.topLeft(), slot.topRight());
        painter.drawLine(slot.topLeft(), slot.bottomLeft());
        painter.setPen(pal.color(QPalette::Light));
        painter.drawLine(slot.bottomLeft(), slot.bottomRight());
        painter.drawLine(slot.topRight(), slot.bottomRight());
        painter.setPen(pal.color(QPalette::WindowText));
        painter.drawText(
            slot.adjusted(3, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_texts[i]);
    }
}
