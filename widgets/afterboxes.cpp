#include "afterboxes.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

void runAfterOpenBoxes(QObject* context, std::function<void()> action, const QWidget* besides)
{
    QTimer::singleShot(0, context, [context, action = std::move(action), besides]() mutable {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || box == besides) {
            action();
            return;
        }
        // A dialog may outlive its answer; any other window is waited for until it is gone.
        auto again = [context, action = std::move(action), besides]() mutable {
            runAfterOpenBoxes(context, std::move(action), besides);
        };
        if (auto* dialog = qobject_cast<QDialog*>(box))
            QObject::connect(dialog, &QDialog::finished, context, again, Qt::SingleShotConnection);
        else
            QObject::connect(box, &QObject::destroyed, context, again, Qt::SingleShotConnection);
    });
}
