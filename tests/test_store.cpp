// The library store without any widget: opening, result sets and their record life cycle, and
// how names reach statement texts.

#include "base/feylumeerror.h"
#include "dbctrls/datasource.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/query.h"
#include "store/statements.h"
#include "store/table.h"
#include "support/libraryfixture.h"

#include <QFile>
#include <QtTest>

#include <memory>

class TestStore : public QObject
{
    Q_OBJECT

private:
    LibraryFixture* m_library = nullptr;
    Connection* m_connection = nullptr;

    std::unique_ptr<Query> currentScript(const QString& name)
    {
        auto query = std::make_unique<Query>(*m_connection, QStringLiteral("ADOQuery2"));
        query->setSql(Statements::kCurrentScript);
        query->setParameter(QStringLiteral("JsName"), name);
        query->open();
        return query;
    }

    static QString errorOf(const std::function<void()>& work)
    {
        try {
            work();
        } catch (const FeylumeError& error) {
            return error.message();
        }
        return QString();
    }

private slots:
    void init()
    {
        m_library = new LibraryFixture;
        m_library->createSmall();
        m_connection = new Connection;
        m_connection->setDatabasePath(m_library->libraryPath());
        m_connection->open();
    }

    void cleanup()
    {
        delete m_connection;
        delete m_library;
    }

    void refusesWhatIsNoLibrary_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::addColumn<QString>("tables");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing file") << QByteArray() << QString() << "unable to open database file";
        QTest::newRow("text file") << QByteArray("这不是数据库\n").repeated(200) << QString()
                                   << "file is not a database";
        QTest::newRow("no tables") << QByteArray("sqlite") << QString() << "no such table";
        QTest::newRow("no category table")
            << QByteArray("sqlite") << QStringLiteral("CREATE TABLE tjs (cjs_name TEXT)")
            << "no such table: ttype";
        // Would open and then show and store blank code.
        QTest::newRow("no code column")
            << QByteArray("sqlite") << kTablesWithoutCodeColumn << "no such column: tjs.cjs_text";
        QTest::newRow("no category name column")
            << QByteArray("sqlite")
            << QStringLiteral(
                   "CREATE TABLE ttype (name TEXT); CREATE TABLE tjs (cjs_id INTEGER PRIMARY KEY, "
                   "cjs_name TEXT, cjs_type TEXT, cjs_zzm TEXT, cjs_zzjj TEXT, cjs_date TEXT, cjs_text TEXT)")
            << "no such column: ttype.ctype_name";
    }

    void refusesWhatIsNoLibrary()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, tables);
        QFETCH(QString, expected);
        QFile::remove(m_library->libraryPath());
        if (content == "sqlite") {
            Database db;
            db.open(m_library->libraryPath(), Database::OpenMode::CreateIfMissing);
            if (!tables.isEmpty())
                db.exec(tables);
        } else if (!content.isEmpty()) {
            m_library->writeRaw(content);
        }
        QFile before(m_library->libraryPath());
        const QByteArray bytesBefore = before.open(QIODevice::ReadOnly) ? before.readAll() : QByteArray();
        before.close();

        Connection connection;
        connection.setDatabasePath(m_library->libraryPath());
        const QString error = errorOf([&] { connection.open(); });
        QVERIFY2(error.contains(expected), qPrintable(error));
        QVERIFY(error.contains(QStringLiteral("qvlb.db")));
        QVERIFY(!connection.connected());
        // Opening never creates or changes the file.
        QCOMPARE(QFile::exists(m_library->libraryPath()), !content.isEmpty());
        QFile after(m_library->libraryPath());
        if (after.open(QIODevice::ReadOnly))
            QCOMPARE(after.readAll(), bytesBefore);
    }

    void dataComponentOnClosedConnectionTriesToOpenIt()
    {
        Connection closed;
        closed.setDatabasePath(m_library->libraryPath());
        Query query(closed, QStringLiteral("ADOQuery1"));
        query.setSql(QStringLiteral("select * from ttype"));
        query.open();
        QVERIFY(closed.connected());
        QCOMPARE(query.recordCount(), 3);
    }

    void resultsAreClientSideWithExactCounts()
    {
        Query query(*m_connection, QStringLiteral("ADOQuery1"));
        query.setStatement(Statements::scriptsOfCategory(StoredName(QStringLiteral("文字特效"))));
        query.open();
        QCOMPARE(query.recordCount(), 2);
        QCOMPARE(query.fieldCount(), 7);
        QStringList names;
        for (query.first(); !query.eof(); query.next())
            names << query.fieldText(QStringLiteral("cjs_name"));
        QCOMPARE(names, QStringList({QStringLiteral("打字机"), QStringLiteral("彩虹'文字")}));
        query.close();
        QCOMPARE(query.fieldCount(), 0);
        QCOMPARE(query.recordCount(), 0);
    }

    void tableReadsInStoredOrder()
    {
        m_library->create({QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("c")}, {});
        m_connection->close();
        Table table(*m_connection, QStringLiteral("ADOTable2"));
        table.setTableName(QStringLiteral("ttype"));
        table.open();
        QStringList names;
        for (table.first(); !table.eof(); table.next())
            names << table.fieldText(QStringLiteral("ctype_name"));
        QCOMPARE(names, QStringList({"b", "a", "c"}));
    }

    void preparedQueryReopensWithNewParameter()
    {
        auto query = currentScript(QStringLiteral("时钟"));
        QCOMPARE(query->fieldText(QStringLiteral("cjs_zzm")), QStringLiteral("王二"));
        for (const QString& name :
            {QStringLiteral("倒计时"), QStringLiteral("无此脚本"), QStringLiteral("彩虹'文字")}) {
            query->close();
            query->setParameter(QStringLiteral("JsName"), name);
            query->open();
            QCOMPARE(query->recordCount(), name == QStringLiteral("无此脚本") ? 0 : 1);
        }
        QCOMPARE(query->fieldText(QStringLiteral("cjs_zzm")), QStringLiteral("张三"));
    }

    void stateErrorsNameTheComponent_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("expected");
        QTest::newRow("write in browse mode") << "write"
                                              << "ADOQuery2: Dataset not in edit or insert mode";
        QTest::newRow("store in browse mode") << "post"
                                              << "ADOQuery2: Dataset not in edit or insert mode";
        QTest::newRow("delete with no row") << "deleteEmpty"
                                            << "ADOQuery2: Cannot perform this operation on an empty dataset";
        QTest::newRow("edit when closed") << "editClosed"
                                          << "ADOQuery2: Cannot perform this operation on a closed dataset";
        QTest::newRow("unknown field") << "unknownField"
                                       << "ADOQuery2: Field 'nope' not found";
    }

    void stateErrorsNameTheComponent()
    {
        QFETCH(QString, operation);
        QFETCH(QString, expected);
        auto query = currentScript(
            operation == QLatin1String("deleteEmpty") ? QStringLiteral("无此脚本") : QStringLiteral("时钟"));
        const QString error = errorOf([&] {
            if (operation == QLatin1String("write"))
                query->setFieldValue(QStringLiteral("cjs_zzm"), QStringLiteral("x"));
            else if (operation == QLatin1String("post"))
                query->post();
            else if (operation == QLatin1String("deleteEmpty"))
                query->deleteRecord();
            else if (operation == QLatin1String("editClosed")) {
                query->close();
                query->edit();
            } else
                query->fieldValue(QStringLiteral("nope"));
        });
        QCOMPARE(error, expected);
        QCOMPARE(m_library->value(QStringLiteral("select count(*) from tjs")), QStringLiteral("4"));
    }

    void storeWritesOnlyChangedColumnsByRowNumber()
    {
        auto query = currentScript(QStringLiteral("时钟"));
        query->edit();
        QCOMPARE(query->state(), DataSetState::Edit);
        query->setFieldValue(QStringLiteral("cjs_zzm"), QStringLiteral("新作者"));
        // Meanwhile a statement renames the same row: the store must not undo it.
        Query rename(*m_connection, QStringLiteral("ADOQuery1"));
        rename.setStatement(Statements::renameScript(
            StoredName(QStringLiteral("新时钟")), StoredName(QStringLiteral("时钟"))));
        rename.execSql();
        query->post();
        QCOMPARE(query->state(), DataSetState::Browse);
        QCOMPARE(m_library->column(
                     QStringLiteral("select cjs_name || '/' || cjs_zzm from tjs where cjs_zzm = '新作者'")),
            QStringList(QStringLiteral("新时钟/新作者")));
    }

    // A long text of the current script is decoded as it is fetched; it reads, and is stored
    // again, exactly as a text read from its bytes.
    void longTextDecodedOnFetchReadsAsStored_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray lines = QStringLiteral("var s = '雪';\r\n").toUtf8().repeated(8000);
        QTest::newRow("UTF-8") << lines;
        QTest::newRow("byte order mark first") << QByteArray("\xEF\xBB\xBF") + lines;
        QTest::newRow("not UTF-8") << lines + QByteArray("\xFF\xFE") + lines;
        QTest::newRow("short") << QByteArray("a\rb\xFF");
    }

    void longTextDecodedOnFetchReadsAsStored()
    {
        QFETCH(QByteArray, bytes);
        Statement change(
            m_connection->database(), QStringLiteral("update tjs set cjs_text = ? where cjs_name = ?"));
        change.bind(1, bytes);
        change.bind(2, QStringLiteral("时钟"));
        change.run();
        auto asBytes = currentScript(QStringLiteral("时钟"));
        auto decoded = std::make_unique<Query>(*m_connection, QStringLiteral("ADOQuery2"));
        decoded->setSql(Statements::kCurrentScript);
        decoded->setParameter(QStringLiteral("JsName"), QStringLiteral("时钟"));
        decoded->setDecodesTextsOnFetch(true);
        decoded->open();
        const QString column = QStringLiteral("cjs_text");
        const int index = decoded->fieldIndex(column);
        QCOMPARE(decoded->fieldText(index), asBytes->fieldText(index));
        QCOMPARE(decoded->fieldText(column), asBytes->fieldText(column));
        QCOMPARE(decoded->fieldBytes(index), bytes);

        decoded->edit();
        decoded->setFieldValue(QStringLiteral("cjs_zzm"), QStringLiteral("新作者"));
        decoded->post();
        QCOMPARE(decoded->fieldBytes(index), bytes);
        QCOMPARE(m_library->value(QStringLiteral("select hex(cjs_text) from tjs where cjs_zzm = '新作者'")),
            QString::fromLatin1(bytes.toHex().toUpper()));
    }

    void abandonRestoresStoredValues()
    {
        auto query = currentScript(QStringLiteral("时钟"));
        query->edit();
        query->setFieldValue(QStringLiteral("cjs_zzm"), QStringLiteral("改过"));
        QCOMPARE(query->fieldText(QStringLiteral("cjs_zzm")), QStringLiteral("改过"));
        query->cancel();
        QCOMPARE(query->state(), DataSetState::Browse);
        QCOMPARE(query->fieldText(QStringLiteral("cjs_zzm")), QStringLiteral("王二"));
        QCOMPARE(m_library->value(QStringLiteral("select cjs_zzm from tjs where cjs_name = '时钟'")),
            QStringLiteral("王二"));
    }

    void insertedRowGetsNumberAndDateFromTheLibrary()
    {
        auto query = currentScript(QStringLiteral("无此脚本"));
        query->edit(); // with no row, a change becomes a new row
        QCOMPARE(query->state(), DataSetState::Insert);
        query->setFieldValue(QStringLiteral("cjs_name"), QStringLiteral("新脚本"));
        query->setFieldValue(QStringLiteral("cjs_type"), QStringLiteral("空类别"));
        query->post();
        QCOMPARE(query->recordCount(), 1);
        QCOMPARE(query->fieldValue(QStringLiteral("cjs_id")).toInt(), 5);
        QVERIFY(!query->fieldText(QStringLiteral("cjs_date")).isEmpty());
        QCOMPARE(m_library->value(QStringLiteral("select cjs_type from tjs where cjs_name = '新脚本'")),
            QStringLiteral("空类别"));
    }

    void refusedStoreKeepsTheRecordPending_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("duplicate name") << QStringLiteral("时钟") << "UNIQUE constraint failed";
        QTest::newRow("51 characters") << QString(51, QLatin1Char('x'))
                                       << QStringLiteral("脚本名最多容纳 50 个字符，输入的内容有 51 个字符");
    }

    void refusedStoreKeepsTheRecordPending()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        auto query = currentScript(QStringLiteral("倒计时"));
        query->insert();
        query->setFieldValue(QStringLiteral("cjs_name"), name);
        const QString error = errorOf([&] { query->post(); });
        QVERIFY2(error.contains(expected), qPrintable(error));
        QCOMPARE(query->state(), DataSetState::Insert);
        query->cancel();
        QCOMPARE(query->fieldText(QStringLiteral("cjs_name")), QStringLiteral("倒计时"));
        QCOMPARE(m_library->value(QStringLiteral("select count(*) from tjs")), QStringLiteral("4"));
    }

    void fiftyCharactersFit()
    {
        auto query = currentScript(QStringLiteral("倒计时"));
        query->edit();
        const QString name(50, QChar(0x5b57));
        query->setFieldValue(QStringLiteral("cjs_name"), name);
        query->post();
        QCOMPARE(m_library->value(QStringLiteral("select count(*) from tjs where length(cjs_name) = 50")),
            QStringLiteral("1"));
        QCOMPARE(query->fieldSize(QStringLiteral("cjs_name")), 50);
        QCOMPARE(query->fieldSize(QStringLiteral("cjs_text")), 0);
    }

    void startingANewRecordStoresOrDropsThePendingOne()
    {
        auto query = currentScript(QStringLiteral("时钟"));
        query->edit();
        query->insert(); // untouched edit: dropped
        QCOMPARE(query->state(), DataSetState::Insert);
        query->setFieldValue(QStringLiteral("cjs_name"), QStringLiteral("第一个"));
        query->insert(); // changed insertion: stored without further checks
        QCOMPARE(query->state(), DataSetState::Insert);
        QCOMPARE(m_library->value(QStringLiteral("select count(*) from tjs where cjs_name = '第一个'")),
            QStringLiteral("1"));
        QCOMPARE(m_library->value(QStringLiteral("select cjs_zzm from tjs where cjs_name = '时钟'")),
            QStringLiteral("王二"));
    }

    void deleteRemovesTheRowAndCascades()
    {
        auto query = currentScript(QStringLiteral("时钟"));
        query->deleteRecord();
        QVERIFY(query->isEmpty());
        QCOMPARE(query->state(), DataSetState::Browse);
        QCOMPARE(m_library->value(QStringLiteral("select count(*) from tjs where cjs_name = '时钟'")),
            QStringLiteral("0"));

        // A category row has no number of its own: it is found by its values. Its scripts go with it.
        Query category(*m_connection, QStringLiteral("ADOQuery1"));
        category.setStatement(Statements::findCategory(StoredName(QStringLiteral("时间日期"))));
        category.open();
        category.deleteRecord();
        QCOMPARE(m_library->column(QStringLiteral("select ctype_name from ttype order by rowid")),
            QStringList({QStringLiteral("文字特效"), QStringLiteral("空类别")}));
        QCOMPARE(m_library->value(QStringLiteral("select count(*) from tjs")), QStringLiteral("2"));
    }

    void categoryRenameCarriesItsScripts()
    {
        Query rename(*m_connection, QStringLiteral("ADOQuery1"));
        rename.setStatement(Statements::renameCategory(
            StoredName(QStringLiteral("日期'时间")), StoredName(QStringLiteral("时间日期"))));
        rename.execSql();
        QCOMPARE(m_library->value(QStringLiteral("select count(*) from tjs where cjs_type = '日期''时间'")),
            QStringLiteral("2"));
    }

    void resultsFromSeveralTablesCannotBeChanged()
    {
        Query joined(*m_connection, QStringLiteral("ADOQuery1"));
        joined.setSql(
            QStringLiteral("select cjs_name, ctype_name from tjs join ttype on cjs_type = ctype_name"));
        joined.open();
        QVERIFY(!joined.canModify());
        QCOMPARE(
            errorOf([&] { joined.edit(); }), QStringLiteral("ADOQuery1: Cannot modify a read-only dataset"));
        QVERIFY(currentScript(QStringLiteral("时钟"))->canModify());
    }

    void namesAreBoundNeverPasted_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("quote inside") << QByteArray("a'b");
        QTest::newRow("always true") << QByteArray("x' or '1'='1");
        QTest::newRow("second statement") << QByteArray("'; delete from tjs; --");
        QTest::newRow("only quotes") << QByteArray("''''");
        QTest::newRow("NUL inside") << QByteArray("前\0后", 7);
        QTest::newRow("not UTF-8") << QByteArray("\xb2\xe2\xca\xd4"); // GBK bytes
    }

    void namesAreBoundNeverPasted()
    {
        QFETCH(QByteArray, bytes);
        const StoredName name = StoredName::fromBytes(bytes);
        Query query(*m_connection, QStringLiteral("ADOQuery1"));
        query.setStatement(Statements::scriptNameTaken(name));
        query.open();
        QCOMPARE(query.recordCount(), 0);

        query.setStatement(Statements::addCategory(name));
        query.execSql();
        query.setStatement(Statements::categoryNameTaken(name));
        query.open();
        QCOMPARE(query.recordCount(), 1);
        QCOMPARE(query.fieldBytes(query.fieldIndex(QStringLiteral("ctype_name"))), bytes);

        query.setStatement(Statements::renameScript(name, StoredName(QStringLiteral("时钟"))));
        query.execSql();
        QCOMPARE(m_library->value(QStringLiteral("select count(*) from tjs")), QStringLiteral("4"));
        query.setStatement(Statements::scriptNameTaken(name));
        query.open();
        QCOMPARE(query.recordCount(), 1);
        query.setStatement(Statements::scriptsOfCategory(name));
        query.open();
        QCOMPARE(query.recordCount(), 0);

        // The current-script query finds the row by the same bytes.
        auto current = currentScript(QStringLiteral("无此脚本"));
        current->close();
        current->setParameter(QStringLiteral("JsName"), bytes);
        current->open();
        QCOMPARE(current->recordCount(), 1);
        QCOMPARE(current->fieldText(QStringLiteral("cjs_zzm")), QStringLiteral("王二"));
    }

    void dataSourceReportsStateBeforeRecord()
    {
        auto query = currentScript(QStringLiteral("时钟"));
        DataSource source(QStringLiteral("DataSource1"));
        source.setDataSet(query.get());
        QStringList events;
        connect(&source, &DataSource::stateChange, this, [&] { events << QStringLiteral("state"); });
        connect(&source, &DataSource::dataChange, this,
            [&](const QString& field) { events << QStringLiteral("data:") + field; });
        connect(&source, &DataSource::activeChange, this,
            [&](bool on) { events << (on ? QStringLiteral("open") : QStringLiteral("closed")); });
        query->edit();
        query->setFieldValue(QStringLiteral("cjs_zzm"), QStringLiteral("x"));
        query->cancel();
        query->close();
        QCOMPARE(
            events, QStringList({"state", "data:", "data:cjs_zzm", "state", "data:", "state", "closed"}));
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "test_store.moc"
