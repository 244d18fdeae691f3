#include "aboutbox.h"

#include "webaddresses.h"
#include "widgets/bitbtn.h"
#include "widgets/errorguard.h"
#include "xplook/xplook.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyle>

static void initResources()
{
    Q_INIT_RESOURCE(dialogs);
}

namespace {
const char* const kReleaseNote[] = {
    "            Feylume2.5",
    "",
    "    第一次写程序是在学校机房里，",
    "一台旧电脑，一本翻烂了的教程。看到",
    "屏幕上跳出一行字，高兴了一下午。",
    "",
    "    后来迷上了网页上的特效：飘落",
    "的雪花、追着鼠标的星星、变色的文字。",
    "每看到一个，就把代码抄进文件夹里。",
    "",
    "    于是有了 Feylume 的第一版，",
    "只能按名字存取；第二版加上了分类和",
    "搜索，脚本也从几十个攒到了几千个。",
    "",
    "    这一版重写了大部分代码，界面",
    "也换了新样子。如果它对你也有一点用",
    "处，那就是我最开心的事。欢迎来信聊",
    "聊你的想法，分享你收藏的特效。",
    "",
    "主页：www.qingying-studio.example",
    "邮箱：fy@qingying-studio.example",
    "晴萤工作室",
    "2026年12月",
};

// A glyph of two 18 x 18 images side by side: as it is, and greyed for the disabled button.
// The icon is drawn into fixed frames, whatever sizes the style has it in.
QPixmap twoStateGlyph(const QIcon& icon)
{
    constexpr int kFrame = 18;
    QPixmap both(kFrame * 2, kFrame);
    both.fill(Qt::transparent);
    QPainter painter(&both);
    icon.paint(&painter, QRect(0, 0, kFrame, kFrame), Qt::AlignCenter, QIcon::Normal);
    icon.paint(&painter, QRect(kFrame, 0, kFrame, kFrame), Qt::AlignCenter, QIcon::Disabled);
    return both;
}
} // namespace

TFmabout::TFmabout(QWidget* owner)
    : QDialog(owner,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    initResources();
    setObjectName(QStringLiteral("Fmabout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("Feylume"));
    setWindowIcon(QIcon(QStringLiteral(":/main/images/feylume.png")));
    setFixedSize(494, 306);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 24, 169, 257);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(QPixmap(QStringLiteral(":/dialogs/images/about.png")));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(200, 24, 281, 233);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setPlainText(releaseNote());

    BitBtn2 = new TBitBtn(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setText(QStringLiteral("主页"));
    BitBtn2->setGeometry(232, 272, 75, 25);
    BitBtn2->setGlyph(twoStateGlyph(style()->standardIcon(QStyle::SP_DirHomeIcon)), 2);
    BitBtn2->setModalResult(kHomePageResult);
    BitBtn2->setDefault(true);
    connect(BitBtn2, &QPushButton::clicked, this, guard([this] { BitBtn2Click(); }));

    BitBtn1 = new TBitBtn(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setText(QStringLiteral("确定"));
    BitBtn1->setGeometry(368, 272, 75, 25);
    BitBtn1->setGlyph(twoStateGlyph(style()->standardIcon(QStyle::SP_DialogOkButton)), 2);
    connect(BitBtn1, &QPushButton::clicked, this, guard([this] { BitBtn1Click(); }));

    // Made last, so it gives the memo and both buttons the look.
    XPLook1 = new TXPLook(this);
    applyStoredLookSettings(*XPLook1);
}

QString TFmabout::releaseNote()
{
    QStringList lines;
    for (const char* line : kReleaseNote)
        lines << QString::fromUtf8(line);
    return lines.join(QLatin1Char('\n'));
}

void TFmabout::Image1Click()
{
    WebAddresses::open(WebAddresses::kHomePage);
}

void TFmabout::BitBtn2Click()
{
    WebAddresses::open(WebAddresses::kHomePage);
    // The button's result ends the window once its own action is done.
    done(BitBtn2->ModalResult());
}

void TFmabout::BitBtn1Click()
{
    close();
}

bool TFmabout::eventFilter(QObject* watched, QEvent* event)
{
    // A click is a left press and release over the picture.
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && Image1->rect().contains(mouse->position().toPoint()))
            guarded([this] { Image1Click(); });
    }
    return QDialog::eventFilter(watched, event);
}
