// The about box, the help link and the network import settings windows on the real main window,
// driven by keys and clicks. Opened addresses are caught by a handler instead of a browser.

#include "dialogs/aboutbox.h"
#include "dialogs/importsettings.h"
#include "dialogs/webaddresses.h"
#include "main/categorytree.h"
#include "main/form1.h"
#include "support/libraryfixture.h"
#include "support/mainwindowfixture.h"
#include "support/modalanswerer.h"
#include "widgets/bitbtn.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QToolBar>
#include <QtTest>

namespace {
// Stands in for the browser: every address the program asks the desktop to open.
class OpenedAddresses : public QObject
{
    Q_OBJECT
public:
    OpenedAddresses()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
    }
    ~OpenedAddresses() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }
    QStringList seen;

public slots:
    void open(const QUrl& url) { seen << url.toString(); }
};

void focus(QWidget* widget)
{
    if (!widget->window()->isActiveWindow()) {
        widget->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(widget->window()));
    }
    widget->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(widget->hasFocus());
}

void press(QKeyCombination key)
{
    QWidget* target = QApplication::focusWidget();
    QVERIFY(target);
    QTest::keyClick(target, key.key(), key.keyboardModifiers());
}

// Commands work out their enabled state when the program has nothing else to do: let it get
// there (QTest::qWait never does).
void runUntilIdle()
{
    QEventLoop loop;
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
}

QList<TFmImport*> importWindows(TForm1& form)
{
    return form.findChildren<TFmImport*>(Qt::FindDirectChildrenOnly);
}

// The settings window the command made last, while it exists.
TFmImport* newestImportWindow(TForm1& form)
{
    const QList<TFmImport*> windows = importWindows(form);
    return windows.isEmpty() ? nullptr : windows.last();
}
} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private:
    LibraryFixture* m_library = nullptr;
    std::unique_ptr<TForm1> m_form;
    OpenedAddresses* m_addresses = nullptr;

    QAction* menuEntry(const char* name)
    {
        return m_form->MainMenu1->findChild<QAction*>(QLatin1String(name));
    }

    // Opens the about box from its menu entry; `whileOpen` runs on the open box, which is closed
    // by its close box afterwards if it is still up.
    QList<SeenBox> withAboutBox(const std::function<void(QWidget*)>& whileOpen)
    {
        // Keys go to the focused control of the box once it is the active window.
        const auto onceActive = [&](QWidget* open) {
            QVERIFY(QTest::qWaitForWindowActive(open));
            QTRY_VERIFY(open->isAncestorOf(QApplication::focusWidget()));
            whileOpen(open);
        };
        ModalAnswerer answerer({Answer {QString(), {}, 0, onceActive}});
        menuEntry("About1")->trigger();
        return answerer.seen();
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void aboutBoxShowsPictureNoteAndButtons();
    void aboutBoxKeys_data();
    void aboutBoxKeys();
    void defaultButtonKeepsItsEmbossWhenTabMovesTheFocus();
    void pictureOpensHomePageAndKeepsTheBoxOpen();
    void aboutBoxIsFreshEachTime();
    void mainWindowIgnoresItsKeysUnderTheAboutBox();
    void helpKeyOpensHelpPageFromAnywhere_data();
    void helpKeyOpensHelpPageFromAnywhere();

    void importWindowFieldsAndTabOrder();
    void importWindowsAreSeparateAndCloseAlone();
    void importEnterAnnouncesAndKeepsValues();
    void importCommandKeysFromImportWindow();
};

void TestDialogs::initTestCase()
{
    m_library = new LibraryFixture;
    m_library->createSmall();
}

void TestDialogs::init()
{
    m_addresses = new OpenedAddresses;
    m_form = startMainWindow(m_library->appDir());
}

void TestDialogs::cleanup()
{
    m_form.reset();
    delete m_addresses;
    m_addresses = nullptr;
}

void TestDialogs::cleanupTestCase()
{
    delete m_library;
}

void TestDialogs::aboutBoxShowsPictureNoteAndButtons()
{
    QPointer<TFmabout> box;
    bool shown = false;
    withAboutBox([&](QWidget* open) {
        box = qobject_cast<TFmabout*>(open);
        QVERIFY(box);
        shown = true;
        QCOMPARE(box.data(), m_form->findChild<TFmabout*>());
        QCOMPARE(box->windowTitle(), QStringLiteral("Feylume"));
        QCOMPARE(box->size(), QSize(494, 306));
        QCOMPARE(box->minimumSize(), box->maximumSize());
        QVERIFY(!(box->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(box->windowFlags() & Qt::WindowMinimizeButtonHint);

        QCOMPARE(box->Image1->geometry(), QRect(8, 24, 169, 257));
        QCOMPARE(box->Image1->pixmap().size(), QSize(180, 249));
        QCOMPARE(box->Image1->cursor().shape(), Qt::PointingHandCursor);

        const QStringList lines = box->Memo1->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 23);
        QVERIFY(lines.first().startsWith(QLatin1Char(' ')));
        QCOMPARE(lines.first().trimmed(), QStringLiteral("Feylume2.5"));
        // Four paragraphs after the title, each opened by an indent and closed by a blank line.
        QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^    \\S"))).size(), 4);
        QCOMPARE(lines.count(QString()), 5);
        QVERIFY(lines.last().contains(QStringLiteral("2026")));
        QVERIFY(box->Memo1->isReadOnly());
        QCOMPARE(box->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(box->Memo1->geometry(), QRect(200, 24, 281, 233));

        QCOMPARE(box->BitBtn2->text(), QStringLiteral("主页"));
        QCOMPARE(box->BitBtn2->geometry(), QRect(232, 272, 75, 25));
        QVERIFY(box->BitBtn2->isDefault());
        QCOMPARE(box->BitBtn2->NumGlyphs(), 2);
        QCOMPARE(box->BitBtn2->Glyph().size(), QSize(2 * 18, 18));
        QCOMPARE(box->BitBtn1->text(), QStringLiteral("确定"));
        QCOMPARE(box->BitBtn1->geometry(), QRect(368, 272, 75, 25));
        QCOMPARE(box->BitBtn1->NumGlyphs(), 2);
        QCOMPARE(box->BitBtn1->Glyph().size(), QSize(2 * 18, 18));
        QVERIFY(box->isModal());
    });
    QVERIFY(shown);
    QTRY_VERIFY(!box);
    QVERIFY(!m_form->findChild<TFmabout*>());
    QVERIFY(m_addresses->seen.isEmpty());
}

void TestDialogs::aboutBoxKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("Enter: home page, then closed with 5")
        << int(Qt::Key_Return) << TFmabout::kHomePageResult << QStringList {WebAddresses::kHomePage};
    QTest::newRow("Esc: closed, nothing opened")
        << int(Qt::Key_Escape) << int(QDialog::Rejected) << QStringList();
}

void TestDialogs::aboutBoxKeys()
{
    QFETCH(int, key);
    QFETCH(int, result);
    QFETCH(QStringList, opened);
    QPointer<TFmabout> box;
    int finishedWith = -1;
    withAboutBox([&](QWidget* open) {
        box = qobject_cast<TFmabout*>(open);
        connect(box, &QDialog::finished, this, [&](int r) { finishedWith = r; });
        press(QKeyCombination(Qt::Key(key)));
        QVERIFY(!box->isVisible());
    });
    QCOMPARE(finishedWith, result);
    QCOMPARE(m_addresses->seen, opened);
    QTRY_VERIFY(!box);
}

void TestDialogs::defaultButtonKeepsItsEmbossWhenTabMovesTheFocus()
{
    // A button's caption as painted, without the glyph left of it and the rings along its edges;
    // only the default button's caption carries the embossed shade.
    const auto caption = [](TBitBtn* button) {
        const int tw = QFontMetrics(button->font()).horizontalAdvance(button->text());
        const int textLeft = (button->width() - (4 + 18 + tw)) / 2 + 18 + 4;
        return button->grab().toImage().copy(
            QRect(textLeft, 4, button->width() - 4 - textLeft, button->height() - 8));
    };
    withAboutBox([&](QWidget* open) {
        auto* box = qobject_cast<TFmabout*>(open);
        focus(box->Memo1);
        const QImage home = caption(box->BitBtn2);
        const QImage ok = caption(box->BitBtn1);
        QVERIFY(home != ok);
        for (int i = 0; i < 3 && !box->BitBtn1->hasFocus(); ++i)
            press(QKeyCombination(Qt::Key_Tab));
        QVERIFY(box->BitBtn1->hasFocus());
        QCOMPARE(caption(box->BitBtn2), home);
        QCOMPARE(caption(box->BitBtn1), ok);
        press(QKeyCombination(Qt::Key_Escape));
    });
}

void TestDialogs::pictureOpensHomePageAndKeepsTheBoxOpen()
{
    withAboutBox([&](QWidget* open) {
        auto* box = qobject_cast<TFmabout*>(open);
        QTest::mouseClick(box->Image1, Qt::LeftButton, {}, QPoint(40, 40));
        QVERIFY(box->isVisible());
        QTest::mouseClick(box->Image1, Qt::LeftButton, {}, QPoint(100, 200));
        QVERIFY(box->isVisible());
        QCOMPARE(m_addresses->seen, QStringList({WebAddresses::kHomePage, WebAddresses::kHomePage}));
        // And "主页" with the mouse: opened once more, then closed.
        QTest::mouseClick(box->BitBtn2, Qt::LeftButton);
        QVERIFY(!box->isVisible());
    });
    QCOMPARE(m_addresses->seen.size(), 3);
}

void TestDialogs::aboutBoxIsFreshEachTime()
{
    QPointer<TFmabout> first;
    withAboutBox([&](QWidget* open) {
        first = qobject_cast<TFmabout*>(open);
        first->Memo1->verticalScrollBar()->setValue(first->Memo1->verticalScrollBar()->maximum());
        QTest::mouseClick(first->BitBtn1, Qt::LeftButton);
    });
    QTRY_VERIFY(!first);
    withAboutBox([&](QWidget* open) {
        auto* second = qobject_cast<TFmabout*>(open);
        QVERIFY(second);
        QCOMPARE(second->Memo1->verticalScrollBar()->value(), 0);
        press(QKeyCombination(Qt::Key_Escape));
    });
    QVERIFY(m_addresses->seen.isEmpty());
}

void TestDialogs::mainWindowIgnoresItsKeysUnderTheAboutBox()
{
    focus(m_form->Treeclass);
    auto* addScript = m_form->ToolBar1->findChild<QWidget*>(QStringLiteral("ToolButton4"));
    runUntilIdle();
    QVERIFY(addScript->isEnabled());
    const QString mode = m_form->panelText(TForm1::ModePanel);
    const QPoint clickPoint = addScript->mapTo(m_form.get(), addScript->rect().center());
    withAboutBox([&](QWidget* open) {
        // F1 and Shift+I reach the main window's controls only through its key dispatch.
        QTest::keyClick(m_form->Treeclass, Qt::Key_F1);
        QTest::keyClick(m_form->Treeclass, Qt::Key_I, Qt::ShiftModifier);
        // A click on "添加脚本" would start a new script. It goes through the window system, as
        // a user's click does, which is where a modal box holds clicks back.
        QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, clickPoint);
        QVERIFY(open->isVisible());
        press(QKeyCombination(Qt::Key_Escape));
    });
    QVERIFY(m_addresses->seen.isEmpty());
    QVERIFY(importWindows(*m_form).isEmpty());
    QCOMPARE(m_form->panelText(TForm1::ModePanel), mode);
    // The same click with the box gone does start one: the click above was really blocked.
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, clickPoint);
    QCOMPARE(m_form->panelText(TForm1::ModePanel), QStringLiteral("[插入模式]"));
}

void TestDialogs::helpKeyOpensHelpPageFromAnywhere_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("tree") << QStringLiteral("Treeclass");
    QTest::newRow("code editor") << QStringLiteral("DBMemo2");
    QTest::newRow("search box") << QStringLiteral("Edit1");
    QTest::newRow("results list") << QStringLiteral("ListBox1");
}

void TestDialogs::helpKeyOpensHelpPageFromAnywhere()
{
    QFETCH(QString, control);
    focus(m_form->findChild<QWidget*>(control));
    press(QKeyCombination(Qt::Key_F1));
    QCOMPARE(m_addresses->seen, QStringList {QStringLiteral("http://www.qingying-studio.example/fylm")});
}

void TestDialogs::importWindowFieldsAndTabOrder()
{
    focus(m_form->Treeclass);
    press(QKeyCombination(Qt::SHIFT | Qt::Key_I));
    QCOMPARE(importWindows(*m_form).size(), 1);
    TFmImport* window = newestImportWindow(*m_form);
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QVERIFY(!window->isModal());
    QCOMPARE(window->windowTitle(), QStringLiteral("网络导入设置"));
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window->minimumSize() != window->maximumSize());

    QCOMPARE(window->Edit1->text(), QStringLiteral("http://"));
    QCOMPARE(window->Edit1->geometry(), QRect(72, 24, 329, 21));
    QCOMPARE(window->Edit4->echoMode(), QLineEdit::Normal);
    QCOMPARE(window->GroupBox1->title(), QStringLiteral("代理设置(没有请留空)"));
    QCOMPARE(window->Edit6->parentWidget(), window->GroupBox1);
    QCOMPARE(window->Edit6->geometry(), QRect(296, 32, 73, 21));
    QCOMPARE(window->BitBtn1->Kind(), TBitBtn::bkOK);
    QCOMPARE(window->BitBtn2->Kind(), TBitBtn::bkNo);
    QCOMPARE(window->findChild<QLabel*>(QStringLiteral("Label7"))->text(),
        QStringLiteral("注：用户名和密码一般为空      "));

    // Tab walks the boxes, the buttons, then the proxy frame.
    focus(window->Edit1);
    QStringList order;
    for (int i = 0; i < 7; ++i) {
        order << QApplication::focusWidget()->objectName();
        press(QKeyCombination(Qt::Key_Tab));
    }
    QCOMPARE(order, QStringList({"Edit1", "Edit3", "Edit4", "BitBtn1", "BitBtn2", "Edit5", "Edit6"}));
    QCOMPARE(QApplication::focusWidget(), window->Edit1);
    // Nothing typed here is read: any text goes, the port too.
    focus(window->Edit6);
    QTest::keyClicks(window->Edit6, QStringLiteral("not a port"));
    QCOMPARE(window->Edit6->text(), QStringLiteral("not a port"));
}

void TestDialogs::importWindowsAreSeparateAndCloseAlone()
{
    m_form->MainMenu1->findChild<QAction*>(QStringLiteral("N11"))->trigger();
    QPointer<TFmImport> first = newestImportWindow(*m_form);
    m_form->MainMenu1->findChild<QAction*>(QStringLiteral("N11"))->trigger();
    QPointer<TFmImport> second = newestImportWindow(*m_form);
    QVERIFY(first && second && first != second);
    QVERIFY(first->isVisible() && second->isVisible());
    first->Edit3->setText(QStringLiteral("kept"));

    // Esc closes the window it is pressed in, and only that one.
    focus(second->Edit3);
    press(QKeyCombination(Qt::Key_Escape));
    QTRY_VERIFY(!second);
    QVERIFY(first && first->isVisible());
    QCOMPARE(first->Edit3->text(), QStringLiteral("kept"));
    // "取消" and the close box close the other as well.
    QTest::mouseClick(first->BitBtn2, Qt::LeftButton);
    QTRY_VERIFY(!first);
    QVERIFY(importWindows(*m_form).isEmpty());
}

void TestDialogs::importEnterAnnouncesAndKeepsValues()
{
    m_form->MainMenu1->findChild<QAction*>(QStringLiteral("N11"))->trigger();
    QPointer<TFmImport> window = newestImportWindow(*m_form);
    QVERIFY(QTest::qWaitForWindowActive(window));
    focus(window->Edit5);
    QTest::keyClicks(window->Edit5, QStringLiteral("proxy.local"));

    for (QWidget* where : {static_cast<QWidget*>(window->Edit1), static_cast<QWidget*>(window->Edit5)}) {
        focus(where);
        ModalAnswerer answerer({Answer {QStringLiteral("OK")}});
        press(QKeyCombination(Qt::Key_Return));
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().size(), 1);
        QCOMPARE(answerer.seen().first().text, QStringLiteral("过两天加上去这个功能"));
        QCOMPARE(answerer.seen().first().title, QStringLiteral("FeylumeV2.5"));
    }
    ModalAnswerer answerer({Answer {QStringLiteral("OK")}});
    QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
    QTRY_VERIFY(answerer.done());
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->Edit1->text(), QStringLiteral("http://"));
    QCOMPARE(window->Edit5->text(), QStringLiteral("proxy.local"));
    QVERIFY(m_addresses->seen.isEmpty());
}

void TestDialogs::importCommandKeysFromImportWindow()
{
    focus(m_form->Treeclass);
    press(QKeyCombination(Qt::SHIFT | Qt::Key_I));
    QPointer<TFmImport> window = newestImportWindow(*m_form);
    QVERIFY(QTest::qWaitForWindowActive(window));

    // The main window's command keys work from the settings window.
    focus(window->Edit3);
    press(QKeyCombination(Qt::Key_F1));
    QCOMPARE(m_addresses->seen, QStringList {WebAddresses::kHelpPage});

    // Shift+I on a button opens another window ...
    focus(window->BitBtn2);
    press(QKeyCombination(Qt::SHIFT | Qt::Key_I));
    QCOMPARE(importWindows(*m_form).size(), 2);
    QVERIFY(newestImportWindow(*m_form) != window);

    // ... but typed into a box it is a capital letter like any other.
    // (Sent as a keyboard sends it: the letter's text comes in capitals with Shift.)
    focus(window->Edit3);
    QTest::keyClick(window->Edit3, 'I', Qt::ShiftModifier);
    QCOMPARE(window->Edit3->text(), QStringLiteral("I"));
    QCOMPARE(importWindows(*m_form).size(), 2);
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
