#include "scriptdialogs.h"

#include <QApplication>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace {
const QString kOk = QStringLiteral("确定");
const QString kCancel = QStringLiteral("取消");

// A screenful of lines, each as long as a wide box shows.
constexpr int kShownLines = 30;
constexpr int kShownLineLength = 200;
// The window system's title bar holds an icon and buttons beside the caption.
constexpr int kTitleBarExtras = 160;

// Wide enough for the caption in the title bar's bold face, but never wider than the screen.
int widthForCaption(const QWidget* parent, const QString& caption)
{
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->availableGeometry().width() : 1024;
    return qMin(QFontMetrics(titleFont).horizontalAdvance(caption) + kTitleBarExtras, screenWidth - 40);
}

// Keeps the box open under *shown for as long as it runs.
int run(QDialog& box, QPointer<QDialog>* shown)
{
    *shown = &box;
    const int result = box.exec();
    *shown = nullptr;
    return result;
}

// A box the page's text cannot style or link from.
bool askBox(QWidget* parent, const QString& caption, const QString& message, QMessageBox::Icon icon,
    bool withCancel, QPointer<QDialog>* shown)
{
    QMessageBox box(icon, caption, ScriptDialogs::shownText(message), QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* ok = box.addButton(kOk, QMessageBox::AcceptRole);
    if (withCancel)
        box.setEscapeButton(box.addButton(kCancel, QMessageBox::RejectRole));
    else
        box.setEscapeButton(ok);
    box.setDefaultButton(ok);
    // The box sizes itself from its layout, which this row widens.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(widthForCaption(parent, caption), 0), grid->rowCount(), 0, 1,
            grid->columnCount());
    run(box, shown);
    return box.clickedButton() == ok;
}
} // namespace

QString ScriptDialogs::caption(const QString& scriptName)
{
    return scriptName.isEmpty() ? QStringLiteral("网页消息")
                                : QStringLiteral("网页消息 - %1").arg(scriptName);
}

QString ScriptDialogs::shownText(const QString& message)
{
    QStringList lines = message.split(QLatin1Char('\n'));
    const qsizetype hidden = qMax<qsizetype>(0, lines.size() - kShownLines);
    lines = lines.mid(0, kShownLines);
    bool cut = false;
    for (QString& line : lines) {
        if (line.size() > kShownLineLength) {
            line = line.left(kShownLineLength) + QStringLiteral("…");
            cut = true;
        }
    }
    if (hidden > 0)
        lines << QStringLiteral("……（以下还有 %1 行未显示）").arg(hidden);
    else if (cut)
        lines << QStringLiteral("……（过长的行只显示了开头）");
    return lines.join(QLatin1Char('\n'));
}

QString ScriptDialogs::leaveQuestion()
{
    return QStringLiteral("确实要离开此页面吗？页面上所做的更改可能不会保留。");
}

void ScriptDialogs::alert(
    QWidget* parent, const QString& caption, const QString& message, QPointer<QDialog>* shown)
{
    askBox(parent, caption, message, QMessageBox::Information, false, shown);
}

bool ScriptDialogs::confirm(
    QWidget* parent, const QString& caption, const QString& message, QPointer<QDialog>* shown)
{
    return askBox(parent, caption, message, QMessageBox::Question, true, shown);
}

bool ScriptDialogs::prompt(QWidget* parent, const QString& caption, const QString& message,
    const QString& defaultValue, QString* result, QPointer<QDialog>* shown)
{
    QInputDialog box(parent);
    box.setWindowTitle(caption);
    box.setLabelText(shownText(message));
    if (auto* label = box.findChild<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    box.setTextValue(defaultValue);
    box.setOkButtonText(kOk);
    box.setCancelButtonText(kCancel);
    box.setMinimumWidth(widthForCaption(parent, caption));
    if (run(box, shown) != QDialog::Accepted)
        return false;
    *result = box.textValue();
    return true;
}
