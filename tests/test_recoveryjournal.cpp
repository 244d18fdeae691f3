// The recovery journal's file: what goes in comes back exactly, and a damaged file is known as
// damaged rather than read as something else.

#include "store/recoveryjournal.h"
#include "support/filecontents.h"
#include "support/ordinaryuser.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {
RecoveryRecord recordWithCode(const QVariant& code)
{
    RecoveryRecord record;
    record.mode = RecoveryRecord::Mode::Edit;
    record.libraryPath = QStringLiteral("/home/用户/.local/share/feylume/qvlb.db");
    record.scriptId = 42;
    record.scriptName = QByteArrayLiteral("\xe9\x9b\xaa\xe8\x8a\xb1\xff");
    record.rowDigest = RecoveryJournal::rowDigest({qint64(42), QStringLiteral("雪花")});
    record.changedAt = QDateTime(QDate(2026, 12, 11), QTime(9, 30, 15, 250), Qt::UTC);
    record.fields
        = {{QStringLiteral("cjs_id"), qint64(42)}, {QStringLiteral("cjs_name"), QStringLiteral("雪花")},
            {QStringLiteral("cjs_zzjj"), QVariant()}, {QStringLiteral("cjs_text"), code}};
    return record;
}

QString twoMegabytes()
{
    QString text;
    const QString line = QStringLiteral("document.write('飘雪 ❄ 😀');\r\n");
    while (text.size() < 2 * 1024 * 1024)
        text += line;
    return text;
}
} // namespace

class TestRecoveryJournal : public QObject
{
    Q_OBJECT

private slots:
    void valuesComeBackExactly_data()
    {
        QTest::addColumn<QVariant>("code");
        QTest::newRow("Chinese") << QVariant(QStringLiteral("<script>飘落的雪花</script>"));
        QTest::newRow("emoji") << QVariant(QStringLiteral("笑脸 😀 and 👨‍👩‍👧"));
        QTest::newRow("lone CR and mixed ends") << QVariant(QStringLiteral("a\rb\r\nc\nd\r"));
        QTest::newRow("lone surrogate") << QVariant(QString(QChar(0xd800)) + QStringLiteral("x"));
        QTest::newRow("NUL inside") << QVariant(QString::fromUtf16(u"a\0b", 3));
        QTest::newRow("bytes that are not UTF-8") << QVariant(QByteArrayLiteral("\xff\xfe\x00\xc3("));
        QTest::newRow("empty text") << QVariant(QString(""));
        QTest::newRow("null") << QVariant();
        QTest::newRow("real") << QVariant(2.5);
        QTest::newRow("2 MB") << QVariant(twoMegabytes());
    }

    void valuesComeBackExactly()
    {
        QFETCH(QVariant, code);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("qvlb.recovery"));
        const RecoveryRecord written = recordWithCode(code);
        QVERIFY(RecoveryJournal::write(path, written));

        const RecoveryJournal::ReadResult read = RecoveryJournal::read(path);
        QCOMPARE(read.status, RecoveryJournal::ReadResult::Status::Sound);
        const RecoveryRecord& back = read.record;
        QCOMPARE(back.mode, written.mode);
        QCOMPARE(back.libraryPath, written.libraryPath);
        QCOMPARE(back.scriptId, written.scriptId);
        QCOMPARE(back.scriptName, written.scriptName);
        QCOMPARE(back.rowDigest, written.rowDigest);
        QCOMPARE(back.changedAt, written.changedAt);
        QCOMPARE(back.fields.size(), written.fields.size());
        const QVariant codeBack = back.field(QStringLiteral("cjs_text"));
        QCOMPARE(codeBack.typeId(), code.typeId());
        QCOMPARE(codeBack.isNull(), code.isNull());
        if (code.typeId() == QMetaType::QString) {
            // Compared unit by unit: no normalisation of line ends or of invalid UTF-16.
            const QString text = codeBack.toString();
            QVERIFY(text.size() == code.toString().size());
            QVERIFY(text.constData() && std::equal(text.begin(), text.end(), code.toString().begin()));
        } else {
            QCOMPARE(codeBack, code);
        }
        // Only the journal is left: its temporary file was renamed into place.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("qvlb.recovery")});
    }

    void damageIsRecognised_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("cut short") << "truncate";
        QTest::newRow("one byte of the record changed") << "flip";
        QTest::newRow("one byte of the checksum changed") << "flip-last";
        QTest::newRow("unknown format version") << "version";
        QTest::newRow("not a journal") << "garbage";
        QTest::newRow("empty") << "empty";
        QTest::newRow("a folder in its place") << "folder";
    }

    void damageIsRecognised()
    {
        QFETCH(QString, damage);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("qvlb.recovery"));
        QByteArray bytes = RecoveryJournal::encode(recordWithCode(QStringLiteral("雪花飘飘")));
        if (damage == QLatin1String("truncate"))
            bytes.chop(bytes.size() / 3);
        else if (damage == QLatin1String("flip"))
            bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x20);
        else if (damage == QLatin1String("flip-last"))
            bytes[bytes.size() - 1] = char(bytes[bytes.size() - 1] ^ 0x01);
        else if (damage == QLatin1String("version"))
            bytes[qsizetype(strlen("FEYLUME-RECOVERY")) + 3] = char(RecoveryJournal::kFormatVersion + 1);
        else if (damage == QLatin1String("garbage"))
            bytes = QByteArray(4096, 'x');
        else if (damage == QLatin1String("empty"))
            bytes.clear();
        if (damage == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        QCOMPARE(RecoveryJournal::read(path).status, RecoveryJournal::ReadResult::Status::Damaged);
        QCOMPARE(RecoveryJournal::read(dir.filePath(QStringLiteral("none"))).status,
            RecoveryJournal::ReadResult::Status::Missing);
    }

    void aFailedWriteKeepsTheEarlierJournal()
    {
        FEYLUME_AS_ORDINARY_USER();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("qvlb.recovery"));
        QVERIFY(RecoveryJournal::write(path, recordWithCode(QStringLiteral("第一版"))));
        const QByteArray before = fileContents(path);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        const bool written = RecoveryJournal::write(path, recordWithCode(QStringLiteral("第二版")));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!written);
        QCOMPARE(fileContents(path), before);
    }

    void rowDigestFollowsTheStoredBytes()
    {
        // A text and the same text as its stored bytes are the same row; any other value is not.
        const QByteArray digest = RecoveryJournal::rowDigest({qint64(1), QStringLiteral("雪花"), QVariant()});
        QCOMPARE(
            RecoveryJournal::rowDigest({qint64(1), QStringLiteral("雪花").toUtf8(), QVariant()}), digest);
        QVERIFY(RecoveryJournal::rowDigest({qint64(1), QStringLiteral("雪花 "), QVariant()}) != digest);
        QVERIFY(RecoveryJournal::rowDigest({qint64(2), QStringLiteral("雪花"), QVariant()}) != digest);
        QVERIFY(RecoveryJournal::rowDigest({qint64(1), QStringLiteral("雪花"), QString("")}) != digest);
        // Values do not run into each other.
        QVERIFY(RecoveryJournal::rowDigest({QStringLiteral("ab"), QStringLiteral("c")})
            != RecoveryJournal::rowDigest({QStringLiteral("a"), QStringLiteral("bc")}));
    }
};

QTEST_GUILESS_MAIN(TestRecoveryJournal)
#include "test_recoveryjournal.moc"
