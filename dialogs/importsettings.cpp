#include "importsettings.h"

#include "widgets/bitbtn.h"
#include "widgets/errorguard.h"
#include "widgets/messageboxes.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {
// The outer size the window is described with, less a sizeable frame and a caption bar.
constexpr QSize kClientSize(422, 216);

QLabel* label(QWidget* parent, const char* name, const char* text, int left, int top)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit* edit(QWidget* parent, const char* name, const QRect& place)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(place);
    return edit;
}
} // namespace

TFmImport::TFmImport(QWidget* owner)
    : QDialog(owner,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FmImport"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::NonModal);
    setWindowTitle(QStringLiteral("网络导入设置"));
    resize(kClientSize);

    // Made in tab order: the boxes and buttons, then the proxy frame.
    label(this, "Label3", "导入URL    ", 16, 32);
    Edit1 = edit(this, "Edit1", QRect(72, 24, 329, 21));
    Edit1->setText(QStringLiteral("http://"));
    label(this, "Label5", "用户名   ", 16, 72);
    Edit3 = edit(this, "Edit3", QRect(72, 64, 121, 21));
    label(this, "Label6", "密码    ", 232, 72);
    Edit4 = edit(this, "Edit4", QRect(280, 64, 121, 21));

    BitBtn1 = new TBitBtn(QStringLiteral("确定"), TBitBtn::bkOK, this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(16, 184, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, guard([this] { BitBtn1Click(); }));
    BitBtn2 = new TBitBtn(QStringLiteral("取消"), TBitBtn::bkNo, this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(128, 184, 75, 25);
    connect(BitBtn2, &QPushButton::clicked, this, guard([this] { BitBtn2Click(); }));

    GroupBox1 = new QGroupBox(QStringLiteral("代理设置(没有请留空)"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(16, 104, 393, 65);
    label(GroupBox1, "Label1", "代理地址       ", 16, 40);
    Edit5 = edit(GroupBox1, "Edit5", QRect(80, 32, 145, 21));
    label(GroupBox1, "Label2", "端口    ", 248, 40);
    Edit6 = edit(GroupBox1, "Edit6", QRect(296, 32, 73, 21));
    label(this, "Label7", "注：用户名和密码一般为空      ", 224, 192);

    setTabOrder(Edit1, Edit3);
    setTabOrder(Edit3, Edit4);
    setTabOrder(Edit4, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, Edit5);
    setTabOrder(Edit5, Edit6);
}

void TFmImport::BitBtn1Click()
{
    MessageBoxes::information(QStringLiteral("过两天加上去这个功能"));
}

void TFmImport::BitBtn2Click()
{
    close();
}

void TFmImport::showEvent(QShowEvent* event)
{
    // Centred over the main window the first time it shows; where the user puts it later stays.
    if (!m_placed && parentWidget()) {
        m_placed = true;
        const QRect over = parentWidget()->window()->frameGeometry();
        move(over.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
}
