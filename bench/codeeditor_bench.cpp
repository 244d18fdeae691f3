// Code editor benchmark: the program's code editor next to a bare QPlainTextEdit of the same
// size, font, wrap mode and text, each round in a fresh process, on the real window (run it
// under Xvfb). Opening times run from choosing the script in the tree to the editor's first
// painted frame, which must already show the script. The bare side does the same visible job
// with the bare toolkit: it reads the same row of the same library with SQLite, decodes it and
// sets it as the editor's text, to the first painted frame. The bare editor alone, given the
// decoded text (the figure reported before the read was part of the baseline), is printed too.
// Typing times run from a key to the frame that shows it, and the jump to the end of a text from
// Ctrl+End to the frame that shows the end. The stall case types a key and then lets the program
// go quiet for longer than it waits before journalling the unsaved script: it times the longest
// single turn of the event loop meanwhile, which is the longest a key typed then could wait.
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

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// What is timed after the script is open: nothing more, a key typed, the jump to its end, or
// the longest wait of the event loop after a key while the program is left alone.
enum class Then : quint8 { Nothing, Type, GoToEnd, Stall };

struct Case
{
    const char* name;
    const char* title;
    Then then;
};

const Case kCases[] = {
    {"open-10mb", "open a 10 MB script", Then::Nothing},
    {"open-10mb-longline", "open a 10 MB script holding a 1 MB line", Then::Nothing},
    {"open-2mb-page", "open a 2 MB page", Then::Nothing},
    {"type-2mb", "type one key in the middle of a 2 MB script", Then::Type},
    {"type-1mb-line", "type one key inside a 1 MB single line", Then::Type},
    // Every line up to the end is coloured on the way; a `/` that opens no pattern must not send
    // the tokenizer over the rest of its line again.
    {"end-5mb-slashes", "go to the end of a 5 MB script of lines full of /[", Then::GoToEnd},
    {"stall-2mb", "longest wait of a key while a 2 MB script is journalled", Then::Stall},
};

// Longer than the program waits after the last key before it journals an unsaved script.
constexpr int kQuietMs = 1600;

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
    if (name == QLatin1String("type-2mb") || name == QLatin1String("stall-2mb"))
        return scriptLines(2'000'000);
    if (name == QLatin1String("end-5mb-slashes")) {
        QString line = QStringLiteral("x = ");
        while (line.size() < 10'000)
            line += QStringLiteral("/[");
        QString code;
        code.reserve(5'100'000);
        while (code.size() < 5'000'000)
            code += line + QLatin1Char('\n');
        return code;
    }
    return QStringLiteral("var data = '") + QString(1'000'000, QLatin1Char('7')) + QStringLiteral("';");
}

class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QPlainTextEdit* editor)
        : m_editor(editor)
    {
        editor->viewport()->installEventFilter(this);
    }
    int paints = 0;
    // The characters the editor held when it last painted.
    int charactersPainted = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            charactersPainted = m_editor->document()->characterCount();
        }
        return false;
    }

private:
    QPlainTextEdit* m_editor;
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

// The timed keys, on their own so that a profiler can be pointed at them.
Q_NEVER_INLINE double msOverKeys(QApplication& app, QPlainTextEdit* editor, PaintCounter& counter)
{
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
    return msOverKeys(app, editor, counter);
}

// A key, then the longest turn of the event loop while the program is left alone.
double longestStall(QApplication& app, QPlainTextEdit* editor)
{
    placeCaretInside(editor);
    editor->ensureCursorVisible();
    QTest::keyClick(editor, Qt::Key_B);
    qint64 longest = 0;
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < kQuietMs) {
        QElapsedTimer turn;
        turn.start();
        app.processEvents();
        longest = std::max(longest, turn.nsecsElapsed());
    }
    return double(longest) / 1e6;
}

double msToEnd(QApplication& app, QPlainTextEdit* editor, PaintCounter& counter)
{
    editor->setFocus();
    QElapsedTimer timer;
    timer.start();
    const int before = counter.paints;
    QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
    return untilPainted(app, counter, timer, before);
}

// The time of what the case does after opening, or of the opening itself.
double msThen(
    QApplication& app, const Case& round, QPlainTextEdit* editor, PaintCounter& counter, double opening)
{
    switch (round.then) {
    case Then::Type:
        return msPerKey(app, editor, counter);
    case Then::GoToEnd:
        return msToEnd(app, editor, counter);
    case Then::Stall:
        return longestStall(app, editor);
    case Then::Nothing:
        break;
    }
    return opening;
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
    PaintCounter counter(memo);
    QTest::qWait(50);
    QElapsedTimer timer;
    timer.start();
    const int before = counter.paints;
    form.Treeclass->setCurrentNode(form.Treeclass->nodeAt(form.FindNodeIndex(QStringLiteral("测量"), true)));
    double ms = untilPainted(app, counter, timer, before);
    // A frame painted before the script arrived would time less than the user waits.
    if (counter.charactersPainted < 1000)
        return 2;
    ms = msThen(app, round, memo, counter, ms);
    std::printf("%.3f %d %d %s\n", ms, memo->width(), memo->height(), qPrintable(memo->font().toString()));
    return 0;
}

// The row's text as the bare toolkit reads it: SQLite's own calls and one decoding.
QString readScript(sqlite3* db)
{
    QString text;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "select * from tjs where cjs_name = ?", -1, &statement, nullptr) != SQLITE_OK)
        return text;
    sqlite3_bind_text(statement, 1, "测量", -1, SQLITE_STATIC);
    if (sqlite3_step(statement) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            if (qstrcmp(sqlite3_column_name(statement, i), "cjs_text") == 0) {
                const auto bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
                text = QString::fromUtf8(bytes, sqlite3_column_bytes(statement, i));
            }
        }
    }
    sqlite3_finalize(statement);
    return text;
}

// The bare editor, reading the row itself (withRead) or given the decoded text.
int bareRound(QApplication& app, const Case& round, QSize size, const QFont& font, bool withRead)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/qvlb.db");
    QString text = textOf(QLatin1String(round.name));
    sqlite3* db = nullptr;
    if (withRead) {
        makeLibrary(path, text);
        text.clear();
        if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            return 2;
    }
    QPlainTextEdit editor;
    editor.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    const bool longLine = QLatin1String(round.name).contains(QLatin1String("line"));
    editor.setWordWrapMode(longLine ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Both bare runs show the text in the program's face: a face's shaping costs differ by a factor
    // of two between the faces on this machine, which is no cost of the program's.
    editor.setFont(font);
    editor.setTabStopDistance(4 * editor.fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    editor.resize(size);
    editor.show();
    if (!QTest::qWaitForWindowExposed(&editor))
        return 2;
    PaintCounter counter(&editor);
    QTest::qWait(50);
    QElapsedTimer timer;
    timer.start();
    const int before = counter.paints;
    if (withRead)
        text = readScript(db);
    editor.setPlainText(text);
    double ms = untilPainted(app, counter, timer, before);
    if (withRead)
        sqlite3_close(db);
    if (counter.charactersPainted < 1000)
        return 2;
    ms = msThen(app, round, &editor, counter, ms);
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

// The median and the range of the times.
QString spread(const QList<double>& times)
{
    const auto [least, most] = std::minmax_element(times.begin(), times.end());
    return QStringLiteral("%1 [%2-%3]")
        .arg(median(times), 0, 'f', 2)
        .arg(*least, 0, 'f', 2)
        .arg(*most, 0, 'f', 2);
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
        QList<double> bareEditor;
        for (int i = 0; i < rounds; ++i) {
            QStringList fields;
            if (!runChild({QStringLiteral("--round"), QLatin1String(round.name), QStringLiteral("program")},
                    &fields)
                || fields.size() < 4) {
                std::fprintf(stderr, "feylume-bench-codeeditor: a program round of %s failed\n", round.name);
                return 2;
            }
            program << fields[0].toDouble();
            const QString width = fields[1];
            const QString height = fields[2];
            const QString font = fields.mid(3).join(QLatin1Char(' '));
            for (const auto& [kind, times] :
                {std::pair {"bare", &bare}, std::pair {"bare-editor", &bareEditor}}) {
                if (!runChild({QStringLiteral("--round"), QLatin1String(round.name), QLatin1String(kind),
                                  width, height, font},
                        &fields)) {
                    std::fprintf(
                        stderr, "feylume-bench-codeeditor: a %s round of %s failed\n", kind, round.name);
                    return 2;
                }
                *times << fields[0].toDouble();
            }
        }
        std::printf("%s\n  program %s   bare %s   %.2fx\n  (bare editor alone %s   %.2fx)\n", round.title,
            qPrintable(spread(program)), qPrintable(spread(bare)), median(program) / median(bare),
            qPrintable(spread(bareEditor)), median(program) / median(bareEditor));
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
        const QString kind = arguments[roundAt + 2];
        if (kind == QLatin1String("program"))
            return programRound(app, *round);
        if (roundAt + 5 >= arguments.size())
            return 2;
        QFont font;
        font.fromString(arguments[roundAt + 5]);
        return bareRound(app, *round, QSize(arguments[roundAt + 3].toInt(), arguments[roundAt + 4].toInt()),
            font, kind == QLatin1String("bare"));
    }
    int rounds = 7;
    const qsizetype roundsAt = arguments.indexOf(QStringLiteral("--rounds"));
    if (roundsAt > 0 && roundsAt + 1 < arguments.size())
        rounds = std::max(1, arguments[roundsAt + 1].toInt());
    const qsizetype onlyAt = arguments.indexOf(QStringLiteral("--case"));
    return conduct(rounds, onlyAt > 0 && onlyAt + 1 < arguments.size() ? arguments[onlyAt + 1] : QString());
}
