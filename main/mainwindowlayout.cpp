#include "mainwindowlayout.h"

#include "categorytree.h"
#include "dbctrls/datasource.h"
#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbedit.h"
#include "dbctrls/dbmemo.h"
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
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
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

MainWindowLayout::MainWindowLayout(
    QMainWindow& window, MainWindowControls& controls, MainWindowFrame& frame, DataSource* source)
    : m_window(window)
    , m_controls(controls)
    , m_frame(frame)
    , m_source(source)
{ }

void MainWindowLayout::createFrame()
{
    // 0 plus (categories, and every selected node), 1 minus (scripts), 5 page of HTML (tab
    // "代码"), 6 eye (tab "预览").
    m_frame.ImageList1.setGlyph(0, QPixmap(QStringLiteral(":/main/images/glyph-plus.png")));
    m_frame.ImageList1.setGlyph(1, QPixmap(QStringLiteral(":/main/images/glyph-minus.png")));
    m_frame.ImageList1.setGlyph(5, QPixmap(QStringLiteral(":/main/images/glyph-html.png")));
    m_frame.ImageList1.setGlyph(6, QPixmap(QStringLiteral(":/main/images/glyph-eye.png")));
    m_window.setWindowTitle(QStringLiteral("Feylume2.5"));
    m_window.setWindowIcon(QIcon(QStringLiteral(":/main/images/feylume.png")));
    // The frame is not known before the window is first shown; see changeEvent.
    m_window.resize(kRestoredOuterSize);

    auto* client = named(new QWidget(&m_window), "Form1Client");
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_frame.CoolBar1 = named(new QWidget(client), "CoolBar1");
    m_frame.CoolBar1->setFixedHeight(33);
    auto* band = new QVBoxLayout(m_frame.CoolBar1);
    band->setContentsMargins(2, 2, 2, 2);
    m_controls.ToolBar1 = named(new QToolBar(m_frame.CoolBar1), "ToolBar1");
    m_controls.ToolBar1->setMovable(false);
    m_controls.ToolBar1->setFloatable(false);
    m_controls.ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    band->addWidget(m_controls.ToolBar1);
    column->addWidget(m_frame.CoolBar1);

    m_frame.ClientSplitter = named(new QSplitter(Qt::Horizontal, client), "ClientArea");
    m_frame.ClientSplitter->setHandleWidth(3);
    m_frame.ClientSplitter->setChildrenCollapsible(false);
    m_controls.Treeclass = named(new CategoryTree(m_frame.ClientSplitter), "Treeclass");
    m_controls.Treeclass->setNodeIcons(m_frame.ImageList1.nodeIcon(0), m_frame.ImageList1.nodeIcon(1));
    m_frame.ClientSplitter->addWidget(m_controls.Treeclass);
    m_frame.ClientSplitter->addWidget(createPages());
    m_frame.ClientSplitter->addWidget(createSearchPanel());
    m_frame.ClientSplitter->setStretchFactor(0, 0);
    m_frame.ClientSplitter->setStretchFactor(1, 1);
    m_frame.ClientSplitter->setStretchFactor(2, 0);
    m_frame.ClientSplitter->setSizes({145, 808 - 145 - 146 - 6, 146});
    m_frame.ClientSplitter->handle(1)->setObjectName(QStringLiteral("Splitter1"));
    m_frame.ClientSplitter->handle(2)->setObjectName(QStringLiteral("Splitter2"));
    column->addWidget(m_frame.ClientSplitter, 1);

    createStatusBar();
    column->addWidget(m_controls.Stb);
    m_window.setCentralWidget(client);
}

QWidget* MainWindowLayout::createPages()
{
    m_frame.Panel1 = named(new TPanel(m_frame.ClientSplitter), "Panel1");
    auto* fill = new QVBoxLayout(m_frame.Panel1);
    fill->setContentsMargins(0, 0, 0, 0);
    m_frame.Panel1Splitter = named(new QSplitter(Qt::Vertical, m_frame.Panel1), "Panel1Splitter");
    QSplitter* splitter = m_frame.Panel1Splitter;
    fill->addWidget(splitter);
    splitter->setHandleWidth(2);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(createHeaderPanel());

    m_controls.PageControl1 = named(new QTabWidget(splitter), "PageControl1");
    m_controls.PageControl1->setDocumentMode(true);
    m_controls.TabSheet1 = named(new QWidget(m_controls.PageControl1), "TabSheet1");
    auto* codeLayout = new QVBoxLayout(m_controls.TabSheet1);
    codeLayout->setContentsMargins(0, 0, 0, 0);
    m_controls.DBMemo2 = named(new TDBMemo(m_controls.TabSheet1), "DBMemo2");
    m_controls.DBMemo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_controls.DBMemo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_controls.DBMemo2->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_controls.DBMemo2->showAsCode();
    codeLayout->addWidget(m_controls.DBMemo2);
    m_controls.TabSheet2 = named(new QWidget(m_controls.PageControl1), "TabSheet2");
    auto* previewLayout = new QVBoxLayout(m_controls.TabSheet2);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    m_controls.web1 = named(new PageView(m_controls.TabSheet2), "web1");
    previewLayout->addWidget(m_controls.web1);
    m_controls.PageControl1->addTab(m_controls.TabSheet1, m_frame.ImageList1.icon(5), QStringLiteral("代码"));
    m_controls.PageControl1->addTab(m_controls.TabSheet2, m_frame.ImageList1.icon(6), QStringLiteral("预览"));
    m_controls.PageControl1->setCurrentIndex(0);
    splitter->addWidget(m_controls.PageControl1);

    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({158, 300});
    splitter->handle(1)->setObjectName(QStringLiteral("Splitter3"));

    bindField(m_controls.DBMemo2, m_source, "cjs_text");
    return m_frame.Panel1;
}

QWidget* MainWindowLayout::createHeaderPanel()
{
    m_frame.Panel3 = named(new TPanel(m_frame.Panel1), "Panel3");
    m_frame.Panel3->setMinimumHeight(40);
    m_frame.Panel3->setAutoFillBackground(true);
    m_frame.Image1 = named(new QLabel(m_frame.Panel3), "Image1");
    m_frame.Image1->setPixmap(QPixmap(QStringLiteral(":/main/images/header.png")));
    m_frame.Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Drawn unscaled from the top-left corner; the panel clips it and shows its own colour
    // where it is larger than the picture.
    m_frame.Image1->setGeometry(0, 0, QWIDGETSIZE_MAX / 4, QWIDGETSIZE_MAX / 4);

    headerLabel(m_frame.Panel3, "Label1", QStringLiteral("脚本类别："), 16, 35);
    headerLabel(m_frame.Panel3, "Label2", QStringLiteral("脚本名："), 16, 68);
    headerLabel(m_frame.Panel3, "Label3", QStringLiteral("作者："), 16, 103);
    headerLabel(m_frame.Panel3, "Label6", QStringLiteral("入库时间："), 16, 136);
    headerLabel(m_frame.Panel3, "Label4", QStringLiteral("作者简介："), 256, 64);

    // Created in tab order.
    m_controls.CBX1 = named(new TDBComboBox(m_frame.Panel3), "CBX1");
    m_controls.CBX1->setGeometry(88, 32, 121, 19);
    m_controls.DBEdit2 = named(new TDBEdit(m_frame.Panel3), "DBEdit2");
    m_controls.DBEdit2->setGeometry(88, 64, 121, 21);
    m_controls.DBMemo1 = named(new TDBMemo(m_frame.Panel3), "DBMemo1");
    m_controls.DBMemo1->setGeometry(256, 96, 185, 54);
    m_controls.DBMemo1->setFrameShape(QFrame::Box);
    m_controls.DBEdit3 = named(new TDBEdit(m_frame.Panel3), "DBEdit3");
    m_controls.DBEdit3->setGeometry(88, 96, 121, 21);
    m_controls.DBEdit1 = named(new TDBEdit(m_frame.Panel3), "DBEdit1");
    m_controls.DBEdit1->setGeometry(88, 128, 121, 21);
    m_controls.DBEdit1->setEnabled(false);
    m_controls.DBEdit1->setShowsDateTime(true);
    // Disabled only so that it is never changed: it is read like the other fields, in their
    // colours, and whole, since it cannot be scrolled.
    QPalette datePalette = m_controls.DBEdit1->palette();
    for (const QPalette::ColorRole role : {QPalette::Text, QPalette::Base})
        datePalette.setColor(QPalette::Disabled, role, datePalette.color(QPalette::Active, role));
    m_controls.DBEdit1->setPalette(datePalette);
    m_controls.DBEdit1->setFitsTextToBox(true);

    QWidget::setTabOrder(m_controls.CBX1, m_controls.DBEdit2);
    QWidget::setTabOrder(m_controls.DBEdit2, m_controls.DBMemo1);
    QWidget::setTabOrder(m_controls.DBMemo1, m_controls.DBEdit3);
    bindField(m_controls.CBX1, m_source, "cjs_type");
    bindField(m_controls.DBEdit2, m_source, "cjs_name");
    bindField(m_controls.DBMemo1, m_source, "cjs_zzjj");
    bindField(m_controls.DBEdit3, m_source, "cjs_zzm");
    bindField(m_controls.DBEdit1, m_source, "cjs_date");
    return m_frame.Panel3;
}

QWidget* MainWindowLayout::createSearchPanel()
{
    m_frame.Panel2 = named(new TPanel(m_frame.ClientSplitter), "Panel2");
    m_frame.Panel2->setMinimumWidth(146);
    // The settings keep their place; the results box keeps its size where the pane is tall
    // enough and otherwise ends 8 pixels above the pane's bottom, so that it stays whole.
    auto* pane = new QVBoxLayout(m_frame.Panel2);
    pane->setContentsMargins(8, 16, 0, 8);
    pane->setSpacing(15);

    m_frame.GroupBox1 = named(new QGroupBox(QStringLiteral("查询设置："), m_frame.Panel2), "GroupBox1");
    m_frame.GroupBox1->setFixedSize(129, 249);
    pane->addWidget(m_frame.GroupBox1, 0, Qt::AlignLeft);
    m_controls.ComboBox1 = named(new QComboBox(m_frame.GroupBox1), "ComboBox1");
    m_controls.ComboBox1->setEditable(true);
    // Typing a name filters by it; Enter must not add it to the category list.
    m_controls.ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    m_controls.ComboBox1->addItem(QStringLiteral("所有分类"));
    m_controls.ComboBox1->setCurrentIndex(0);
    m_controls.ComboBox1->setGeometry(8, 24, 113, 21);
    m_controls.rb1 = named(new QRadioButton(QStringLiteral("按脚本名"), m_frame.GroupBox1), "rb1");
    m_controls.rb1->move(8, 64);
    m_controls.rb1->setChecked(true);
    m_controls.rb2 = named(new QRadioButton(QStringLiteral("按内容关键字"), m_frame.GroupBox1), "rb2");
    m_controls.rb2->move(8, 88);
    m_controls.rb3 = named(new QRadioButton(QStringLiteral("按作者名"), m_frame.GroupBox1), "rb3");
    m_controls.rb3->move(8, 112);
    for (QRadioButton* option : {m_controls.rb1, m_controls.rb2, m_controls.rb3})
        option->adjustSize();
    auto* label5 = named(new QLabel(QStringLiteral("输入关键字："), m_frame.GroupBox1), "Label5");
    label5->move(8, 142);
    auto* label7 = named(new QLabel(QStringLiteral("%代表任意长度字符"), m_frame.GroupBox1), "Label7");
    label7->move(7, 164);
    m_controls.Edit1 = named(new QLineEdit(m_frame.GroupBox1), "Edit1");
    m_controls.Edit1->setGeometry(8, 187, 113, 21);
    auto* findButton = named(new TBitBtn(m_frame.GroupBox1), "BitBtn1");
    findButton->setText(QStringLiteral("查找"));
    findButton->setGlyph(QPixmap(QStringLiteral(":/main/images/glyph-find.png")));
    m_controls.BitBtn1 = findButton;
    m_controls.BitBtn1->setGeometry(32, 218, 75, 22);
    m_controls.BitBtn1->setAutoDefault(false);

    m_frame.GroupBox2 = named(new QGroupBox(QStringLiteral("查询结果："), m_frame.Panel2), "GroupBox2");
    m_frame.GroupBox2->setFixedWidth(129);
    m_frame.GroupBox2->setMaximumHeight(233);
    pane->addWidget(m_frame.GroupBox2, 1, Qt::AlignLeft);
    pane->addStretch(0);
    auto* results = new QVBoxLayout(m_frame.GroupBox2);
    results->setContentsMargins(2, 2, 2, 2);
    m_controls.ListBox1 = named(new QListWidget(m_frame.GroupBox2), "ListBox1");
    m_controls.ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    results->addWidget(m_controls.ListBox1);
    return m_frame.Panel2;
}

void MainWindowLayout::createStatusBar()
{
    m_controls.Stb = named(new StatusBar({130, 160, 200, 150, 50}, &m_window), "Stb");
    m_controls.Stb->setFixedHeight(19);
    m_controls.pgb = named(new ProgressBar(&m_window), "pgb");
    m_controls.pgb->setMinimum(0);
    m_controls.pgb->setMaximum(100);
    m_controls.pgb->setPosition(0);
    m_controls.pgb->hide();
}
