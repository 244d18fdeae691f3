// Script files as the code editor reads and writes them: encodings, line ends, capacity, and
// writes that fail without harming the file they were to replace.

#include "base/feylumeerror.h"
#include "base/lineendings.h"
#include "store/scriptfile.h"
#include "support/filecontents.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {
QString errorOf(const std::function<void()>& work)
{
    try {
        work();
    } catch (const FeylumeError& error) {
        return error.message();
    }
    return {};
}

// As root every permission check passes; a read-only target is only read-only for someone else.
class ActingAsNobody
{
public:
    ActingAsNobody()
    {
        if (geteuid() == 0) {
            m_switched = setegid(65534) == 0 && seteuid(65534) == 0;
        }
    }
    ~ActingAsNobody()
    {
        if (m_switched) {
            [[maybe_unused]] const int user = seteuid(0);
            [[maybe_unused]] const int group = setegid(0);
        }
    }
    ActingAsNobody(const ActingAsNobody&) = delete;
    ActingAsNobody& operator=(const ActingAsNobody&) = delete;

private:
    bool m_switched = false;
};
} // namespace

class TestScriptFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void decodes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString chinese = QStringLiteral("飘雪特效 <b>粗体</b>");
        QStringEncoder gb18030("GB18030");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("ascii") << QByteArray("<p>x</p>") << QStringLiteral("<p>x</p>");
        QTest::newRow("utf-8") << chinese.toUtf8() << chinese;
        QTest::newRow("utf-8 with byte-order mark")
            << QByteArray("\xEF\xBB\xBF") + chinese.toUtf8() << chinese;
        QTest::newRow("only a byte-order mark") << QByteArray("\xEF\xBB\xBF") << QString();
        QTest::newRow("gb18030") << QByteArray(gb18030(chinese)) << chinese;
        // Four-byte GB18030 sequences reach characters GBK lacks.
        const QString rare = QStringLiteral("𠀀€");
        QTest::newRow("gb18030 four-byte") << QByteArray(gb18030(rare)) << rare;
    }

    void decodes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(ScriptFile::decode(bytes), text);
    }

    void lineEnds_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("lf") << QStringLiteral("a\nb\n") << QStringLiteral("a\r\nb\r\n");
        QTest::newRow("cr") << QStringLiteral("a\rb\r") << QStringLiteral("a\r\nb\r\n");
        QTest::newRow("cr lf") << QStringLiteral("a\r\nb") << QStringLiteral("a\r\nb");
        QTest::newRow("mixed") << QStringLiteral("a\r\n\nb\r\rc") << QStringLiteral("a\r\n\r\nb\r\n\r\nc");
        QTest::newRow("lf cr") << QStringLiteral("a\n\rb") << QStringLiteral("a\r\n\r\nb");
        QTest::newRow("cr cr lf") << QStringLiteral("\r\r\n") << QStringLiteral("\r\n\r\n");
        QTest::newRow("none") << QStringLiteral("abc") << QStringLiteral("abc");
    }

    void lineEnds()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(LineEndings::withCrLf(in), out);
    }

    void readsAndWritesBack()
    {
        putFile(path(QStringLiteral("in.htm")),
            QByteArray("\xEF\xBB\xBF") + QStringLiteral("第一行\n第二行\r").toUtf8());
        const QString text = ScriptFile::read(path(QStringLiteral("in.htm")));
        QCOMPARE(text, QStringLiteral("第一行\r\n第二行\r\n"));
        ScriptFile::write(path(QStringLiteral("out.htm")), text);
        QCOMPARE(fileContents(path(QStringLiteral("out.htm"))), text.toUtf8());
    }

    void readFailures()
    {
        const QString missing = path(QStringLiteral("missing.js"));
        QCOMPARE(errorOf([&] { ScriptFile::read(missing); }), QStringLiteral("Cannot open file ") + missing);
        QCOMPARE(errorOf([&] { ScriptFile::read(m_dir.path()); }),
            QStringLiteral("Cannot open file ") + m_dir.path());

        // Too large to read at all, and just too large once the line ends are doubled.
        const QString huge = path(QStringLiteral("huge.txt"));
        QFile sparse(huge);
        QVERIFY(sparse.open(QIODevice::WriteOnly));
        QVERIFY(sparse.resize(4 * ScriptFile::kMemoCapacity + 1));
        sparse.close();
        QCOMPARE(errorOf([&] { ScriptFile::read(huge); }), QStringLiteral("Text exceeds memo capacity"));
        const QString lines = path(QStringLiteral("lines.txt"));
        putFile(lines, QByteArray(ScriptFile::kMemoCapacity / 2 + 1, '\n'));
        QCOMPARE(errorOf([&] { ScriptFile::read(lines); }), QStringLiteral("Text exceeds memo capacity"));
        putFile(lines, QByteArray(ScriptFile::kMemoCapacity / 2, '\n'));
        QCOMPARE(ScriptFile::read(lines).size(), ScriptFile::kMemoCapacity);
    }

    void failedWritesLeaveTheOldFile_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("folder missing") << QStringLiteral("folder");
        QTest::newRow("read-only file and folder") << QStringLiteral("read-only");
        QTest::newRow("disk full") << QStringLiteral("full");
    }

    void failedWritesLeaveTheOldFile()
    {
        QFETCH(QString, fault);
        QTemporaryDir dir;
        QFile::setPermissions(
            dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther | QFile::ReadOther);
        QString target = dir.filePath(QStringLiteral("old.htm"));
        putFile(target, "old contents");
        const QString text = QString(64 * 1024, QLatin1Char('x'));
        QString error;
        if (fault == QLatin1String("folder")) {
            target = dir.filePath(QStringLiteral("no/such/folder.htm"));
            error = errorOf([&] { ScriptFile::write(target, text); });
        } else if (fault == QLatin1String("read-only")) {
            QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadOther);
            QFile::setPermissions(
                dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
            {
                const ActingAsNobody nobody;
                error = errorOf([&] { ScriptFile::write(target, text); });
            }
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        } else {
            const FileSizeLimit limit(4096);
            error = errorOf([&] { ScriptFile::write(target, text); });
        }
        QCOMPARE(error, QStringLiteral("Cannot create file ") + target);
        if (fault != QLatin1String("folder"))
            QCOMPARE(fileContents(target), QByteArray("old contents"));
        // Nothing is left behind beside it.
        QCOMPARE(
            QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("old.htm")});
    }
};

QTEST_GUILESS_MAIN(TestScriptFile)
#include "test_scriptfile.moc"
