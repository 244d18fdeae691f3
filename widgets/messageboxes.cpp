#include "messageboxes.h"

#include "ownedbox.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>

namespace {
// Squares of a title bar's height beside the caption: the frame's icon, minimise, maximise and
// close, and the gaps between them.
constexpr int kFrameButtonSquares = 5;

int captionRoom(const QWidget& box)
{
    // Title bars set the caption in the desktop's title font, most often a bold face.
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    const int titleBar = box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
    return QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kFrameButtonSquares * titleBar;
}
} // namespace

void MessageBoxes::makeRoomForCaption(QMessageBox& box)
{
    // A message box fixes its size from its layout as it is shown: a strut laid over the top row
    // widens the layout without making it taller.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(captionRoom(box), 0, QSizePolicy::Fixed, QSizePolicy::Fixed), 0, 0, 1,
            grid->columnCount());
    }
}

void MessageBoxes::information(const QString& message)
{
    OwnedBox<QMessageBox> box(QMessageBox::NoIcon, kApplicationTitle, message, QMessageBox::Ok);
    box->setObjectName(QStringLiteral("InformationBox"));
    makeRoomForCaption(*box);
    box.exec();
}

bool MessageBoxes::confirm(const QString& message)
{
    OwnedBox<QMessageBox> box(
        QMessageBox::Question, QStringLiteral("Confirm"), message, QMessageBox::NoButton);
    box->setObjectName(QStringLiteral("ConfirmationBox"));
    QPushButton* yes = box->addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* no = box->addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box->setDefaultButton(yes);
    box->setEscapeButton(no);
    makeRoomForCaption(*box);
    return box.exec() && box->clickedButton() == yes;
}

bool MessageBoxes::prompt(const QString& caption, const QString& promptText, QString& value)
{
    OwnedBox<QInputDialog> owned;
    QInputDialog& dialog = *owned;
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
    // The dialog lays itself out only when shown and then takes its children's sizes.
    if (auto* label = dialog.findChild<QLabel*>())
        label->setMinimumWidth(captionRoom(dialog));
    if (!owned.exec() || dialog.result() != QDialog::Accepted)
        return false;
    value = dialog.textValue();
    return true;
}

void MessageBoxes::plain(const QString& caption, const QString& message, const QString& detail)
{
    OwnedBox<QMessageBox> box(QMessageBox::NoIcon, caption, message, QMessageBox::Ok);
    box->setInformativeText(detail);
    box->setObjectName(QStringLiteral("PlainBox"));
    makeRoomForCaption(*box);
    box.exec();
}

MessageBoxes::Choice MessageBoxes::askToSave(const QString& message)
{
    OwnedBox<QMessageBox> box(QMessageBox::Question, kApplicationTitle, message, QMessageBox::NoButton);
    box->setObjectName(QStringLiteral("SaveQuestionBox"));
    QPushButton* save = box->addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    QPushButton* discard = box->addButton(QStringLiteral("不保存"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box->setDefaultButton(save);
    box->setEscapeButton(cancel);
    makeRoomForCaption(*box);
    if (!box.exec())
        return Choice::Cancel;
    if (box->clickedButton() == save)
        return Choice::Save;
    return box->clickedButton() == discard ? Choice::Discard : Choice::Cancel;
}
