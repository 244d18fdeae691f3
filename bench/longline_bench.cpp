// Long-line benchmark: a 10 MB script holding one 1 MB line without break points, opened in the
// real main window, then typed into. Reports the time from selecting the script to the code
// editor painted, and the time per key typed into the long line and into a short one.

#include "dbctrls/dbmemo.h"
#include "main/categorytree.h"
#include "main/form1.h"
#include "onescriptlibrary.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <cstdio>

namespace {
constexpr int kShortLines = 110000;
constexpr int kLongLineAt = 100000;
constexpr qsizetype kLongLineLength = 1000000;

void makeLibrary(const QString& path)
{
    QString code;
    code.reserve(11'000'000);
    const QString shortLine = QString(77, QLatin1Char('x')) + QStringLiteral("\r\n");
    for (int i = 0; i < kShortLines; ++i) {
        if (i == kLongLineAt)
            code += QString(kLongLineLength, QLatin1Char('7')) + QStringLiteral("\r\n");
        code += shortLine;
    }
    makeOneScriptLibrary(path, QStringLiteral("长行"), QStringLiteral("长行脚本"), code);
}

double msPerKey(QApplication& app, TDBMemo* memo, int blockNumber)
{
    QTextCursor cursor(memo->document()->findBlockByNumber(blockNumber));
    cursor.movePosition(QTextCursor::EndOfBlock);
    memo->setTextCursor(cursor);
    memo->ensureCursorVisible();
    memo->repaint();
    app.processEvents();
    constexpr int keys = 5;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < keys; ++i) {
        QTest::keyClick(memo, Qt::Key_A);
        memo->repaint();
        app.processEvents();
    }
    return double(timer.nsecsElapsed()) / 1e6 / keys;
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("data"));
    const QString appDir = dir.path() + QLatin1Char('/');
    makeLibrary(appDir + QStringLiteral("data/qvlb.db"));

    TForm1 form(appDir);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)
        || !QTest::qWaitFor([&] { return form.Timer1 == nullptr; }, 10000)) {
        std::fprintf(stderr, "feylume-bench-longline: the window did not start\n");
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    form.Treeclass->setCurrentNode(
        form.Treeclass->nodeAt(form.FindNodeIndex(QStringLiteral("长行脚本"), true)));
    form.DBMemo2->repaint();
    app.processEvents();
    const double openMs = double(timer.nsecsElapsed()) / 1e6;
    if (form.DBMemo2->document()->characterCount() < kLongLineLength) {
        std::fprintf(stderr, "feylume-bench-longline: the script did not open\n");
        return 2;
    }
    form.DBMemo2->setFocus();
    std::printf("open a 10 MB script with a 1 MB line: %.0f ms\n", openMs);
    std::printf("typing into the 1 MB line: %.0f ms per key\n", msPerKey(app, form.DBMemo2, kLongLineAt));
    std::printf("typing into a short line of the same script: %.1f ms per key\n",
        msPerKey(app, form.DBMemo2, kLongLineAt + 10));
    return 0;
}
