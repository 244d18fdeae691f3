#include "librarybackups.h"

#include "base/feylumeerror.h"
#include "categorytree.h"
#include "currentscript.h"
#include "dbctrls/dbcombobox.h"
#include "restorebackupdialog.h"
#include "scriptcounts.h"
#include "startupload.h"
#include "store/appplaces.h"
#include "store/librarybackup.h"
#include "store/librarydiagnosis.h"
#include "store/libraryguard.h"
#include "store/query.h"
#include "widgets/afterboxes.h"
#include "widgets/errorguard.h"
#include "widgets/messageboxes.h"

#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QListWidget>
#include <QProgressDialog>
#include <QSignalBlocker>
#include <QThread>
#include <QTimer>

#include <exception>
#include <functional>

namespace {
// Long enough for the page check of a library of some thousand scripts; a larger one is not
// checked at each start rather than kept waiting for.
constexpr int kQuickCheckLimitMs = 5000;
// A restore shows its stages once it has taken this long.
constexpr int kProgressDelayMs = 500;
constexpr int kProgressTickMs = 100;
// A backup offered as the way back is checked whole unless that takes longer than this.
constexpr int kBackupCheckLimitMs = 15000;

QString shownTime(const QDateTime& made)
{
    return made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}
} // namespace

LibraryBackups::LibraryBackups(
    const Parts& parts, CurrentScript& current, ScriptCounts& counts, StartupLoad& load)
    : QObject(parts.window)
    , m_parts(parts)
    , m_current(current)
    , m_counts(counts)
    , m_load(load)
    , m_guard(new LibraryGuard(this))
{
    m_guard->setObjectName(QStringLiteral("LibraryGuard1"));
    connect(m_guard, &LibraryGuard::backupFailed, this, [this](const QString& message) {
        if (std::exchange(m_backupFailureTold, true))
            return;
        m_parts.tell(QStringLiteral("脚本库备份失败：") + message);
    });
    connect(m_guard, &LibraryGuard::damaged, this,
        [this](const QString& problem) { offerNewestSoundBackup(problem); });
    // Told from inside the statement that makes the change, before it is written: the check
    // lets go of the library at once, and the backup is completed once the statement is done.
    m_current.library().setChangeObserver([this] {
        if (std::exchange(m_libraryChanged, true))
            return;
        m_guard->giveWayToChange();
        QTimer::singleShot(0, this, [this] { m_guard->backUpBeforeChange(); });
    });
    m_load.setLoadFailureHandler([this] { loadFailed(); });
}

void LibraryBackups::guardLibrary()
{
    // A read-only library cannot change, and needs no backup of this run.
    if (!m_current.library().connected() || m_current.library().database().isReadOnly() || m_libraryChanged)
        return;
    m_guard->watch(m_parts.places->libraryPath, m_parts.places->backupDir, kQuickCheckLimitMs);
}

void LibraryBackups::dropUnneededBackup()
{
    m_guard->finishBackup();
}

void LibraryBackups::loadFailed()
{
    if (m_libraryDamaged || m_libraryChanged)
        return;
    const QString problem = LibraryDiagnosis::problemOf(m_parts.places->libraryPath, kQuickCheckLimitMs);
    // A missing library is told by the open; one that reads well failed for another reason.
    if (problem.isEmpty() || !QFileInfo::exists(m_parts.places->libraryPath))
        return;
    offerNewestSoundBackup(problem);
}

LibraryBackup::Entry LibraryBackups::newestSoundBackup()
{
    for (const LibraryBackup::Entry& backup : LibraryBackup::list(m_parts.places->backupDir)) {
        if (backup.damaged)
            continue;
        bool completed = false;
        QString problem;
        try {
            problem = LibraryBackup::quickProblem(backup.path, kBackupCheckLimitMs, &completed);
        } catch (const FeylumeError& error) {
            problem = error.message();
        }
        if (problem.isEmpty())
            return backup;
        // Found once, never counted as a way back again.
        LibraryBackup::markDamaged(backup.path);
    }
    return {};
}

void LibraryBackups::offerNewestSoundBackup(const QString& problem)
{
    m_libraryDamaged = true;
    if (std::exchange(m_damageTold, true))
        return;
    // After the splash and the boxes of a failed load, never under them.
    runAfterOpenBoxes(this, guard([this, problem] {
        const QString damage = QStringLiteral("脚本库文件已损坏：%1。").arg(problem);
        const LibraryBackup::Entry good = newestSoundBackup();
        if (good.path.isEmpty()) {
            MessageBoxes::information(damage + QStringLiteral("没有完好的备份可以恢复。"));
            return;
        }
        if (MessageBoxes::confirm(damage
                + QStringLiteral("要恢复 %1 的备份吗？当前的脚本库会先存为一个备份。")
                      .arg(shownTime(good.made))))
            restoreBackup(good.path);
    }));
}

void LibraryBackups::chooseAndRestore()
{
    RestoreBackupDialog dialog(m_parts.places->backupDir, m_parts.window);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenPath().isEmpty())
        return;
    const QString chosen = dialog.chosenPath();
    if (!MessageBoxes::confirm(
            QStringLiteral("用这个备份替换当前的脚本库吗？当前的脚本库会先存为一个备份。")))
        return;
    restoreBackup(chosen);
}

QString LibraryBackups::keepReplacedLibrary()
{
    const QDateTime now = QDateTime::currentDateTime();
    // A file SQLite can no longer read through is kept as it lies.
    QString kept;
    try {
        kept = LibraryBackup::copy(m_parts.places->libraryPath, m_parts.places->backupDir, now);
    } catch (const FeylumeError&) {
        kept = LibraryBackup::copyFile(m_parts.places->libraryPath, m_parts.places->backupDir, now);
        m_libraryDamaged = true;
    }
    return m_libraryDamaged ? LibraryBackup::markDamaged(kept) : kept;
}

namespace {
// Runs the work on a thread of its own while the window goes on drawing itself, with the stage
// shown once it takes long enough to be noticed. What the work throws is thrown here.
void runShown(QProgressDialog& progress, int stage, const QString& label, const std::function<void()>& work)
{
    progress.setLabelText(label);
    progress.setValue(stage);
    std::exception_ptr failure;
    QEventLoop loop;
    QThread* thread = QThread::create([&work, &failure] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    // Keeps the dialog's own timing going: it shows itself on a value set after its delay.
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &progress, [&progress, stage] { progress.setValue(stage); });
    tick.start(kProgressTickMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    delete thread;
    if (failure)
        std::rethrow_exception(failure);
}
} // namespace

bool LibraryBackups::restoreBackup(const QString& path)
{
    if (!m_current.storePendingChanges())
        return false;
    // A large library takes seconds to check and copy: the window stays drawn meanwhile, and
    // the stages are shown.
    QProgressDialog progress(m_parts.window);
    progress.setObjectName(QStringLiteral("RestoreProgress"));
    progress.setWindowTitle(QStringLiteral("恢复备份"));
    progress.setCancelButton(nullptr);
    progress.setRange(0, 4);
    progress.setMinimumDuration(kProgressDelayMs);
    progress.setWindowModality(Qt::WindowModal);
    QString problem;
    runShown(progress, 0, QStringLiteral("正在检查备份…"),
        [&problem, &path] { problem = LibraryBackup::integrityProblem(path); });
    if (!problem.isEmpty()) {
        progress.reset();
        MessageBoxes::information(QStringLiteral("这个备份已损坏，不能恢复（%1）。")
                                      .arg(LibraryDiagnosis::describeCheck(path, problem)));
        return false;
    }
    // A backup of this run still being made is completed first: it is the way back from the
    // run's changes.
    runShown(
        progress, 1, QStringLiteral("正在完成本次运行的备份…"), [guard = m_guard] { guard->finishBackup(); });
    m_guard->stop();
    m_current.closeStatement();
    m_current.record()->close();
    m_current.library().close();
    m_libraryChanged = true;
    // The library as it is now becomes a backup too, so that restoring can be undone.
    QString replaced;
    runShown(progress, 2, QStringLiteral("正在把当前的脚本库存为备份…"),
        [this, &replaced] { replaced = keepReplacedLibrary(); });
    runShown(progress, 3, QStringLiteral("正在恢复…"), [this, &path, &replaced] {
        LibraryBackup::putInPlace(path, m_parts.places->libraryPath);
        // The library just put back is never pruned, nor kept twice under two names.
        LibraryBackup::dropOlderCopiesOf(replaced);
        LibraryBackup::prune(m_parts.places->backupDir, LibraryBackup::kKept, path);
    });
    m_libraryDamaged = false;
    progress.setLabelText(QStringLiteral("正在载入…"));
    progress.setValue(4);
    reloadLibrary();
    progress.reset();
    m_parts.tell(QStringLiteral("已恢复备份"));
    return true;
}

void LibraryBackups::reloadLibrary()
{
    m_current.library().open();
    {
        // The old nodes go without a selection change: each would open a script of the old library.
        const QSignalBlocker quiet(m_parts.tree);
        while (m_parts.tree->topLevelItemCount() > 0)
            m_parts.tree->removeNode(m_parts.tree->topLevelItem(0));
    }
    m_parts.categoryBox->clear();
    while (m_parts.filterBox->count() > 1)
        m_parts.filterBox->removeItem(1);
    m_parts.filterBox->setCurrentIndex(0);
    m_parts.results->clear();
    m_counts.reset();
    m_load.loadCategoriesAndScripts();
    m_counts.clearCount();
    m_current.record()->open();
    TreeNode* reopened
        = m_current.name().isEmpty() ? nullptr : m_current.nodeIfAny(StoredName(m_current.name()), true);
    if (reopened)
        m_parts.tree->setCurrentNode(reopened);
}
