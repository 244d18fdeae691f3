#pragma once

#include <QObject>
#include <QPointer>

class QLineEdit;
class QWidget;

// The control the window's commands serve: the one with the keyboard focus. A menu bar takes the
// focus when a menu is opened from the keyboard (Alt and a letter) and a menu may take it while
// it is open; the commands then serve the control that had the focus before, as they do when
// the same menu is opened with the mouse. A single-line box keeps its selection meanwhile,
// which Qt would drop when the menu bar takes the focus.
class CommandFocus : public QObject
{
    Q_OBJECT
public:
    explicit CommandFocus(QObject* parent);
    ~CommandFocus() override;

    QWidget* widget() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void focusMoved(QWidget* from, QWidget* to);

    QPointer<QWidget> m_beforeMenus;
    QPointer<QLineEdit> m_selectionOwner;
    int m_selectionStart = 0;
    int m_selectionLength = 0;
};
