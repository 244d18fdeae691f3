// Importing a file into the code editor and exporting the editor's text, on the real window
// with its real file dialogs: encodings and line ends, the new imported script, and files that
// cannot be read or written.

#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbedit.h"
#include "dbctrls/dbmemo.h"
#include "dialogs/scriptfiledialog.h"
#include "main/categorytree.h"
#include "main/form1.h"
#include "support/filecontents.h"
#include "support/mainwindowfixture.h"
#include "support/mainwindowtest.h"
#include "support/modalanswerer.h"
#include "support/pendingevents.h"
#include "support/userinput.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QStringEncoder>
#include <QtTest>

using namespace UserInput;
using namespace Shown;

namespace {
// Types a file's full name into the file dialog as a user does, then presses the button once
// the dialog has looked the name up and enabled it. The dialog may still be reading a folder
// when it comes up, and then clears the name box once; the name is typed again.
Answer chooseFile(const QString& path, const QString& button)
{
    return {button, {}, 0, [path, button](QWidget* box) {
                auto* edit = box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                QVERIFY(edit);
                QVERIFY(QTest::qWaitFor([&] {
                    if (edit->text() != path)
                        edit->setText(path);
                    for (QAbstractButton* shown : box->findChild<QDialogButtonBox*>()->buttons()) {
                        if (shown->text() == button)
                            return shown->isEnabled() && edit->text() == path;
                    }
                    return false;
                }));
            }};
}

Answer openFile(const QString& path)
{
    return chooseFile(path, QStringLiteral("&Open"));
}

Answer saveFile(const QString& path)
{
    return chooseFile(path, QStringLiteral("&Save"));
}

} // namespace

class TestFiles : public MainWindowTest
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_files;

    QString file(const QString& name) const { return m_files->filePath(name); }
    QString stored(const QString& sql) const { return m_library->value(sql); }

    // "导出脚本" from the main menu.
    void exportScript()
    {
        auto* item = form().findChild<QAction*>(QStringLiteral("N12"));
        QVERIFY(item && item->isEnabled());
        item->trigger();
    }

private slots:
    void init()
    {
        newLibrary().createSmall();
        m_files = std::make_unique<QTemporaryDir>();
        start();
    }

    void cleanup()
    {
        MainWindowTest::cleanup();
        m_files.reset();
    }

    void importIntoTheCurrentScript_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("code");
        QTest::newRow("cr") << QByteArray("a\rb\r") << QStringLiteral("a\r\nb\r\n");
        QTest::newRow("lf") << QByteArray("a\nb") << QStringLiteral("a\r\nb");
        QTest::newRow("cr lf") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\r\nb\r\n");
        QTest::newRow("utf-8 byte-order mark")
            << QByteArray("\xEF\xBB\xBF") + QStringLiteral("雪花\n").toUtf8() << QStringLiteral("雪花\r\n");
        QTest::newRow("gb18030") << QByteArray(QStringEncoder("GB18030")(QStringLiteral("飘雪特效<br>\n")))
                                 << QStringLiteral("飘雪特效<br>\r\n");
        QTest::newRow("empty") << QByteArray() << QString();
    }

    void importIntoTheCurrentScript()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, code);
        putFile(file(QStringLiteral("in.htm")), bytes);
        openScript(QStringLiteral("时钟"));
        ModalAnswerer answerer({{QStringLiteral("&No")}, openFile(file(QStringLiteral("in.htm")))});
        press(Qt::CTRL | Qt::Key_O);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).text,
            QStringLiteral("导入外部文件将破坏当前脚本内容，要新创建脚本文件吗?"));
        QCOMPARE(form().DBMemo2->text(), code);
        QCOMPARE(mode(form()), QStringLiteral("[编辑模式]"));
        QCOMPARE(stored(QStringLiteral("select cjs_text from tjs where cjs_name = '时钟'")),
            QStringLiteral("<p>code</p>"));
        // Saved with CR LF line ends, and exported as shown, in UTF-8.
        focus(form().DBMemo2);
        press(Qt::Key_F7);
        QCOMPARE(stored(QStringLiteral("select cjs_text from tjs where cjs_name = '时钟'")), code);
        ModalAnswerer exporter({saveFile(file(QStringLiteral("out")))});
        exportScript();
        QTRY_VERIFY(exporter.done());
        QCOMPARE(fileContents(file(QStringLiteral("out"))), code.toUtf8());
    }

    void importWithAnEmptyEditorAsksNothing()
    {
        putFile(file(QStringLiteral("in.js")), "alert(1);\n");
        QVERIFY(form().DBMemo2->text().isEmpty());
        ModalAnswerer answerer({openFile(file(QStringLiteral("in.js")))});
        press(Qt::CTRL | Qt::Key_O);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).objectName, QStringLiteral("FileOpen1Dialog"));
        QCOMPARE(form().DBMemo2->text(), QStringLiteral("alert(1);\r\n"));
        QCOMPARE(mode(form()), QStringLiteral("[插入模式]"));
    }

    void importOfTheSameTextChangesNothing()
    {
        putFile(file(QStringLiteral("same.txt")), "<b>typewriter</b>\nline 2");
        openScript(QStringLiteral("打字机"));
        ModalAnswerer answerer({{QStringLiteral("&No")}, openFile(file(QStringLiteral("same.txt")))});
        press(Qt::CTRL | Qt::Key_O);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
        QVERIFY(!form().DBMemo2->document()->isUndoAvailable());
    }

    void importAsANewScript()
    {
        putFile(file(QStringLiteral("new.htm")), "<i>new</i>");
        openScript(QStringLiteral("时钟"));
        ModalAnswerer answerer({{QStringLiteral("&Yes")}, openFile(file(QStringLiteral("new.htm")))});
        press(Qt::CTRL | Qt::Key_O);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(mode(form()), QStringLiteral("[插入模式]"));
        QCOMPARE(form().CBX1->text(), QStringLiteral("文字特效"));
        QCOMPARE(form().DBEdit2->text(), QStringLiteral("新的导入文件"));
        QCOMPARE(form().DBMemo2->text(), QStringLiteral("<i>new</i>"));
        focus(form().DBMemo2);
        press(Qt::Key_F7);
        QCOMPARE(stored(QStringLiteral("select cjs_text from tjs where cjs_name = '新的导入文件'")),
            QStringLiteral("<i>new</i>"));
        QCOMPARE(childNames(form(), QStringLiteral("文字特效")).last(), QStringLiteral("新的导入文件"));

        // A second one under the same name is refused when saved, and abandoned.
        ModalAnswerer again(
            {{QStringLiteral("&Yes")}, openFile(file(QStringLiteral("new.htm"))), {QStringLiteral("OK")}});
        focus(form().Treeclass);
        press(Qt::CTRL | Qt::Key_O);
        QTRY_COMPARE(again.seen().size(), 2);
        QCOMPARE(mode(form()), QStringLiteral("[插入模式]"));
        focus(form().DBMemo2);
        press(Qt::Key_F7);
        QTRY_VERIFY(again.done());
        QVERIFY(again.seen().at(2).text.startsWith(QStringLiteral("添加脚本失败，请检查是否输入了重名脚本")));
        QCOMPARE(stored(QStringLiteral("select count(*) from tjs")), QStringLiteral("5"));
    }

    void importAsANewScriptStoresThePendingEditFirst()
    {
        openScript(QStringLiteral("时钟"));
        retype(form().DBEdit3, QStringLiteral("新作者"));
        ModalAnswerer answerer({{QStringLiteral("&Yes")}, {QStringLiteral("Cancel")}});
        press(Qt::CTRL | Qt::Key_O);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(stored(QStringLiteral("select cjs_zzm from tjs where cjs_name = '时钟'")),
            QStringLiteral("新作者"));
        // Closed without a file: the new record keeps its two values and an empty editor.
        QCOMPARE(mode(form()), QStringLiteral("[插入模式]"));
        QCOMPARE(form().DBEdit2->text(), QStringLiteral("新的导入文件"));
        QVERIFY(form().DBMemo2->text().isEmpty());
    }

    void importAsANewScriptStopsWhenThePendingEditIsRefused()
    {
        openScript(QStringLiteral("时钟"));
        retype(form().DBEdit2, QString());
        ModalAnswerer answerer({{QStringLiteral("&Yes")}, {QStringLiteral("OK")}});
        press(Qt::CTRL | Qt::Key_O);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(1).text, QStringLiteral("脚本名不能为空"));
        letPendingEventsRun();
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(mode(form()), QStringLiteral("[编辑模式]"));
        QCOMPARE(form().DBMemo2->text(), QStringLiteral("<p>code</p>"));
    }

    void importAsANewScriptNeedsACategory()
    {
        restartWith(QStringList(), {});
        type(form().DBMemo2, QStringLiteral("code"));
        ModalAnswerer answerer({{QStringLiteral("&Yes")}, {QStringLiteral("OK")}});
        press(Qt::CTRL | Qt::Key_O);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(1).objectName, QStringLiteral("InformationBox"));
        QCOMPARE(answerer.seen().at(1).text, QStringLiteral("脚本库中还没有类别，请先添加类别再导入新脚本"));
        letPendingEventsRun();
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(form().DBMemo2->text(), QStringLiteral("code"));
    }

    void importOfAMissingFile()
    {
        openScript(QStringLiteral("时钟"));
        const QString missing = file(QStringLiteral("missing.htm"));
        ModalAnswerer answerer({{QStringLiteral("&No")}, openFile(missing), {QStringLiteral("OK")}});
        press(Qt::CTRL | Qt::Key_O);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(2).objectName, QStringLiteral("DefaultErrorBox"));
        QCOMPARE(
            answerer.seen().at(2).text, QStringLiteral("Cannot open file ") + missing + QLatin1Char('.'));
        QCOMPARE(form().DBMemo2->text(), QStringLiteral("<p>code</p>"));
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
    }

    void exportOfAnUnsavedEditOverAnExistingFile()
    {
        openScript(QStringLiteral("打字机"));
        type(form().DBMemo2, QStringLiteral("改"));
        const QString target = file(QStringLiteral("typewriter.html"));
        putFile(target, "old");
        ModalAnswerer answerer({saveFile(target)});
        exportScript();
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).objectName, QStringLiteral("FileSaveAs1Dialog"));
        QCOMPARE(fileContents(target), QStringLiteral("改<b>typewriter</b>\r\nline 2").toUtf8());
        QCOMPARE(mode(form()), QStringLiteral("[编辑模式]"));
        QCOMPARE(stored(QStringLiteral("select cjs_text from tjs where cjs_name = '打字机'")),
            QStringLiteral("<b>typewriter</b>\r\nline 2"));
    }

    void failedExportLeavesTheOldFile_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("folder is a file") << false;
        QTest::newRow("disk full") << true;
    }

    void failedExportLeavesTheOldFile()
    {
        QFETCH(bool, diskFull);
        openScript(QStringLiteral("打字机"));
        type(form().DBMemo2, QString(64 * 1024, QLatin1Char('x')));
        putFile(file(QStringLiteral("old.htm")), "old");
        const QString target
            = diskFull ? file(QStringLiteral("old.htm")) : file(QStringLiteral("old.htm/new.htm"));
        ModalAnswerer answerer({saveFile(target), {QStringLiteral("OK")}});
        {
            // Writes beyond the first 4 KiB fail, as on a full disk.
            const FileSizeLimit limit(diskFull ? 4096 : RLIM_INFINITY);
            exportScript();
            QTRY_VERIFY(answerer.done());
        }
        QCOMPARE(answerer.seen().at(1).objectName, QStringLiteral("DefaultErrorBox"));
        QCOMPARE(
            answerer.seen().at(1).text, QStringLiteral("Cannot create file ") + target + QLatin1Char('.'));
        QCOMPARE(fileContents(file(QStringLiteral("old.htm"))), QByteArray("old"));
        QCOMPARE(QDir(m_files->path()).entryList(QDir::Files), QStringList(QStringLiteral("old.htm")));
    }

    void dialogsRememberTheLastChosenFileAndFilter()
    {
        const QStringList filters = ScriptFileDialog::nameFilters(
            QStringLiteral("网页文件|*.htm;*.html|脚本文件|*.js;*.vbs|文本文件|*.txt|所有文件|*.*"));
        QCOMPARE(filters,
            QStringList({QStringLiteral("网页文件 (*.htm *.html)"), QStringLiteral("脚本文件 (*.js *.vbs)"),
                QStringLiteral("文本文件 (*.txt)"), QStringLiteral("所有文件 (*)")}));
        openScript(QStringLiteral("时钟"));
        const QString target = file(QStringLiteral("clock.js"));
        QString filterShown;
        QString filterOfSecondUse;
        QString nameOfSecondUse;
        Answer first = saveFile(target);
        first.whileOpen = [&, choose = first.whileOpen](QWidget* box) {
            auto* dialog = qobject_cast<QFileDialog*>(box);
            QCOMPARE(dialog->nameFilters(), filters);
            filterShown = dialog->selectedNameFilter();
            dialog->selectNameFilter(filters.at(1));
            choose(box);
        };
        Answer cancelled {QStringLiteral("Cancel"), {}, 0, [](QWidget* box) {
                              auto* dialog = qobject_cast<QFileDialog*>(box);
                              dialog->selectNameFilter(dialog->nameFilters().at(3));
                          }};
        Answer third {QStringLiteral("Cancel"), {}, 0, [&](QWidget* box) {
                          auto* dialog = qobject_cast<QFileDialog*>(box);
                          filterOfSecondUse = dialog->selectedNameFilter();
                          nameOfSecondUse = dialog->selectedFiles().value(0);
                      }};
        ModalAnswerer answerer({first, cancelled, third});
        for (int use = 0; use < 3; ++use) {
            exportScript();
            QTRY_COMPARE(answerer.seen().size(), use + 1);
        }
        QCOMPARE(filterShown, filters.at(0));
        QCOMPARE(filterOfSecondUse, filters.at(1));
        QCOMPARE(nameOfSecondUse, target);
        QCOMPARE(fileContents(target), QByteArray("<p>code</p>"));
    }
};

QTEST_MAIN(TestFiles)
#include "test_files.moc"
