#include "scriptdialogs.h"

#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {
const QString kOk = QStringLiteral("确定");
const QString kCancel = QStringLiteral("取消");

// A box the page's text cannot style or link from.
bool askBox(
    QWidget* parent, const QString& caption, const QString& message, QMessageBox::Icon icon, bool withCancel)
{
    QMessageBox box(icon, caption, message, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* ok = box.addButton(kOk, QMessageBox::AcceptRole);
    if (withCancel)
        box.setEscapeButton(box.addButton(kCancel, QMessageBox::RejectRole));
    else
        box.setEscapeButton(ok);
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok;
}
} // namespace

QString ScriptDialogs::caption(const QString& scriptName)
{
    return scriptName.isEmpty() ? QStringLiteral("网页消息")
                                : QStringLiteral("网页消息 - %1").arg(scriptName);
}

void ScriptDialogs::alert(QWidget* parent, const QString& caption, const QString& message)
{
    askBox(parent, caption, message, QMessageBox::Information, false);
}

bool ScriptDialogs::confirm(QWidget* parent, const QString& caption, const QString& message)
{
    return askBox(parent, caption, message, QMessageBox::Question, true);
}

bool ScriptDialogs::prompt(QWidget* parent, const QString& caption, const QString& message,
    const QString& defaultValue, QString* result)
{
    QInputDialog box(parent);
    box.setWindowTitle(caption);
    box.setLabelText(message);
    if (auto* label = box.findChild<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    box.setTextValue(defaultValue);
    box.setOkButtonText(kOk);
    box.setCancelButtonText(kCancel);
    if (box.exec() != QDialog::Accepted)
        return false;
    *result = box.textValue();
    return true;
}
