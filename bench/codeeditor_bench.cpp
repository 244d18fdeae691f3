// Code editor benchmark: the program's code editor next to a bare QPlainTextEdit of the same
// size, wrap mode and text, each round in a fresh process, on the real window (run it under
// Xvfb). Opening times run from choosing the script (the bare editor: from setting its text)
// to the editor's first painted frame; typing times from a key to the frame that shows it.
// Prints the median of the rounds, the spread, and the program's time over the bare one.

#include "dbctrls/dbmemo.h"
#include "main/categorytree.h"
#include "main/form1.h"
#include "onescriptlibrary.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

struct Case
{
    const char* name;
    const char* title;
    bool typing;
};

const Case kCases[] = {
    {"open-10mb", "open a 10 MB script", false},
    {"open-10mb-longline", "open a 10 MB script holding a 1 MB line", false},
    {"open-2mb-page", "open a 2 MB page", false},
    {"type-2mb", "type one key in the middle of a 2 MB script", true},
    {"type-1mb-line", "type one key inside a 1 MB single line", true},
};

QString scriptLines(qsizetype size)
{
    QString code;
    code.reserve(size + 200);
    for (int i = 0; code.size() < size; ++i)
        code += QStringLiteral(
            "    var item%1 = document.getElementById('box%1').offsetTop + %1; // step %1\n")
                    .arg(i);
    return code;
}

QString pageText(qsizetype size)
{
    const QString chunk = QStringLiteral("<div class=\"item\" style=\"color: #336; margin: 4px\">第 %1 项 "
                                         "&amp; <a href=\"p%1.htm\">link</a></div>\n"
                                         "<!-- item %1 -->\n"
                                         "<script language=\"javascript\">\nfunction f%1(x) { return "
                                         "x.replace(/a+/g, \"b\") * %1; }\n</script>\n"
                                         "<style>\n.item%1 { color: red; padding: 2px 3px }\n</style>\n");
    QString page = QStringLiteral("<!DOCTYPE html>\n<html><body>\n");
    page.reserve(size + 400);
    for (int i = 0; page.size() < size; ++i)
        page += chunk.arg(i);
    return page + QStringLiteral("</body></html>\n");
}

// The text of a case, with LF line ends as an editor holds it.
QString textOf(const QString& name)
{
    if (name == QLatin1String("open-10mb"))
        return scriptLines(10'000'000);
    if (name == QLatin1String("open-10mb-longline")) {
        QString code = scriptLines(9'000'000);
        const qsizetype middle = code.indexOf(QLatin1Char('\n'), code.size() / 2) + 1;
        code.insert(middle, QString(1'000'000, QLatin1Char('7')) + QLatin1Char('\n'));
        return code;
    }
    if (name == QLatin1String("open-2mb-page"))
        return pageText(2'000'000);
    if (name == QLatin1String("type-2mb"))
        return scriptLines(2'000'000);
    return QStringLiteral("var data = '") + QString(1'000'000, QLatin1Char('7')) + QStringLiteral("';");
}

class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Runs the event loop until the viewport has painted once more; returns the milliseconds since
// `timer` started.
double untilPainted(QApplication& app, PaintCounter& counter, const QElapsedTimer& timer, int before)
{
    while (counter.paints == before && timer.elapsed() < 20000)
        app.processEvents();
    // The frame reaches the screen once the paint is flushed.
    QApplication::sync();
    return double(timer.nsecsElapsed()) / 1e6;
}

void placeCaretInside(QPlainTextEdit* editor)
{
    QTextCursor cursor(editor->document());
    const QTextBlock block = editor->document()->findBlockByNumber(editor->blockCount() / 2);
    cursor.setPosition(block.position() + block.length() / 2);
    editor->setTextCursor(cursor);
    editor->setFocus();
}

double msPerKey(QApplication& app, QPlainTextEdit* editor, PaintCounter& counter)
{
    placeCaretInside(editor);
    editor->ensureCursorVisible();
    // The first keys enter edit mode and settle the layout; they are not timed.
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(editor, Qt::Key_B);
        QElapsedTimer settle;
        settle.start();
        untilPainted(app, counter, settle, counter.paints);
    }
    constexpr int keys = 20;
    double total = 0;
    for (int i = 0; i < keys; ++i) {
        QElapsedTimer timer;
        timer.start();
        const int before = counter.paints;
        QTest::keyClick(editor, Qt::Key_A);
        total += untilPainted(app, counter, timer, before);
    }
    return total / keys;
}

void makeLibrary(const QString& path, const QString& text)
{
    makeOneScriptLibrary(path, QStringLiteral("测"), QStringLiteral("测量"),
        QString(text).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

// One round in the program's window: prints the time and the code editor's size.
int programRound(QApplication& app, const Case& round)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("data"));
    const QString appDir = dir.path() + QLatin1Char('/');
    makeLibrary(appDir + QStringLiteral("data/qvlb.db"), textOf(QLatin1String(round.name)));
    TForm1 form(appDir);
    form.resize(1200, 900);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)
        || !QTest::qWaitFor([&] { return form.Timer1 == nullptr; }, 10000))
        return 2;
    TDBMemo* memo = form.DBMemo2;
    PaintCounter counter;
    memo->viewport()->installEventFilter(&counter);
    QTest::qWait(50);
    QElapsedTimer timer;
    timer.start();
    const int before = counter.paints;
    form.Treeclass->setCurrentNode(form.Treeclass->nodeAt(form.FindNodeIndex(QStringLiteral("测量"), true)));
    double ms = untilPainted(app, counter, timer, before);
    if (memo->document()->characterCount() < 1000)
        return 2;
    if (round.typing)
        ms = msPerKey(app, memo, counter);
    std::printf("%.3f %d %d\n", ms, memo->width(), memo->height());
    return 0;
}

int bareRound(QApplication& app, const Case& round, QSize size)
{
    const QString text = textOf(QLatin1String(round.name));
    QPlainTextEdit editor;
    editor.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    const bool longLine = QLatin1String(round.name).contains(QLatin1String("line"));
    editor.setWordWrapMode(longLine ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
    editor.resize(size);
    editor.show();
    if (!QTest::qWaitForWindowExposed(&editor))
        return 2;
    PaintCounter counter;
    editor.viewport()->installEventFilter(&counter);
    QTest::qWait(50);
    QElapsedTimer timer;
    timer.start();
    const int before = counter.paints;
    editor.setPlainText(text);
    double ms = untilPainted(app, counter, timer, before);
    if (round.typing)
        ms = msPerKey(app, &editor, counter);
    std::printf("%.3f\n", ms);
    return 0;
}

const Case* caseNamed(const QString& name)
{
    for (const Case& c : kCases)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool runChild(const QStringList& arguments, QStringList* fields)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(300000) || child.exitCode() != 0)
        return false;
    *fields = QString::fromLatin1(child.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    return true;
}

int conduct(int rounds, const QString& only)
{
    std::printf("%d rounds, fresh process each; median [min-max] ms; program / bare\n", rounds);
    for (const Case& round : kCases) {
        if (!only.isEmpty() && only != QLatin1String(round.name))
            continue;
        QList<double> program;
        QList<double> bare;
        for (int i = 0; i < rounds; ++i) {
            QStringList fields;
            if (!runChild({QStringLiteral("--round"), QLatin1String(round.name), QStringLiteral("program")},
                    &fields)
                || fields.size() != 3) {
                std::fprintf(stderr, "feylume-bench-codeeditor: a program round of %s failed\n", round.name);
                return 2;
            }
            program << fields[0].toDouble();
            const QStringList size = fields.mid(1);
            if (!runChild({QStringLiteral("--round"), QLatin1String(round.name), QStringLiteral("bare"),
                              size[0], size[1]},
                    &fields)) {
                std::fprintf(stderr, "feylume-bench-codeeditor: a bare round of %s failed\n", round.name);
                return 2;
            }
            bare << fields[0].toDouble();
        }
        const auto [programMin, programMax] = std::minmax_element(program.begin(), program.end());
        const auto [bareMin, bareMax] = std::minmax_element(bare.begin(), bare.end());
        std::printf("%-48s program %8.2f [%.2f-%.2f]   bare %8.2f [%.2f-%.2f]   %.2fx\n", round.title,
            median(program), *programMin, *programMax, median(bare), *bareMin, *bareMax,
            median(program) / median(bare));
        std::fflush(stdout);
    }
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const qsizetype roundAt = arguments.indexOf(QStringLiteral("--round"));
    if (roundAt > 0 && roundAt + 2 < arguments.size()) {
        const Case* round = caseNamed(arguments[roundAt + 1]);
        if (!round)
            return 2;
        if (arguments[roundAt + 2] == QLatin1String("program"))
            return programRound(app, *round);
        if (roundAt + 4 >= arguments.size())
            return 2;
        return bareRound(app, *round, QSize(arguments[roundAt + 3].toInt(), arguments[roundAt + 4].toInt()));
    }
    int rounds = 7;
    const qsizetype roundsAt = arguments.indexOf(QStringLiteral("--rounds"));
    if (roundsAt > 0 && roundsAt + 1 < arguments.size())
        rounds = std::max(1, arguments[roundsAt + 1].toInt());
    const qsizetype onlyAt = arguments.indexOf(QStringLiteral("--case"));
    return conduct(rounds, onlyAt > 0 && onlyAt + 1 < arguments.size() ? arguments[onlyAt + 1] : QString());
}
