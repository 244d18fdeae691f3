// The program's modal boxes leave a window manager room for their whole caption.

#include "widgets/errorguard.h"
#include "widgets/messageboxes.h"
#include "support/modalanswerer.h"

#include <QApplication>
#include <QStyle>
#include <QtTest>

#include <functional>

class TestMessageBoxes : public QObject
{
    Q_OBJECT
private slots:
    void boxIsWideEnoughForItsCaption_data();
    void boxIsWideEnoughForItsCaption();
};

void TestMessageBoxes::boxIsWideEnoughForItsCaption_data()
{
    QTest::addColumn<std::function<void()>>("show");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("button");
    // Short texts, so that the text does not make the box wide anyway.
    QTest::newRow("information") << std::function<void()>(
        [] { MessageBoxes::information(QStringLiteral("好")); })
                                 << QStringLiteral("FeylumeV2.5") << QStringLiteral("OK");
    QTest::newRow("plain") << std::function<void()>(
        [] { MessageBoxes::plain(QStringLiteral("错误"), QStringLiteral("无")); })
                           << QStringLiteral("错误") << QStringLiteral("OK");
    QTest::newRow("confirmation") << std::function<void()>(
        [] { MessageBoxes::confirm(QStringLiteral("删?")); })
                                  << QStringLiteral("Confirm") << QStringLiteral("&No");
    QTest::newRow("text prompt") << std::function<void()>([] {
        QString value;
        MessageBoxes::prompt(QStringLiteral("一个相当长的输入框标题文字"), QString(), value);
    }) << QStringLiteral("一个相当长的输入框标题文字")
                                 << QStringLiteral("Cancel");
    QTest::newRow("default error box")
        << std::function<void()>([] { showDefaultErrorBox(QStringLiteral("x")); })
        << QStringLiteral("FeylumeV2.5") << QStringLiteral("OK");
}

void TestMessageBoxes::boxIsWideEnoughForItsCaption()
{
    QFETCH(std::function<void()>, show);
    QFETCH(QString, caption);
    QFETCH(QString, button);
    // A title bar sets its caption in a bold face beside the frame's icon and its minimise,
    // maximise and close buttons, each about a title bar high.
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const int titleBar = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const int needed = QFontMetrics(titleFont).horizontalAdvance(caption) + 4 * titleBar;
    int width = 0;
    ModalAnswerer answerer({{button, {}, 0, [&](QWidget* box) { width = box->width(); }}});
    show();
    QTRY_VERIFY(answerer.done());
    QCOMPARE(answerer.seen().at(0).title, caption);
    QVERIFY2(width >= needed, qPrintable(QStringLiteral("%1 wide, %2 needed").arg(width).arg(needed)));
}

QTEST_MAIN(TestMessageBoxes)
#include "test_messageboxes.moc"
