// The user's typed work survives every refused store, and what the library holds is shown whole:
// refusals with their causes, leaving a changed script, declared sizes, Escape in the category
// box and the count after a delete.

#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbedit.h"
#include "main/categorytree.h"
#include "main/form1.h"
#include "store/database.h"
#include "support/faultyvfs.h"
#include "support/mainwindowfixture.h"
#include "support/mainwindowtest.h"
#include "support/modalanswerer.h"
#include "support/ordinaryuser.h"
#include "support/userinput.h"

#include <QtTest>

#include <sqlite3.h>

using namespace UserInput;
using Shown::childNames;
using Shown::mode;

namespace {
double luminance(QRgb colour)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) + 0.0722 * linear(qBlue(colour));
}

// How far apart two colours are for a reader: 1 for none, 21 for black on white.
double contrast(QRgb a, QRgb b)
{
    const double first = luminance(a);
    const double second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

// The colour most pixels of the area have.
QRgb commonest(const QImage& image, const QRect& area)
{
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    }
    return std::max_element(counts.cbegin(), counts.cend()).key();
}
} // namespace

class TestKeepWork : public MainWindowTest
{
    Q_OBJECT

private:
    std::unique_ptr<FaultyVfs> m_vfs;

    QString stored(const QString& sql) const { return m_library->value(sql); }

    QString selectedName() const
    {
        const TreeNode* node = m_form->Treeclass->selectedNode();
        return node ? node->text(0) : QString();
    }

private slots:
    void init()
    {
        // In force before the window opens the library, so that its connection can be failed.
        m_vfs = std::make_unique<FaultyVfs>();
        newLibrary().createSmall();
    }

    void cleanup()
    {
        MainWindowTest::cleanup();
        m_vfs.reset();
    }

    void refusedStoreKeepsTheRecord_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("cause");
        const QList<QPair<QString, QString>> faults {
            {QStringLiteral("duplicate"), QStringLiteral("原因：这个名字已被使用，名字不能重复")},
            {QStringLiteral("locked"), QStringLiteral("原因：数据库正被其他程序锁定，请稍后再试")},
            {QStringLiteral("disk full"), QStringLiteral("原因：磁盘已满")},
            {QStringLiteral("folder not writable"), QStringLiteral("原因：数据库文件或它所在的文件夹不可写")},
        };
        for (const auto& [fault, cause] : faults) {
            for (const QString& trigger :
                {QStringLiteral("F7"), QStringLiteral("F5"), QStringLiteral("select")}) {
                QTest::addRow("%s by %s", qPrintable(fault), qPrintable(trigger))
                    << fault << trigger << cause;
            }
        }
    }

    void refusedStoreKeepsTheRecord()
    {
        QFETCH(QString, fault);
        QFETCH(QString, trigger);
        QFETCH(QString, cause);
        start();
        openScript(QStringLiteral("打字机"));
        retype(form().DBEdit3, QStringLiteral("新作者"));
        if (fault == QLatin1String("duplicate"))
            retype(form().DBEdit2, QStringLiteral("时钟"));

        Database other;
        if (fault == QLatin1String("locked")) {
            other.open(m_library->libraryPath(), Database::OpenMode::ExistingOnly);
            other.exec(QStringLiteral("BEGIN IMMEDIATE"));
        } else if (fault == QLatin1String("disk full")) {
            m_vfs->failWrites(SQLITE_FULL);
        } else if (fault == QLatin1String("folder not writable")) {
            m_vfs->refuseJournals(true);
        }

        ModalAnswerer answerer({{QStringLiteral("OK")}});
        if (trigger == QLatin1String("select"))
            selectNode(form(), QStringLiteral("倒计时"), true);
        else
            press(trigger == QLatin1String("F7") ? Qt::Key_F7 : Qt::Key_F5);
        QTRY_VERIFY_WITH_TIMEOUT(answerer.done(), 10000);
        QCOMPARE(answerer.seen().at(0).text, QStringLiteral("修改脚本时发生错误，操作失败\n") + cause);

        // Nothing typed is lost, nothing was stored, and the selection is on the changed script.
        QCOMPARE(mode(form()), QStringLiteral("[编辑模式]"));
        QCOMPARE(form().DBEdit3->text(), QStringLiteral("新作者"));
        QCOMPARE(selectedName(), QStringLiteral("打字机"));
        QCOMPARE(form().CurrentScriptName, QStringLiteral("打字机"));

        if (other.isOpen())
            other.exec(QStringLiteral("ROLLBACK"));
        m_vfs->failWrites(0);
        m_vfs->refuseJournals(false);
        QCOMPARE(stored(QStringLiteral("select cjs_zzm from tjs where cjs_name = '打字机'")),
            QStringLiteral("林一"));

        // Put right, the same record saves.
        if (fault == QLatin1String("duplicate"))
            retype(form().DBEdit2, QStringLiteral("打字机二"));
        focus(form().DBEdit3);
        press(Qt::Key_F7);
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
        const QString name
            = fault == QLatin1String("duplicate") ? QStringLiteral("打字机二") : QStringLiteral("打字机");
        QCOMPARE(stored(QStringLiteral("select cjs_zzm from tjs where cjs_name = '%1'").arg(name)),
            QStringLiteral("新作者"));
        QCOMPARE(childNames(form(), QStringLiteral("文字特效")).first(), name);
    }

    void refusedNewScriptOnLeavingGoesBack()
    {
        start();
        openScript(QStringLiteral("打字机"));
        press(Qt::Key_F5);
        chooseCategory(form().CBX1, QStringLiteral("空类别"));
        type(form().DBEdit2, QStringLiteral("时钟"));
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        selectNode(form(), QStringLiteral("倒计时"), true);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).text,
            QStringLiteral("添加脚本失败，请检查是否输入了重名脚本\n原因：这个名字已被使用，名字不能重复"));
        QCOMPARE(mode(form()), QStringLiteral("[插入模式]"));
        QCOMPARE(form().DBEdit2->text(), QStringLiteral("时钟"));
        QCOMPARE(form().CBX1->text(), QStringLiteral("空类别"));
        QCOMPARE(selectedName(), QStringLiteral("打字机"));
        QCOMPARE(stored(QStringLiteral("select count(*) from tjs")), QStringLiteral("4"));
    }

    void leavingAChangedScriptStoresIt()
    {
        start();
        openScript(QStringLiteral("打字机"));
        retype(form().DBEdit2, QStringLiteral("打字机二"));
        retype(form().DBEdit3, QStringLiteral("新作者"));
        chooseCategory(form().CBX1, QStringLiteral("时间日期"));
        selectNode(form(), QStringLiteral("彩虹'文字"), true);
        QTRY_COMPARE(form().CurrentScriptName, QStringLiteral("彩虹'文字"));
        QCOMPARE(selectedName(), QStringLiteral("彩虹'文字"));
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
        QCOMPARE(form().DBEdit3->text(), QStringLiteral("张三"));
        QCOMPARE(
            stored(QStringLiteral("select cjs_type || '/' || cjs_zzm from tjs where cjs_name = '打字机二'")),
            QStringLiteral("时间日期/新作者"));
        QCOMPARE(childNames(form(), QStringLiteral("时间日期")),
            QStringList({QStringLiteral("时钟"), QStringLiteral("倒计时"), QStringLiteral("打字机二")}));
        QCOMPARE(childNames(form(), QStringLiteral("文字特效")), QStringList(QStringLiteral("彩虹'文字")));
    }

    void closingWithChangesAsks_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QString>("storedAuthor");
        QTest::newRow("save") << QStringLiteral("保存") << true << QStringLiteral("新作者");
        QTest::newRow("drop") << QStringLiteral("不保存") << true << QStringLiteral("林一");
        QTest::newRow("stay") << QStringLiteral("取消") << false << QStringLiteral("林一");
    }

    void closingWithChangesAsks()
    {
        QFETCH(QString, button);
        QFETCH(bool, closed);
        QFETCH(QString, storedAuthor);
        start();
        openScript(QStringLiteral("打字机"));
        retype(form().DBEdit3, QStringLiteral("新作者"));
        ModalAnswerer answerer({{button}});
        QCOMPARE(form().close(), closed);
        QVERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).text, QStringLiteral("当前脚本的修改还没有保存，要保存吗?"));
        QCOMPARE(stored(QStringLiteral("select cjs_zzm from tjs where cjs_name = '打字机'")), storedAuthor);
        if (!closed)
            QCOMPARE(form().DBEdit3->text(), QStringLiteral("新作者"));
    }

    void closingWithoutChangesDoesNotAsk()
    {
        start();
        openScript(QStringLiteral("打字机"));
        QVERIFY(form().close());
    }

    void readOnlyLibraryIsBrowsedOnly()
    {
        FEYLUME_AS_ORDINARY_USER();
        QVERIFY(QFile::setPermissions(
            m_library->libraryPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        ModalAnswerer notice({{QStringLiteral("OK")}});
        start();
        QVERIFY(notice.done());
        QCOMPARE(notice.seen().at(0).text, QStringLiteral("数据库文件是只读的，只能浏览脚本，不能保存修改"));
        openScript(QStringLiteral("打字机"));
        type(form().DBEdit3, QStringLiteral("新"));
        QCOMPARE(form().DBEdit3->text(), QStringLiteral("林一"));
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
        press(Qt::Key_F5);
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
    }

    void escapeInTheCategoryBoxPutsBackTheStoredCategory()
    {
        start();
        openScript(QStringLiteral("打字机"));
        chooseCategory(form().CBX1, QStringLiteral("时间日期"));
        QCOMPARE(mode(form()), QStringLiteral("[编辑模式]"));
        QTest::keyClick(form().CBX1, Qt::Key_Escape);
        QCOMPARE(form().CBX1->text(), QStringLiteral("文字特效"));
        press(Qt::Key_F7);
        QCOMPARE(stored(QStringLiteral("select cjs_type from tjs where cjs_name = '打字机'")),
            QStringLiteral("文字特效"));
        QCOMPARE(childNames(form(), QStringLiteral("文字特效")).first(), QStringLiteral("打字机"));
    }

    void countAfterADeleteIsTheTreeAsItNowStands()
    {
        start();
        openScript(QStringLiteral("时钟"));
        QCOMPARE(form().panelText(TForm1::CountPanel), QStringLiteral("时间日期脚本数:2"));
        ModalAnswerer yes({{QStringLiteral("&Yes")}});
        press(Qt::Key_F6);
        QTRY_VERIFY(yes.done());
        QCOMPARE(form().panelText(TForm1::CountPanel), QStringLiteral("时间日期脚本数:1"));
    }

    void dateShowsFromItsFirstCharacter()
    {
        start();
        openScript(QStringLiteral("打字机"));
        QCOMPARE(form().DBEdit1->cursorPosition(), 0);
    }

    void dateIsShownWholeAndReadable()
    {
        start();
        openScript(QStringLiteral("打字机"));
        TDBEdit* box = form().DBEdit1;
        QCOMPARE(box->geometry(), QRect(88, 128, 121, 21));
        const QImage shot = box->grab().toImage();
        const QRect inside = box->rect().adjusted(2, 2, -3, -3);
        const QRgb background = commonest(shot, inside);
        int left = inside.right();
        int right = inside.left();
        QRgb darkest = background;
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            for (int x = inside.left(); x <= inside.right(); ++x) {
                const QRgb pixel = shot.pixel(x, y);
                if (contrast(pixel, background) < 1.5)
                    continue;
                left = std::min(left, x);
                right = std::max(right, x);
                if (luminance(pixel) < luminance(darkest))
                    darkest = pixel;
            }
        }
        // Every character is drawn, clear of the box's right edge...
        const int textWidth = QFontMetrics(box->font()).tightBoundingRect(box->text()).width();
        QVERIFY2(right - left + 1 >= textWidth - 2,
            qPrintable(QStringLiteral("ink %1..%2, text %3 wide").arg(left).arg(right).arg(textWidth)));
        QVERIFY(right < inside.right() - 1);
        // ...and as legible as text on paper is expected to be.
        QVERIFY2(
            contrast(darkest, background) >= 4.5, qPrintable(QString::number(contrast(darkest, background))));
    }

    void nameLongerThanDeclaredIsShownAndKeptWhole()
    {
        const QString longName = QString(60, QChar(u'长'));
        m_library->create({QStringLiteral("类")}, {{longName, QStringLiteral("类"), QStringLiteral("甲")}});
        start();
        openScript(longName);
        QCOMPARE(form().DBEdit2->text(), longName);
        retype(form().DBEdit3, QStringLiteral("乙"));
        press(Qt::Key_F7);
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
        QCOMPARE(stored(QStringLiteral("select cjs_zzm from tjs where cjs_name = '%1'").arg(longName)),
            QStringLiteral("乙"));
        QCOMPARE(childNames(form(), QStringLiteral("类")), QStringList(longName));
        // Typing cannot make it longer still.
        focus(form().DBEdit2);
        form().DBEdit2->end(false);
        type(form().DBEdit2, QStringLiteral("多"));
        QCOMPARE(form().DBEdit2->text(), longName);
    }

    void limitCountsCharactersNotHalves()
    {
        start();
        openScript(QStringLiteral("打字机"));
        const QString wide = QStringLiteral("\U0001F600");
        retype(form().DBEdit2, QString(49, QChar(u'字')));
        type(form().DBEdit2, wide);
        const QString atLimit = QString(49, QChar(u'字')) + wide;
        QCOMPARE(form().DBEdit2->text(), atLimit);
        type(form().DBEdit2, wide); // no room: nothing of it is taken
        QCOMPARE(form().DBEdit2->text(), atLimit);
        press(Qt::Key_F7);
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
        QCOMPARE(m_library->column(QStringLiteral("select cjs_name from tjs where cjs_zzm = '林一'")),
            QStringList(atLimit));
        QCOMPARE(childNames(form(), QStringLiteral("文字特效")).first(), atLimit);
    }
};

QTEST_MAIN(TestKeepWork)
#include "test_keepwork.moc"
