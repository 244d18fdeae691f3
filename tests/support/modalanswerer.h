#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class QTimer;
class QWidget;

// What the answerer saw of one modal box before it pressed a button.
struct SeenBox
{
    QString objectName;
    QString title;
    QString text;
    QString detail; // a message box's informative text
    QStringList buttons; // button texts in the box's order
    QString defaultButton;
    QString escapeButton;
    bool hasIcon = false;
    int iconKind = 0;
};

struct Answer
{
    QString button; // text of the button to press, as shown (with "&")
    QString typeText = {}; // for a text prompt: replaces the text before pressing
    int delayMs = 0; // keep the box up at least this long before answering
    std::function<void(QWidget*)> whileOpen = {}; // runs just before the button is pressed
};

// Answers the next modal boxes, in order, by pressing a button, the way a user would.
class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    explicit ModalAnswerer(QList<Answer> answers);
    ~ModalAnswerer() override;

    const QList<SeenBox>& seen() const { return m_seen; }
    bool done() const { return m_answers.isEmpty(); }

private:
    void poll();

    QList<Answer> m_answers;
    QList<SeenBox> m_seen;
    QTimer* m_timer;
    QPointer<QWidget> m_current;
    qint64 m_appearedAt = 0;
};
