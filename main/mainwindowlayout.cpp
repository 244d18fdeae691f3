#include "mainwindowlayout.h"

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

MainWindowLayout::MainWindowLayout(TForm1& form)
    : m_form(form)
{ }

void MainWindowLayout::createFrame()
{
    // 0 plus (categories, and every selected node), 1 minus (scripts), 5 page of HTML (tab
    // "代码"), 6 eye (tab "预览").
    m_form.ImageList1.setGlyph(0, QPixmap(QStringLiteral(":/main/images/glyph-plus.png")));
    m_form.ImageList1.setGlyph(1, QPixmap(QStringLiteral(":/main/images/glyph-minus.png")));
    m_form.ImageList1.setGlyph(5, QPixmap(QStringLiteral(":/main/images/glyph-html.png")));
    m_form.ImageList1.setGlyph(6, QPixmap(QStringLiteral(":/main/images/glyph-eye.png")));
    m_form.setWindowTitle(QStringLiteral("Feylume2.5"));
    m_form.setWindowIcon(QIcon(QStringLiteral(":/main/images/feylume.png")));
    // The frame is not known before the window is first shown; see changeEvent.
    m_form.resize(kRestoredOuterSize);

    auto* client = named(new QWidget(&m_form), "Form1Client");
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_form.CoolBar1 = named(new QWidget(client), "CoolBar1");
    m_form.CoolBar1->setFixedHeight(33);
    auto* band = new QVBoxLayout(m_form.CoolBar1);
    band->setContentsMargins(2, 2, 2, 2);
    m_form.ToolBar1 = named(new QToolBar(m_form.CoolBar1), "ToolBar1");
    m_form.ToolBar1->setMovable(false);
    m_form.ToolBar1->setFloatable(false);
    m_form.ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    band->addWidget(m_form.ToolBar1);
    column->addWidget(m_form.CoolBar1);

    m_form.ClientSplitter = named(new QSplitter(Qt::Horizontal, client), "ClientArea");
    m_form.ClientSplitter->setHandleWidth(3);
    m_form.ClientSplitter->setChildrenCollapsible(false);
    m_form.Treeclass = named(new CategoryTree(m_form.ClientSplitter), "Treeclass");
    m_form.Treeclass->setNodeIcons(m_form.ImageList1.nodeIcon(0), m_form.ImageList1.nodeIcon(1));
    m_form.ClientSplitter->addWidget(m_form.Treeclass);
    m_form.ClientSplitter->addWidget(createPages());
    m_form.ClientSplitter->addWidget(createSearchPanel());
    m_form.ClientSplitter->setStretchFactor(0, 0);
    m_form.ClientSplitter->setStretchFactor(1, 1);
    m_form.ClientSplitter->setStretchFactor(2, 0);
    m_form.ClientSplitter->setSizes({145, 808 - 145 - 146 - 6, 146});
    m_form.ClientSplitter->handle(1)->setObjectName(QStringLiteral("Splitter1"));
    m_form.ClientSplitter->handle(2)->setObjectName(QStringLiteral("Splitter2"));
    column->addWidget(m_form.ClientSplitter, 1);

    createStatusBar();
    column->addWidget(m_form.Stb);
    m_form.setCentralWidget(client);
}

QWidget* MainWindowLayout::createPages()
{
    m_form.Panel1 = named(new TPanel(m_form.ClientSplitter), "Panel1");
    auto* fill = new QVBoxLayout(m_form.Panel1);
    fill->setContentsMargins(0, 0, 0, 0);
    auto* splitter = named(new QSplitter(Qt::Vertical, m_form.Panel1), "Panel1Splitter");
    fill->addWidget(splitter);
    splitter->setHandleWidth(2);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(createHeaderPanel());

    m_form.PageControl1 = named(new QTabWidget(splitter), "PageControl1");
    m_form.PageControl1->setDocumentMode(true);
    m_form.TabSheet1 = named(new QWidget(m_form.PageControl1), "TabSheet1");
    auto* codeLayout = new QVBoxLayout(m_form.TabSheet1);
    codeLayout->setContentsMargins(0, 0, 0, 0);
    m_form.DBMemo2 = named(new TDBMemo(m_form.TabSheet1), "DBMemo2");
    m_form.DBMemo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_form.DBMemo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_form.DBMemo2->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_form.DBMemo2->showAsCode();
    codeLayout->addWidget(m_form.DBMemo2);
    m_form.TabSheet2 = named(new QWidget(m_form.PageControl1), "TabSheet2");
    auto* previewLayout = new QVBoxLayout(m_form.TabSheet2);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    m_form.web1 = named(new PageView(m_form.TabSheet2), "web1");
    previewLayout->addWidget(m_form.web1);
    m_form.PageControl1->addTab(m_form.TabSheet1, m_form.ImageList1.icon(5), QStringLiteral("代码"));
    m_form.PageControl1->addTab(m_form.TabSheet2, m_form.ImageList1.icon(6), QStringLiteral("预览"));
    m_form.PageControl1->setCurrentIndex(0);
    splitter->addWidget(m_form.PageControl1);

    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({158, 300});
    splitter->handle(1)->setObjectName(QStringLiteral("Splitter3"));

    bindField(m_form.DBMemo2, m_form.DataSource1, "cjs_text");
    return m_form.Panel1;
}

QWidget* MainWindowLayout::createHeaderPanel()
{
    m_form.Panel3 = named(new TPanel(m_form.Panel1), "Panel3");
    m_form.Panel3->setMinimumHeight(40);
    m_form.Panel3->setAutoFillBackground(true);
    m_form.Image1 = named(new QLabel(m_form.Panel3), "Image1");
    m_form.Image1->setPixmap(QPixmap(QStringLiteral(":/main/images/header.png")));
    m_form.Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Drawn unscaled from the top-left corner; the panel clips it and shows its own colour
    // where it is larger than the picture.
    m_form.Image1->setGeometry(0, 0, QWIDGETSIZE_MAX / 4, QWIDGETSIZE_MAX / 4);

    headerLabel(m_form.Panel3, "Label1", QStringLiteral("脚本类别："), 16, 35);
    headerLabel(m_form.Panel3, "Label2", QStringLiteral("脚本名："), 16, 68);
    headerLabel(m_form.Panel3, "Label3", QStringLiteral("作者："), 16, 103);
    headerLabel(m_form.Panel3, "Label6", QStringLiteral("入库时间："), 16, 136);
    headerLabel(m_form.Panel3, "Label4", QStringLiteral("作者简介："), 256, 64);

    // Created in tab order.
    m_form.CBX1 = named(new TDBComboBox(m_form.Panel3), "CBX1");
    m_form.CBX1->setGeometry(88, 32, 121, 19);
    m_form.DBEdit2 = named(new TDBEdit(m_form.Panel3), "DBEdit2");
    m_form.DBEdit2->setGeometry(88, 64, 121, 21);
    m_form.DBMemo1 = named(new TDBMemo(m_form.Panel3), "DBMemo1");
    m_form.DBMemo1->setGeometry(256, 96, 185, 54);
    m_form.DBMemo1->setFrameShape(QFrame::Box);
    m_form.DBEdit3 = named(new TDBEdit(m_form.Panel3), "DBEdit3");
    m_form.DBEdit3->setGeometry(88, 96, 121, 21);
    m_form.DBEdit1 = named(new TDBEdit(m_form.Panel3), "DBEdit1");
    m_form.DBEdit1->setGeometry(88, 128, 121, 21);
    m_form.DBEdit1->setEnabled(false);
    m_form.DBEdit1->setShowsDateTime(true);
    // Disabled only so that it is never changed: it is read like the other fields, in their
    // colours, and whole, since it cannot be scrolled.
    QPalette datePalette = m_form.DBEdit1->palette();
    for (const QPalette::ColorRole role : {QPalette::Text, QPalette::Base})
        datePalette.setColor(QPalette::Disabled, role, datePalette.color(QPalette::Active, role));
    m_form.DBEdit1->setPalette(datePalette);
    m_form.DBEdit1->setFitsTextToBox(true);

    QWidget::setTabOrder(m_form.CBX1, m_form.DBEdit2);
    QWidget::setTabOrder(m_form.DBEdit2, m_form.DBMemo1);
    QWidget::setTabOrder(m_form.DBMemo1, m_form.DBEdit3);
    bindField(m_form.CBX1, m_form.DataSource1, "cjs_type");
    bindField(m_form.DBEdit2, m_form.DataSource1, "cjs_name");
    bindField(m_form.DBMemo1, m_form.DataSource1, "cjs_zzjj");
    bindField(m_form.DBEdit3, m_form.DataSource1, "cjs_zzm");
    bindField(m_form.DBEdit1, m_form.DataSource1, "cjs_date");
    return m_form.Panel3;
}

QWidget* MainWindowLayout::createSearchPanel()
{
    m_form.Panel2 = named(new TPanel(m_form.ClientSplitter), "Panel2");
    m_form.Panel2->setMinimumWidth(146);
    // The settings keep their place; the results box keeps its size where the pane is tall
    // enough and otherwise ends 8 pixels above the pane's bottom, so that it stays whole.
    auto* pane = new QVBoxLayout(m_form.Panel2);
    pane->setContentsMargins(8, 16, 0, 8);
    pane->setSpacing(15);

    m_form.GroupBox1 = named(new QGroupBox(QStringLiteral("查询设置："), m_form.Panel2), "GroupBox1");
    m_form.GroupBox1->setFixedSize(129, 249);
    pane->addWidget(m_form.GroupBox1, 0, Qt::AlignLeft);
    m_form.ComboBox1 = named(new QComboBox(m_form.GroupBox1), "ComboBox1");
    m_form.ComboBox1->setEditable(true);
    // Typing a name filters by it; Enter must not add it to the category list.
    m_form.ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    m_form.ComboBox1->addItem(QStringLiteral("所有分类"));
    m_form.ComboBox1->setCurrentIndex(0);
    m_form.ComboBox1->setGeometry(8, 24, 113, 21);
    m_form.rb1 = named(new QRadioButton(QStringLiteral("按脚本名"), m_form.GroupBox1), "rb1");
    m_form.rb1->move(8, 64);
    m_form.rb1->setChecked(true);
    m_form.rb2 = named(new QRadioButton(QStringLiteral("按内容关键字"), m_form.GroupBox1), "rb2");
    m_form.rb2->move(8, 88);
    m_form.rb3 = named(new QRadioButton(QStringLiteral("按作者名"), m_form.GroupBox1), "rb3");
    m_form.rb3->move(8, 112);
    for (QRadioButton* option : {m_form.rb1, m_form.rb2, m_form.rb3})
        option->adjustSize();
    auto* label5 = named(new QLabel(QStringLiteral("输入关键字："), m_form.GroupBox1), "Label5");
    label5->move(8, 142);
    auto* label7 = named(new QLabel(QStringLiteral("%代表任意长度字符"), m_form.GroupBox1), "Label7");
    label7->move(7, 164);
    m_form.Edit1 = named(new QLineEdit(m_form.GroupBox1), "Edit1");
    m_form.Edit1->setGeometry(8, 187, 113, 21);
    auto* findButton = named(new TBitBtn(m_form.GroupBox1), "BitBtn1");
    findButton->setText(QStringLiteral("查找"));
    findButton->setGlyph(QPixmap(QStringLiteral(":/main/images/glyph-find.png")));
    m_form.BitBtn1 = findButton;
    m_form.BitBtn1->setGeometry(32, 218, 75, 22);
    m_form.BitBtn1->setAutoDefault(false);

    m_form.GroupBox2 = named(new QGroupBox(QStringLiteral("查询结果："), m_form.Panel2), "GroupBox2");
    m_form.GroupBox2->setFixedWidth(129);
    m_form.GroupBox2->setMaximumHeight(233);
    pane->addWidget(m_form.GroupBox2, 1, Qt::AlignLeft);
    pane->addStretch(0);
    auto* results = new QVBoxLayout(m_form.GroupBox2);
    results->setContentsMargins(2, 2, 2, 2);
    m_form.ListBox1 = named(new QListWidget(m_form.GroupBox2), "ListBox1");
    m_form.ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    results->addWidget(m_form.ListBox1);
    return m_form.Panel2;
}

void MainWindowLayout::createStatusBar()
{
    m_form.Stb = named(new StatusBar({130, 160, 200, 150, 50}, &m_form), "Stb");
    m_form.Stb->setFixedHeight(19);
    m_form.pgb = named(new ProgressBar(&m_form), "pgb");
    m_form.pgb->setMinimum(0);
    m_form.pgb->setMaximum(100);
    m_form.pgb->setPosition(0);
    m_form.pgb->hide();
}
