#pragma once

#include <QStringList>
#include <QWidget>

#include <vector>

class QTimer;

// A status bar of fixed-width text panels; the last panel runs on to the right edge. Child
// widgets (the progress bar) are placed by their owner and are not moved by the bar.
class StatusBar : public QWidget
{
    Q_OBJECT
public:
    StatusBar(const std::vector<int>& panelWidths, QWidget* parent);

    int panelCount() const { return int(m_widths.size()); }
    int panelWidth(int panel) const { return m_widths.at(panel); }
    QString panelText(int panel) const { return m_texts.at(panel); }
    void setPanelText(int panel, const QString& text);
    // The panel's rectangle as drawn, the last one reaching the right edge.
    QRect panelRect(int panel) const;

    // A notice stands over the text panels left of the hosted progress bar for a while, then
    // the panels show again. A newer notice replaces an older one.
    static constexpr int kNoticeMs = 10000;
    void showNotice(const QString& text);
    QString notice() const { return m_notice; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void clearNotice();

    std::vector<int> m_widths;
    QStringList m_texts;
    QString m_notice;
    QTimer* m_noticeTimer = nullptr;
};
