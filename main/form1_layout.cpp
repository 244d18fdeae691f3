// The main window's panes, header, search pane, pages and status bar.

#include "categorytree.h"
#include "dbctrls/datasource.h"
#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbedit.h"
#include "dbctrls/dbmemo.h"
#include "form1.h"
#include "pageview.h"
#include "widgets/bitbtn.h"
#include "widgets/panel.h"
#include "widgets/progressbar.h"
#include "widgets/statusbar.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>
#include <QWindowStateChangeEvent>

namespace {
// The restored window's size with its frame, whatever frame the desktop draws around it.
constexpr QSize kRestoredOuterSize(808, 552);

template<typename W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

template<typename Editor> void bindField(Editor* editor, DataSource* source, const char* column)
{
    editor->setDataSource(source);
    editor->setDataField(QString::fromLatin1(column));
}

QLabel* headerLabel(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* label = named(new QLabel(text, parent), name);
    // Labels stand on the dark picture in the window colour, without a background of their own.
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, pal.color(QPalette::Base));
    label->setPalette(pal);
    label->move(left, top);
    label->adjustSize();
    return label;
}
} // namespace

void TForm1::createFrame()
{
    setWindowTitle(QStringLiteral("Feylume2.5"));
    setWindowIcon(QIcon(QStringLiteral(":/main/images/feylume.png")));
    // The frame is not known before the window is first shown; see changeEvent.
    resize(kRestoredOuterSize);

    auto* client = named(new QWidget(this), "Form1Client");
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    CoolBar1 = named(new QWidget(client), "CoolBar1");
    CoolBar1->setFixedHeight(33);
    auto* band = new QVBoxLayout(CoolBar1);
    band->setContentsMargins(2, 2, 2, 2);
    ToolBar1 = named(new QToolBar(CoolBar1), "ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    band->addWidget(ToolBar1);
    column->addWidget(CoolBar1);

    ClientSplitter = named(new QSplitter(Qt::Horizontal, client), "ClientArea");
    ClientSplitter->setHandleWidth(3);
    ClientSplitter->setChildrenCollapsible(false);
    Treeclass = named(new CategoryTree(ClientSplitter), "Treeclass");
    Treeclass->setNodeIcons(ImageList1.nodeIcon(0), ImageList1.nodeIcon(1));
    ClientSplitter->addWidget(Treeclass);
    ClientSplitter->addWidget(createPages());
    ClientSplitter->addWidget(createSearchPanel());
    ClientSplitter->setStretchFactor(0, 0);
    ClientSplitter->setStretchFactor(1, 1);
    ClientSplitter->setStretchFactor(2, 0);
    ClientSplitter->setSizes({145, 808 - 145 - 146 - 6, 146});
    ClientSplitter->handle(1)->setObjectName(QStringLiteral("Splitter1"));
    ClientSplitter->handle(2)->setObjectName(QStringLiteral("Splitter2"));
    column->addWidget(ClientSplitter, 1);

    createStatusBar();
    column->addWidget(Stb);
    setCentralWidget(client);
}

QWidget* TForm1::createPages()
{
    Panel1 = named(new TPanel(ClientSplitter), "Panel1");
    auto* fill = new QVBoxLayout(Panel1);
    fill->setContentsMargins(0, 0, 0, 0);
    auto* splitter = named(new QSplitter(Qt::Vertical, Panel1), "Panel1Splitter");
    fill->addWidget(splitter);
    splitter->setHandleWidth(2);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(createHeaderPanel());

    PageControl1 = named(new QTabWidget(splitter), "PageControl1");
    PageControl1->setDocumentMode(true);
    TabSheet1 = named(new QWidget(PageControl1), "TabSheet1");
    auto* codeLayout = new QVBoxLayout(TabSheet1);
    codeLayout->setContentsMargins(0, 0, 0, 0);
    DBMemo2 = named(new TDBMemo(TabSheet1), "DBMemo2");
    DBMemo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemo2->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    DBMemo2->showAsCode();
    codeLayout->addWidget(DBMemo2);
    TabSheet2 = named(new QWidget(PageControl1), "TabSheet2");
    auto* previewLayout = new QVBoxLayout(TabSheet2);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    web1 = named(new PageView(TabSheet2), "web1");
    previewLayout->addWidget(web1);
    PageControl1->addTab(TabSheet1, ImageList1.icon(5), QStringLiteral("代码"));
    PageControl1->addTab(TabSheet2, ImageList1.icon(6), QStringLiteral("预览"));
    PageControl1->setCurrentIndex(0);
    splitter->addWidget(PageControl1);

    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({158, 300});
    splitter->handle(1)->setObjectName(QStringLiteral("Splitter3"));

    bindField(DBMemo2, DataSource1, "cjs_text");
    return Panel1;
}

QWidget* TForm1::createHeaderPanel()
{
    Panel3 = named(new TPanel(Panel1), "Panel3");
    Panel3->setMinimumHeight(40);
    Panel3->setAutoFillBackground(true);
    Image1 = named(new QLabel(Panel3), "Image1");
    Image1->setPixmap(QPixmap(QStringLiteral(":/main/images/header.png")));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Drawn unscaled from the top-left corner; the panel clips it and shows its own colour
    // where it is larger than the picture.
    Image1->setGeometry(0, 0, QWIDGETSIZE_MAX / 4, QWIDGETSIZE_MAX / 4);

    headerLabel(Panel3, "Label1", QStringLiteral("脚本类别："), 16, 35);
    headerLabel(Panel3, "Label2", QStringLiteral("脚本名："), 16, 68);
    headerLabel(Panel3, "Label3", QStringLiteral("作者："), 16, 103);
    headerLabel(Panel3, "Label6", QStringLiteral("入库时间："), 16, 136);
    headerLabel(Panel3, "Label4", QStringLiteral("作者简介："), 256, 64);

    // Created in tab order.
    CBX1 = named(new TDBComboBox(Panel3), "CBX1");
    CBX1->setGeometry(88, 32, 121, 19);
    DBEdit2 = named(new TDBEdit(Panel3), "DBEdit2");
    DBEdit2->setGeometry(88, 64, 121, 21);
    DBMemo1 = named(new TDBMemo(Panel3), "DBMemo1");
    DBMemo1->setGeometry(256, 96, 185, 54);
    DBMemo1->setFrameShape(QFrame::Box);
    DBEdit3 = named(new TDBEdit(Panel3), "DBEdit3");
    DBEdit3->setGeometry(88, 96, 121, 21);
    DBEdit1 = named(new TDBEdit(Panel3), "DBEdit1");
    DBEdit1->setGeometry(88, 128, 121, 21);
    DBEdit1->setEnabled(false);
    DBEdit1->setShowsDateTime(true);
    // Disabled only so that it is never changed: it is read like the other fields, in their
    // colours, and whole, since it cannot be scrolled.
    QPalette datePalette = DBEdit1->palette();
    for (const QPalette::ColorRole role : {QPalette::Text, QPalette::Base})
        datePalette.setColor(QPalette::Disabled, role, datePalette.color(QPalette::Active, role));
    DBEdit1->setPalette(datePalette);
    DBEdit1->setFitsTextToBox(true);

    setTabOrder(CBX1, DBEdit2);
    setTabOrder(DBEdit2, DBMemo1);
    setTabOrder(DBMemo1, DBEdit3);
    bindField(CBX1, DataSource1, "cjs_type");
    bindField(DBEdit2, DataSource1, "cjs_name");
    bindField(DBMemo1, DataSource1, "cjs_zzjj");
    bindField(DBEdit3, DataSource1, "cjs_zzm");
    bindField(DBEdit1, DataSource1, "cjs_date");
    return Panel3;
}

QWidget* TForm1::createSearchPanel()
{
    Panel2 = named(new TPanel(ClientSplitter), "Panel2");
    Panel2->setMinimumWidth(146);
    // The settings keep their place; the results box keeps its size where the pane is tall
    // enough and otherwise ends 8 pixels above the pane's bottom, so that it stays whole.
    auto* pane = new QVBoxLayout(Panel2);
    pane->setContentsMargins(8, 16, 0, 8);
    pane->setSpacing(15);

    GroupBox1 = named(new QGroupBox(QStringLiteral("查询设置："), Panel2), "GroupBox1");
    GroupBox1->setFixedSize(129, 249);
    pane->addWidget(GroupBox1, 0, Qt::AlignLeft);
    ComboBox1 = named(new QComboBox(GroupBox1), "ComboBox1");
    ComboBox1->setEditable(true);
    // Typing a name filters by it; Enter must not add it to the category list.
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItem(QStringLiteral("所有分类"));
    ComboBox1->setCurrentIndex(0);
    ComboBox1->setGeometry(8, 24, 113, 21);
    rb1 = named(new QRadioButton(QStringLiteral("按脚本名"), GroupBox1), "rb1");
    rb1->move(8, 64);
    rb1->setChecked(true);
    rb2 = named(new QRadioButton(QStringLiteral("按内容关键字"), GroupBox1), "rb2");
    rb2->move(8, 88);
    rb3 = named(new QRadioButton(QStringLiteral("按作者名"), GroupBox1), "rb3");
    rb3->move(8, 112);
    for (QRadioButton* option : {rb1, rb2, rb3})
        option->adjustSize();
    auto* label5 = named(new QLabel(QStringLiteral("输入关键字："), GroupBox1), "Label5");
    label5->move(8, 142);
    auto* label7 = named(new QLabel(QStringLiteral("%代表任意长度字符"), GroupBox1), "Label7");
    label7->move(7, 164);
    Edit1 = named(new QLineEdit(GroupBox1), "Edit1");
    Edit1->setGeometry(8, 187, 113, 21);
    auto* findButton = named(new TBitBtn(GroupBox1), "BitBtn1");
    findButton->setText(QStringLiteral("查找"));
    findButton->setGlyph(QPixmap(QStringLiteral(":/main/images/glyph-find.png")));
    BitBtn1 = findButton;
    BitBtn1->setGeometry(32, 218, 75, 22);
    BitBtn1->setAutoDefault(false);

    GroupBox2 = named(new QGroupBox(QStringLiteral("查询结果："), Panel2), "GroupBox2");
    GroupBox2->setFixedWidth(129);
    GroupBox2->setMaximumHeight(233);
    pane->addWidget(GroupBox2, 1, Qt::AlignLeft);
    pane->addStretch(0);
    auto* results = new QVBoxLayout(GroupBox2);
    results->setContentsMargins(2, 2, 2, 2);
    ListBox1 = named(new QListWidget(GroupBox2), "ListBox1");
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    results->addWidget(ListBox1);
    return Panel2;
}

void TForm1::createStatusBar()
{
    Stb = named(new StatusBar({130, 160, 200, 150, 50}, this), "Stb");
    Stb->setFixedHeight(19);
    pgb = named(new ProgressBar(this), "pgb");
    pgb->setMinimum(0);
    pgb->setMaximum(100);
    pgb->setPosition(0);
    pgb->hide();
}

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || m_restoredSizeSet)
        return;
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    const bool restored = (change->oldState() & Qt::WindowMaximized)
        && !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    if (!restored || !windowHandle())
        return;
    // By now the window has been shown with its frame, so the frame's size is known. Only the
    // first restore is sized: later ones bring back whatever size the user gave the window.
    m_restoredSizeSet = true;
    resize(kRestoredOuterSize.shrunkBy(windowHandle()->frameMargins()));
}
