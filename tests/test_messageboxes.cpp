// The program's modal boxes belong to the window they are shown for and leave a window manager
// room for their whole caption.

#include "widgets/errorguard.h"
#include "widgets/messageboxes.h"
#include "widgets/ownerwindow.h"
#include "support/modalanswerer.h"

#include <QApplication>
#include <QPointer>
#include <QStyle>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <functional>

class TestMessageBoxes : public QObject
{
    Q_OBJECT
private slots:
    void boxIsWideEnoughForItsCaption_data();
    void boxIsWideEnoughForItsCaption();
    void boxBelongsToTheWindowItIsShownFor_data() { boxIsWideEnoughForItsCaption_data(); }
    void boxBelongsToTheWindowItIsShownFor();
    void boxGoesQuietlyWithAWindowThatCloses_data() { boxIsWideEnoughForItsCaption_data(); }
    void boxGoesQuietlyWithAWindowThatCloses();
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

// A box with no owner may open behind a maximised window and leave the program looking frozen.
void TestMessageBoxes::boxBelongsToTheWindowItIsShownFor()
{
    QFETCH(std::function<void()>, show);
    QFETCH(QString, button);
    QWidget window;
    window.setGeometry(200, 150, 700, 500);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget* owner = nullptr;
    QPoint centre;
    ModalAnswerer answerer({{button, {}, 0, [&](QWidget* box) {
                                 owner = box->parentWidget();
                                 centre = box->frameGeometry().center();
                             }}});
    show();
    QTRY_VERIFY(answerer.done());
    QCOMPARE(owner, &window);
    const QPoint offCentre = centre - window.frameGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 40,
        qPrintable(QStringLiteral("%1,%2 off the window's centre").arg(offCentre.x()).arg(offCentre.y())));
}

// A window that goes for good (a splash at the end of its time) takes its box along; the caller
// carries on as if the box was cancelled, and nothing is freed twice.
void TestMessageBoxes::boxGoesQuietlyWithAWindowThatCloses()
{
    QFETCH(std::function<void()>, show);
    QPointer<QWidget> window = new QWidget;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QPointer<QWidget> box;
    QTimer closing;
    closing.setInterval(10);
    connect(&closing, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && window) {
            box = modal;
            window->close();
        }
    });
    closing.start();
    show();
    QVERIFY(!window);
    QVERIFY(!box);
}

QTEST_MAIN(TestMessageBoxes)
#include "test_messageboxes.moc"
