// Libraries made elsewhere, on the real window: names holding a NUL or bytes that are not UTF-8,
// scripts outside every category, and a library another program holds locked at start-up.

#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbedit.h"
#include "main/categorytree.h"
#include "main/currentscript.h"
#include "main/form1.h"
#include "store/database.h"
#include "support/mainwindowfixture.h"
#include "support/mainwindowtest.h"
#include "support/modalanswerer.h"
#include "support/userinput.h"
#include "support/windowparts.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace {
const QByteArray kNulCategory("前\0后", 7);
const QByteArray kGbkCategory("\xce\xc4\xd7\xd6"); // 文字 in GBK
// Neither UTF-8 nor GB18030 (nor any other encoding's valid text).
const QByteArray kInvalidCategory("INV\xc3\xff");
// Two names in GBK that show alike: every byte becomes a replacement mark.
const QByteArray kGbkScript("\xb2\xe2\xca\xd4");
const QByteArray kOtherGbkScript("\xb2\xe2\xca\xd5");

struct HostileRow
{
    QByteArray name;
    QVariant category; // bytes, or no value at all
    QString author;
};

// A normal category, one whose name holds a NUL, one in GBK and one valid in no encoding; two
// scripts whose names are GBK; and two scripts outside every category.
void createHostileLibrary(LibraryFixture& library)
{
    library.create(
        {QStringLiteral("普通")}, {{QStringLiteral("甲"), QStringLiteral("普通"), QStringLiteral("甲作者")}});
    Database db;
    db.open(library.libraryPath(), Database::OpenMode::ExistingOnly);
    db.exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    for (const QByteArray& category : {kNulCategory, kGbkCategory, kInvalidCategory}) {
        Statement insert(db, QStringLiteral("INSERT INTO ttype(ctype_name) VALUES (?)"));
        insert.bind(1, category);
        insert.run();
    }
    const QList<HostileRow> rows = {
        {kGbkScript, QByteArray("普通"), QStringLiteral("乙")},
        {kOtherGbkScript, QByteArray("普通"), QStringLiteral("丙")},
        {QByteArray("丁"), kNulCategory, QStringLiteral("丁作者")},
        {QByteArray("戊"), kGbkCategory, QStringLiteral("戊作者")},
        {QByteArray("己"), kInvalidCategory, QStringLiteral("己作者")},
        {QByteArray("孤"), QByteArray("不存在"), QStringLiteral("孤作者")},
        {QByteArray("无类"), QVariant(), QStringLiteral("无类作者")},
    };
    for (const HostileRow& row : rows) {
        Statement insert(db, QStringLiteral("INSERT INTO tjs(cjs_name, cjs_type, cjs_zzm) VALUES (?, ?, ?)"));
        insert.bind(1, row.name);
        insert.bind(2, row.category);
        insert.bind(3, row.author);
        insert.run();
    }
}

TreeNode* storedNode(TForm1& form, QByteArrayView name, bool scriptLevel)
{
    const int position = form.FindNodeIndex(StoredName::fromBytes(name), scriptLevel);
    return position < 0 ? nullptr : form.Treeclass->nodeAt(position);
}

} // namespace

using namespace UserInput;
using Shown::mode;

class TestStoredBytes : public MainWindowTest
{
    Q_OBJECT

private:
    QString m_notice;

    QString stored(const QString& sql) const { return m_library->value(sql); }

    void openStored(QByteArrayView name)
    {
        TreeNode* node = storedNode(form(), name, true);
        QVERIFY(node);
        form().Treeclass->setCurrentNode(node);
        focus(form().Treeclass);
    }

private slots:
    void init()
    {
        createHostileLibrary(newLibrary());
        ModalAnswerer notice({{QStringLiteral("OK")}});
        start();
        QTRY_VERIFY(notice.done());
        m_notice = notice.seen().at(0).text;
    }

    void everyCategoryLoadsAndTheRestAreTold()
    {
        QCOMPARE(form().Treeclass->topLevelItemCount(), 4);
        const TreeNode* nul = storedNode(form(), kNulCategory, false);
        QVERIFY(nul);
        QCOMPARE(nul->text(), QString::fromUtf8(kNulCategory));
        QCOMPARE(nul->childCount(), 1);
        QCOMPARE(storedNode(form(), kGbkCategory, false)->childCount(), 1);
        QCOMPARE(storedNode(form(), QByteArray("普通"), false)->childCount(), 3);
        QCOMPARE(storedNode(form(), kInvalidCategory, false)->childCount(), 1);
        QCOMPARE(form().CBX1->count(), 4);
        // Every script of the library is counted; the two outside the tree are named by count.
        QCOMPARE(form().panelText(TForm1::TotalPanel), QStringLiteral("总脚本数:8"));
        QVERIFY2(m_notice.contains(QStringLiteral("2 个脚本")), qPrintable(m_notice));
        QCOMPARE(mode(form()), QStringLiteral("载入正常完成"));
    }

    void aNameIsFoundByItsBytesBeforeItsShownText()
    {
        const int first = form().FindNodeIndex(StoredName::fromBytes(kGbkScript), true);
        const int other = form().FindNodeIndex(StoredName::fromBytes(kOtherGbkScript), true);
        QVERIFY(first >= 0 && other >= 0 && first != other);
        QCOMPARE(form().Treeclass->nodeAt(other)->storedName(), QByteArrayView(kOtherGbkScript));
        // The shown text, replacement marks and all, finds the first node that shows it.
        const QString shown = QString::fromUtf8(kOtherGbkScript);
        QVERIFY(shown.contains(QChar::ReplacementCharacter));
        QCOMPARE(form().FindNodeIndex(shown, true), first);
    }

    void namesShownAlikeOpenTheirOwnRows_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("author");
        QTest::newRow("first") << kGbkScript << QStringLiteral("乙");
        QTest::newRow("second") << kOtherGbkScript << QStringLiteral("丙");
        QTest::newRow("in the NUL category") << QByteArray("丁") << QStringLiteral("丁作者");
        QTest::newRow("in the GBK category") << QByteArray("戊") << QStringLiteral("戊作者");
    }

    void namesShownAlikeOpenTheirOwnRows()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, author);
        openStored(name);
        QCOMPARE(form().DBEdit3->text(), author);
        QCOMPARE(form().panelText(TForm1::ScriptPanel), QString::fromUtf8(name));
        QVERIFY(!form().CurrentScriptCategory.isEmpty());
        QCOMPARE(form().CBX1->text(), form().Treeclass->selectedNode()->parent()->text());
    }

    void searchResultsShownAlikeOpenTheirOwnRows()
    {
        // Search by author: each result's name shows as replacement marks only.
        for (const auto& [name, author] : {std::pair {kGbkScript, QStringLiteral("乙")},
                 std::pair {kOtherGbkScript, QStringLiteral("丙")}}) {
            form().rb3->setChecked(true);
            retype(form().Edit1, author);
            QTest::mouseClick(form().BitBtn1, Qt::LeftButton);
            QCOMPARE(form().ListBox1->count(), 1);
            form().ListBox1->setCurrentRow(0);
            QTest::mouseClick(form().ListBox1->viewport(), Qt::LeftButton, {},
                form().ListBox1->visualItemRect(form().ListBox1->item(0)).center());
            QTRY_COMPARE(form().DBEdit3->text(), author);
            QCOMPARE(form().Treeclass->selectedNode()->storedName(), QByteArrayView(name));
        }
    }

    void savingKeepsTheStoredBytesAndThePlace_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("category");
        QTest::newRow("GBK name") << kOtherGbkScript << QByteArray("普通");
        QTest::newRow("NUL category") << QByteArray("丁") << kNulCategory;
        QTest::newRow("GBK category") << QByteArray("戊") << kGbkCategory;
    }

    void savingKeepsTheStoredBytesAndThePlace()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, category);
        const QString hex = QString::fromLatin1(name.toHex().toUpper());
        openStored(name);
        type(form().DBEdit3, QStringLiteral("新"));
        QCOMPARE(mode(form()), QStringLiteral("[编辑模式]"));
        press(Qt::Key_F7);
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
        QCOMPARE(stored(QStringLiteral(
                     "select hex(cjs_name) || '/' || hex(cjs_type) from tjs where cjs_zzm like '%新%'")),
            hex + QLatin1Char('/') + QString::fromLatin1(category.toHex().toUpper()));
        const TreeNode* node = storedNode(form(), name, true);
        QVERIFY(node);
        QCOMPARE(node->parent()->storedName(), category);
    }

    void movingIntoACategoryNamedInOtherBytesKeepsTheLink()
    {
        openStored(QByteArray("甲"));
        chooseCategory(form().CBX1, QString::fromUtf8(kGbkCategory));
        press(Qt::Key_F7);
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
        QCOMPARE(stored(QStringLiteral("select hex(cjs_type) from tjs where cjs_name = '甲'")),
            QString::fromLatin1(kGbkCategory.toHex().toUpper()));
        QCOMPARE(storedNode(form(), QByteArray("甲"), true)->parent()->storedName(), kGbkCategory);
    }

    void deletingRemovesTheRowItWasOpenedWith()
    {
        openStored(kGbkScript);
        ModalAnswerer yes({{QStringLiteral("&Yes")}});
        press(Qt::Key_F6);
        QTRY_VERIFY(yes.done());
        QCOMPARE(
            stored(QStringLiteral(
                "select group_concat(hex(cjs_name)) from tjs where cjs_type = '普通' and cjs_name <> '甲'")),
            QString::fromLatin1(kOtherGbkScript.toHex().toUpper()));
        QVERIFY(!storedNode(form(), kGbkScript, true));
        QVERIFY(storedNode(form(), kOtherGbkScript, true));
    }

    void categoriesAreSearchedRenamedAndDeletedByTheirStoredBytes_data()
    {
        QTest::addColumn<QByteArray>("category");
        QTest::addColumn<QByteArray>("script");
        QTest::newRow("NUL") << kNulCategory << QByteArray("丁");
        QTest::newRow("GBK") << kGbkCategory << QByteArray("戊");
        QTest::newRow("valid in no encoding") << kInvalidCategory << QByteArray("己");
    }

    void categoriesAreSearchedRenamedAndDeletedByTheirStoredBytes()
    {
        QFETCH(QByteArray, category);
        QFETCH(QByteArray, script);
        const QString renamed = QStringLiteral("改过名");
        auto clickTool = [this](const char* name) {
            auto* button = form().ToolBar1->findChild<QToolButton*>(QString::fromLatin1(name));
            QVERIFY(button);
            QTest::mouseClick(button, Qt::LeftButton);
        };

        form().rb1->setChecked(true);
        form().ComboBox1->setCurrentIndex(form().ComboBox1->findText(QString::fromUtf8(category)));
        retype(form().Edit1, QStringLiteral("%"));
        QTest::mouseClick(form().BitBtn1, Qt::LeftButton);
        QCOMPARE(form().ListBox1->count(), 1);
        QCOMPARE(form().ListBox1->item(0)->text(), QString::fromUtf8(script));

        form().Treeclass->setCurrentNode(storedNode(form(), category, false));
        ModalAnswerer rename({{QStringLiteral("OK"), renamed}});
        clickTool("ToolButton3");
        QTRY_VERIFY(rename.done());
        QCOMPARE(stored(QStringLiteral("select cjs_type from tjs where cjs_name = '%1'")
                            .arg(QString::fromUtf8(script))),
            renamed);
        const TreeNode* node = storedNode(form(), renamed.toUtf8(), false);
        QVERIFY(node);
        QCOMPARE(node->childCount(), 1);
        QVERIFY(form().CBX1->findText(renamed) >= 0);
        QVERIFY(form().ComboBox1->findText(renamed) > 0);

        form().Treeclass->setCurrentNode(storedNode(form(), renamed.toUtf8(), false));
        ModalAnswerer yes({{QStringLiteral("&Yes")}});
        clickTool("ToolButton2");
        QTRY_VERIFY(yes.done());
        QCOMPARE(stored(QStringLiteral("select count(*) from ttype")), QStringLiteral("3"));
        QCOMPARE(stored(QStringLiteral("select count(*) from tjs where cjs_name = '%1'")
                            .arg(QString::fromUtf8(script))),
            QStringLiteral("0"));
        QCOMPARE(form().Treeclass->topLevelItemCount(), 3);
        QCOMPARE(form().CBX1->count(), 3);
        QCOMPARE(form().ComboBox1->count(), 4);
    }

    void categoriesAreDeletedUnderTheirStoredBytes_data()
    {
        QTest::addColumn<QByteArray>("category");
        QTest::newRow("NUL") << kNulCategory;
        QTest::newRow("GBK") << kGbkCategory;
        QTest::newRow("valid in no encoding") << kInvalidCategory;
    }

    void categoriesAreDeletedUnderTheirStoredBytes()
    {
        QFETCH(QByteArray, category);
        const QString hex = QString::fromLatin1(category.toHex().toUpper());
        form().Treeclass->setCurrentNode(storedNode(form(), category, false));
        focus(form().Treeclass);
        // An error after the confirmation is answered too, and shows up among the boxes seen.
        ModalAnswerer yes({{QStringLiteral("&Yes")}, {QStringLiteral("OK")}});
        press(Qt::SHIFT | Qt::Key_D);
        QCOMPARE(yes.seen().size(), 1);
        QCOMPARE(stored(QStringLiteral("select count(*) from ttype where hex(ctype_name) = '%1'").arg(hex)),
            QStringLiteral("0"));
        QCOMPARE(stored(QStringLiteral("select count(*) from tjs where hex(cjs_type) = '%1'").arg(hex)),
            QStringLiteral("0"));
        QCOMPARE(stored(QStringLiteral("select count(*) from ttype")), QStringLiteral("3"));
        QVERIFY(!storedNode(form(), category, false));
        QCOMPARE(form().CBX1->count(), 3);
        QCOMPARE(form().ComboBox1->count(), 4);
    }

    void renamesAroundTheCurrentScriptKeepItsRow()
    {
        // The category of the script shown is renamed: the script is shown again, not lost.
        openStored(kGbkScript);
        ModalAnswerer rename({{QStringLiteral("OK"), QStringLiteral("改过名")}});
        form().Treeclass->setCurrentNode(storedNode(form(), QByteArray("普通"), false));
        QTest::mouseClick(
            form().ToolBar1->findChild<QToolButton*>(QStringLiteral("ToolButton3")), Qt::LeftButton);
        QTRY_VERIFY(rename.done());
        QCOMPARE(form().DBEdit3->text(), QStringLiteral("乙"));
        QCOMPARE(form().CBX1->text(), QStringLiteral("改过名"));

        // A script being edited is stored, then renamed in place, by its own bytes.
        openStored(kOtherGbkScript);
        type(form().DBEdit3, QStringLiteral("新"));
        ModalAnswerer noError({{QStringLiteral("OK")}});
        editInPlace(form().Treeclass, QStringLiteral("新名"));
        QTRY_COMPARE(stored(QStringLiteral("select cjs_zzm from tjs where cjs_name = '新名'")),
            QStringLiteral("新丙"));
        QVERIFY(storedNode(form(), QByteArray("新名"), true));
        QVERIFY(noError.seen().isEmpty());
    }

    void aRefusedRenameInPlaceKeepsTheStoredBytes()
    {
        openStored(kGbkScript);
        ModalAnswerer taken({{QStringLiteral("OK")}});
        editInPlace(form().Treeclass, QStringLiteral("戊"));
        QTRY_VERIFY(taken.done());
        QCOMPARE(taken.seen().at(0).text, QStringLiteral("脚本戊已经存在"));
        // The node still finds its row: deleting it deletes exactly that one.
        TreeNode* node = storedNode(form(), kGbkScript, true);
        QVERIFY(node);
        form().Treeclass->setCurrentNode(node);
        focus(form().Treeclass);
        ModalAnswerer yes({{QStringLiteral("&Yes")}});
        press(Qt::Key_F6);
        QTRY_VERIFY(yes.done());
        QCOMPARE(stored(QStringLiteral("select count(*) from tjs where hex(cjs_name) = '%1'")
                            .arg(QString::fromLatin1(kGbkScript.toHex().toUpper()))),
            QStringLiteral("0"));
        QCOMPARE(
            stored(QStringLiteral("select count(*) from tjs where cjs_name = '戊'")), QStringLiteral("1"));
    }

    void aScriptOutsideTheTreeGainsANodeWhenGivenACategory()
    {
        // As a search result opens it, before its missing node is looked for.
        windowPart<CurrentScript>(form()).open(StoredName(QStringLiteral("孤")));
        QCOMPARE(form().DBEdit3->text(), QStringLiteral("孤作者"));
        QCOMPARE(form().CBX1->currentIndex(), -1);
        focus(form().CBX1);
        QTest::keyClick(form().CBX1, Qt::Key_Down);
        QCOMPARE(form().CBX1->text(), QStringLiteral("普通"));
        press(Qt::Key_F7);
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
        QCOMPARE(
            stored(QStringLiteral("select cjs_type from tjs where cjs_name = '孤'")), QStringLiteral("普通"));
        const TreeNode* node = storedNode(form(), QByteArray("孤"), true);
        QVERIFY(node);
        QCOMPARE(node->parent()->text(), QStringLiteral("普通"));
        QCOMPARE(form().Treeclass->selectedNode(), node);
    }
};

// Kept apart from the fixture above: this library is locked before the window exists.
class TestLockedAtStart : public QObject
{
    Q_OBJECT

private slots:
    void aLockedLibraryIsWaitedForOnceThenReported()
    {
        LibraryFixture library;
        library.createSmall();
        Database other;
        other.open(library.libraryPath(), Database::OpenMode::ExistingOnly);
        other.exec(QStringLiteral("BEGIN EXCLUSIVE"));

        QElapsedTimer clock;
        qint64 firstBoxAt = -1;
        qint64 answeredAt = -1;
        qint64 secondBoxAt = -1;
        ModalAnswerer answerer({{QStringLiteral("OK"), {}, 0,
                                    [&](QWidget*) {
                                        firstBoxAt = clock.elapsed();
                                        answeredAt = firstBoxAt;
                                    }},
            {QStringLiteral("OK"), {}, 0, [&](QWidget*) { secondBoxAt = clock.elapsed(); }}});
        clock.start();
        auto form = std::make_unique<TForm1>(library.appDir());
        QTRY_VERIFY(answerer.done());
        other.exec(QStringLiteral("ROLLBACK"));

        QCOMPARE(answerer.seen().at(0).text, QStringLiteral("无法打开数据库"));
        const QString reason = answerer.seen().at(1).text;
        QVERIFY2(
            reason.contains(QStringLiteral("锁定")) && reason.contains(QStringLiteral("database is locked")),
            qPrintable(reason));
        // One wait of about two seconds for the whole open; the later attempts do not wait again.
        QVERIFY2(firstBoxAt < 3500, qPrintable(QString::number(firstBoxAt)));
        QVERIFY2(secondBoxAt - answeredAt < 1000, qPrintable(QString::number(secondBoxAt - answeredAt)));
        QCOMPARE(form->panelText(TForm1::TotalPanel), QStringLiteral("总脚本数:0"));
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestStoredBytes storedBytes;
    TestLockedAtStart locked;
    return QTest::qExec(&storedBytes, argc, argv) | QTest::qExec(&locked, argc, argv);
}

#include "test_storedbytes.moc"
