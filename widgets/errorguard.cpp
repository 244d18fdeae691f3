#include "errorguard.h"

#include "messageboxes.h"
#include "ownedbox.h"

#include <QMessageBox>

QString defaultErrorText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void showDefaultErrorBox(const QString& message)
{
    OwnedBox<QMessageBox> box(
        QMessageBox::Critical, MessageBoxes::kApplicationTitle, defaultErrorText(message), QMessageBox::Ok);
    box->setObjectName(QStringLiteral("DefaultErrorBox"));
    MessageBoxes::makeRoomForCaption(*box);
    box.exec();
}
