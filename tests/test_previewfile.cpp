// The bytes of the preview file: the charset a snippet declares decides its encoding, and every
// line ends in CR LF.

#include "text/previewfile.h"

#include <QtTest>

class TestPreviewFile : public QObject
{
    Q_OBJECT
private slots:
    void encoding_data();
    void encoding();
    void lineEnds_data();
    void lineEnds();
};

void TestPreviewFile::encoding_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<QByteArray>("bytes");

    const QString chinese = QStringLiteral("中文");
    const QByteArray utf8 = chinese.toUtf8();
    const QByteArray gbk = QByteArray::fromHex("d6d0cec4");
    // Ahead of every declaration an engine reads a byte-order mark.
    const QByteArray bom = QByteArray::fromHex("efbbbf");

    QTest::newRow("no declaration") << chinese << QByteArray("UTF-8") << utf8;
    QTest::newRow("content type gb2312")
        << QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">")
            + chinese
        << QByteArray("GB18030")
        << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">") + gbk;
    QTest::newRow("upper-case GBK, single quotes") << QStringLiteral("<META CHARSET='GBK'>")
            + chinese << QByteArray("GB18030") << QByteArray("<META CHARSET='GBK'>") + gbk;
    // Outside the two-byte range GB18030 still holds the character, in four bytes.
    QTest::newRow("gb18030 four-byte character")
        << QStringLiteral("<meta charset=gb18030>\U00020000") << QByteArray("GB18030")
        << QByteArray("<meta charset=gb18030>") + QByteArray::fromHex("95328236");
    QTest::newRow("declared utf-8") << QStringLiteral("<meta charset=\"utf-8\">") + chinese
                                    << QByteArray("UTF-8") << QByteArray("<meta charset=\"utf-8\">") + utf8;
    QTest::newRow("utf-16 is read as utf-8 from a file") << QStringLiteral("<meta charset=\"utf-16\">")
            + chinese << QByteArray("UTF-8") << QByteArray("<meta charset=\"utf-16\">") + utf8;
    QTest::newRow("big5 holds the text")
        << QStringLiteral("<meta charset=big5>") + chinese << QByteArray("big5")
        << QByteArray("<meta charset=big5>") + QByteArray::fromHex("a4a4a4e5");
    QTest::newRow("big5 with only ASCII") << QStringLiteral("<meta charset=big5><b>x</b>")
                                          << QByteArray("big5") << QByteArray("<meta charset=big5><b>x</b>");
    QTest::newRow("big5 cannot hold simplified characters")
        << QStringLiteral("<meta charset=big5>简体") << QByteArray("UTF-8")
        << bom + QByteArray("<meta charset=big5>") + QStringLiteral("简体").toUtf8();
    QTest::newRow("latin-1 cannot hold Chinese") << QStringLiteral("<meta charset=iso-8859-1>")
            + chinese << QByteArray("UTF-8") << bom + QByteArray("<meta charset=iso-8859-1>") + utf8;
    QTest::newRow("unknown charset") << QStringLiteral("<meta charset=no-such-set>") + chinese
                                     << QByteArray("UTF-8")
                                     << bom + QByteArray("<meta charset=no-such-set>") + utf8;
    QTest::newRow("charset outside a meta element")
        << QStringLiteral("<script>var c = 'charset=gb2312';</script>") + chinese << QByteArray("UTF-8")
        << QByteArray("<script>var c = 'charset=gb2312';</script>") + utf8;
    QTest::newRow("first declaring meta decides")
        << QStringLiteral("<meta name=author content=x><meta charset=gbk><meta charset=utf-8>") + chinese
        << QByteArray("GB18030")
        << QByteArray("<meta name=author content=x><meta charset=gbk><meta charset=utf-8>") + gbk;
    QTest::newRow("empty") << QString() << QByteArray("UTF-8") << QByteArray();
}

void TestPreviewFile::encoding()
{
    QFETCH(QString, page);
    QFETCH(QByteArray, encoding);
    QFETCH(QByteArray, bytes);
    QCOMPARE(PreviewFile::encodingFor(page), encoding);
    QCOMPARE(PreviewFile::encode(page), bytes);
}

void TestPreviewFile::lineEnds_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("kept") << QStringLiteral("a\r\nb\r\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("lone LF and CR") << QStringLiteral("a\nb\rc\r\n\nd") << QByteArray("a\r\nb\r\nc\r\n\r\nd");
    QTest::newRow("CR at the end") << QStringLiteral("a\r") << QByteArray("a\r\n");
    QTest::newRow("gb file too") << QStringLiteral("<meta charset=gb2312>\n中")
                                 << QByteArray("<meta charset=gb2312>\r\n\xd6\xd0");
}

void TestPreviewFile::lineEnds()
{
    QFETCH(QString, page);
    QFETCH(QByteArray, bytes);
    QCOMPARE(PreviewFile::encode(page), bytes);
}

QTEST_GUILESS_MAIN(TestPreviewFile)
#include "test_previewfile.moc"
