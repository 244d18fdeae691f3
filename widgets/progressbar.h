#pragma once

#include <QWidget>

// A progress bar with the range, step and wrapping of a classic progress control: a maximum of
// 0 shows an empty bar (never a busy animation), and a step past the maximum starts it over.
class ProgressBar : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressBar(QWidget* parent);

    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    int position() const { return m_position; }
    int step() const { return m_step; }
    void setMinimum(int value);
    void setMaximum(int value);
    void setStep(int value) { m_step = value; }
    void setPosition(int value);
    void stepIt();
    // Successive statements tick the bar along as an activity indicator: a range of `steps`,
    // one step further.
    void tickAlong(int steps);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
    int m_step = 10;
};
