#include "statusbar.h"

#include <QPainter>
#include <QStyleOption>
#include <QTimer>

namespace {
// The notice covers panels 0 to 2: panel 3 hosts the progress bar.
constexpr int kNoticePanels = 3;
} // namespace

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

void StatusBar::showNotice(const QString& text)
{
    if (!m_noticeTimer) {
        m_noticeTimer = new QTimer(this);
        m_noticeTimer->setSingleShot(true);
        connect(m_noticeTimer, &QTimer::timeout, this, &StatusBar::clearNotice);
    }
    m_notice = text;
    setToolTip(text);
    m_noticeTimer->start(kNoticeMs);
    update();
}

void StatusBar::clearNotice()
{
    m_notice.clear();
    setToolTip({});
    update();
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
        if (m_notice.isEmpty() || i >= kNoticePanels)
            painter.drawText(slot.adjusted(3, 0, -2, 0),
                Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_texts[i]);
    }
    if (!m_notice.isEmpty()) {
        const QRect area = panelRect(0).united(panelRect(kNoticePanels - 1)).adjusted(0, 2, -2, 0);
        painter.fillRect(area.adjusted(1, 1, -1, -1), pal.button());
        painter.setPen(pal.color(QPalette::WindowText));
        const QRect textArea = area.adjusted(3, 0, -2, 0);
        painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
            fontMetrics().elidedText(m_notice, Qt::ElideMiddle, textArea.width()));
    }
}
