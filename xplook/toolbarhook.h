// The tool bar's custom-draw hook on this toolkit: an event filter on the bar's buttons and
// separators that paints them through the tool bar painter instead of letting them draw.
// The toolkit asks each separator to paint itself, so the separator is painted there, by the
// same rule the button after it would apply; a separator with no button after it is left alone.

#pragma once

#include <QObject>
#include <QPointer>

class QToolBar;
class QToolButton;
class QWidget;
class TXPLook;

class XPToolBarHook : public QObject
{
    Q_OBJECT
public:
    // The hook installed on the bar, or nullptr.
    static XPToolBarHook* installedOn(const QToolBar* bar);
    XPToolBarHook(TXPLook* look, QToolBar* bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QWidget* child);
    void paintButton(QToolButton* button);
    void paintSeparator(QWidget* separator);

    QPointer<TXPLook> look;
    QToolBar* bar;
};

// The band-paint hook of a control bar: each child is a band.
class XPControlBarHook : public QObject
{
    Q_OBJECT
public:
    static XPControlBarHook* installedOn(const QWidget* bar);
    XPControlBarHook(TXPLook* look, QWidget* bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<TXPLook> look;
    QWidget* bar;
};

namespace XP {
// Installs (activate) or removes the hook on a tool bar, and the band painting on a control bar.
void hookToolBar(TXPLook& look, QToolBar* bar, bool activate);
void hookControlBar(TXPLook& look, QWidget* bar, bool activate);
} // namespace XP
