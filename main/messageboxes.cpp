#include "messageboxes.h"

#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

void MessageBoxes::information(const QString& message)
{
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, message, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("InformationBox"));
    box.exec();
}

bool MessageBoxes::confirm(const QString& message)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), message);
    box.setObjectName(QStringLiteral("ConfirmationBox"));
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

bool MessageBoxes::prompt(const QString& caption, const QString& promptText, QString& value)
{
    QInputDialog dialog;
    dialog.setObjectName(QStringLiteral("PromptBox"));
    dialog.setWindowTitle(caption);
    dialog.setLabelText(promptText);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Cancel"));
    dialog.setTextValue(value.left(kPromptMaxLength));
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        edit->setMaxLength(kPromptMaxLength);
        edit->selectAll();
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = dialog.textValue();
    return true;
}

void MessageBoxes::plain(const QString& caption, const QString& message, const QString& detail)
{
    QMessageBox box(QMessageBox::NoIcon, caption, message, QMessageBox::Ok);
    box.setInformativeText(detail);
    box.setObjectName(QStringLiteral("PlainBox"));
    box.exec();
}

MessageBoxes::Choice MessageBoxes::askToSave(const QString& message)
{
    QMessageBox box(QMessageBox::Question, kApplicationTitle, message);
    box.setObjectName(QStringLiteral("SaveQuestionBox"));
    QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("不保存"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return Choice::Save;
    return box.clickedButton() == discard ? Choice::Discard : Choice::Cancel;
}
