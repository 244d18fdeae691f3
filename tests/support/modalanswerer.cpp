#include "modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

ModalAnswerer::ModalAnswerer(QList<Answer> answers)
    : m_answers(std::move(answers))
    , m_timer(new QTimer(this))
{
    connect(m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer->start(10);
}

ModalAnswerer::~ModalAnswerer() = default;

void ModalAnswerer::poll()
{
    if (m_answers.isEmpty()) {
        m_timer->stop();
        return;
    }
    QWidget* box = QApplication::activeModalWidget();
    if (!box || !box->isVisible())
        return;
    if (box != m_current) {
        m_current = box;
        m_appearedAt = QDateTime::currentMSecsSinceEpoch();
    }
    const Answer answer = m_answers.first();
    if (QDateTime::currentMSecsSinceEpoch() - m_appearedAt < answer.delayMs)
        return;

    SeenBox seen;
    seen.objectName = box->objectName();
    seen.title = box->windowTitle();
    if (auto* message = qobject_cast<QMessageBox*>(box)) {
        seen.text = message->text();
        seen.detail = message->informativeText();
        seen.iconKind = message->icon();
        seen.hasIcon = message->icon() != QMessageBox::NoIcon;
        if (message->defaultButton())
            seen.defaultButton = message->defaultButton()->text();
        if (message->escapeButton())
            seen.escapeButton = message->escapeButton()->text();
    } else if (auto* input = qobject_cast<QInputDialog*>(box)) {
        seen.text = input->labelText();
        if (!answer.typeText.isNull())
            input->setTextValue(answer.typeText);
    }
    QAbstractButton* press = nullptr;
    if (auto* buttons = box->findChild<QDialogButtonBox*>()) {
        for (QAbstractButton* button : buttons->buttons()) {
            seen.buttons << button->text();
            if (button->text() == answer.button)
                press = button;
        }
    }
    if (answer.whileOpen)
        answer.whileOpen(box);
    m_seen << seen;
    m_answers.removeFirst();
    if (press)
        press->click();
    else
        box->close();
}
