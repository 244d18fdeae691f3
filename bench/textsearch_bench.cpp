// Find and replace benchmark: replace-all of a three-letter word with 100,000 hits in a 5 MB
// code text, and find-next over a 10 MB text whose only hit is at its end. Each is timed on the
// search rules alone (on characters, as the editors run them) and as the dialog's press on a
// shown code editor. It reports; only a wrong
// result makes it fail.

#include "dialogs/textboxsearch.h"
#include "dialogs/textboxtarget.h"
#include "text/textsearch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 5;

double medianMs(int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// 100,000 lines of about 52 bytes, each holding the word "var" once.
QString replaceAllText()
{
    QString text;
    text.reserve(5'300'000);
    for (int line = 0; line < 100'000; ++line)
        text += QStringLiteral("    var item%1 = compute(index, 42); // step\n")
                    .arg(line % 100000, 6, 10, QLatin1Char('0'));
    return text;
}

// 10 MB of code lines without the word, then the word once at the very end.
QString findNextText()
{
    QString text;
    text.reserve(10'500'000);
    const QString line = QStringLiteral("    item = compute(index, 42); // 中文注释 step\n");
    while (TextSearch::byteLength(text) < 10'000'000 - 200)
        text += line.repeated(1000);
    text += QStringLiteral("needle");
    return text;
}

bool fail(const char* what)
{
    std::fprintf(stderr, "FAILED: %s\n", what);
    return false;
}

bool benchReplaceAll()
{
    const QString text = replaceAllText();
    const QByteArray bytes = TextSearch::toBytes(text);
    std::printf("replace-all: %.2f MB text, word \"var\"\n", bytes.size() / 1e6);

    TextSearch::ReplaceAllOf<QString> change;
    const double core = medianMs(
        kRuns, [] {},
        [&] {
            change = TextSearch::replaceAll(
                text, 0, 0, QStringLiteral("var"), QStringLiteral("let"), {true, false, true});
        });
    if (change.count != 100'000)
        return fail("replace-all did not find 100,000 hits");
    std::printf("  search rules alone:            %8.1f ms (%lld replacements)\n", core,
        static_cast<long long>(change.count));

    QPlainTextEdit editor;
    editor.resize(800, 600);
    editor.show();
    TextBoxTarget box = TextBoxTarget::of(&editor);
    const double press = medianMs(
        kRuns,
        [&] {
            editor.setPlainText(text);
            QApplication::processEvents();
            box.select(0, 0);
        },
        [&] {
            TextBoxSearch::replaceAll(
                box, {QStringLiteral("var"), QStringLiteral("let"), {true, false, true}});
            QApplication::processEvents();
        });
    const QString replaced = editor.toPlainText();
    if (replaced.count(QStringLiteral("let item")) != 100'000 || replaced.contains(QStringLiteral("var")))
        return fail("the editor's text after replace-all is wrong");
    std::printf("  press on a shown code editor:  %8.1f ms (target < 1000 ms)\n", press);

    QElapsedTimer timer;
    timer.start();
    editor.undo();
    QApplication::processEvents();
    const double undo = double(timer.nsecsElapsed()) / 1e6;
    if (editor.toPlainText() != text)
        return fail("one undo step did not restore the text");
    std::printf("  one undo step restores it:     %8.1f ms\n", undo);
    return true;
}

bool benchFindNext()
{
    const QString text = findNextText();
    const QByteArray bytes = TextSearch::toBytes(text);
    std::printf("find-next: %.2f MB text, only hit at the end\n", bytes.size() / 1e6);
    for (const bool wholeWord : {false, true}) {
        for (const bool matchCase : {false, true}) {
            qsizetype found = -1;
            const double core = medianMs(
                kRuns, [] {},
                [&] {
                    found = TextSearch::find(
                        text, 0, 0, QStringLiteral("needle"), {true, matchCase, wholeWord});
                });
            if (found != text.size() - 6)
                return fail("find-next did not find the hit at the end");
            std::printf("  search rules, case %s, whole word %s: %8.1f ms\n", matchCase ? "on " : "off",
                wholeWord ? "on " : "off", core);
        }
    }

    QPlainTextEdit editor;
    editor.resize(800, 600);
    editor.show();
    editor.setPlainText(text);
    QApplication::processEvents();
    TextBoxTarget box = TextBoxTarget::of(&editor);
    const double press = medianMs(
        kRuns, [&] { box.select(0, 0); },
        [&] {
            TextBoxSearch::findNext(box, {QStringLiteral("needle"), QString(), {true, false, true}});
            QApplication::processEvents();
        });
    if (editor.textCursor().selectedText() != QStringLiteral("needle"))
        return fail("the editor did not select the hit");
    std::printf("  press on a shown code editor:  %8.1f ms (target < 100 ms)\n", press);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const bool ok = benchReplaceAll() && benchFindNext();
    return ok ? 0 : 1;
}
