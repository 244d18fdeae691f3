// Backups of the library and the way back: one backup in each run that changes the library, a
// quick check of the library once it is loaded, and restoring a backup.

#include "base/feylumeerror.h"
#include "categorytree.h"
#include "dbctrls/dbcombobox.h"
#include "form1.h"
#include "restorebackupdialog.h"
#include "startupload.h"
#include "store/librarybackup.h"
#include "store/libraryguard.h"
#include "store/query.h"
#include "widgets/errorguard.h"
#include "widgets/messageboxes.h"
#include "widgets/statusbar.h"

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTimer>

namespace {
// Long enough for the page check of a library of some thousand scripts; a larger one is not
// checked at each start rather than kept waiting for.
constexpr int kQuickCheckLimitMs = 5000;

QString shownTime(const QDateTime& made)
{
    return made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}
} // namespace

void TForm1::setUpBackups()
{
    LibraryGuard1 = new LibraryGuard(this);
    LibraryGuard1->setObjectName(QStringLiteral("LibraryGuard1"));
    connect(LibraryGuard1, &LibraryGuard::backedUp, this, [this](const QString& path) {
        m_runBackup = path;
        if (m_libraryChanged)
            keepRunBackup();
    });
    connect(LibraryGuard1, &LibraryGuard::backupFailed, this, [this](const QString& message) {
        if (std::exchange(m_backupFailureTold, true))
            return;
        tellInStatusBar(QStringLiteral("脚本库备份失败：") + message);
    });
    connect(LibraryGuard1, &LibraryGuard::damaged, this,
        guard([this](const QString& problem) { reportDamagedLibrary(problem); }));
    // Told from inside the statement that makes the change; acted on once it is done.
    ADOConnection1.setChangeObserver([this] {
        if (!std::exchange(m_libraryChanged, true))
            QTimer::singleShot(0, this, [this] { firstChangeMade(); });
    });
}

void TForm1::guardLibrary()
{
    // A read-only library cannot change, and needs no backup of this run.
    if (!ADOConnection1.connected() || ADOConnection1.database().isReadOnly())
        return;
    LibraryGuard1->start(Places.libraryPath, Places.backupDir, kQuickCheckLimitMs);
}

void TForm1::firstChangeMade()
{
    if (!m_runBackup.isEmpty())
        keepRunBackup();
    else if (!LibraryGuard1->isBusy() && !m_backupFailureTold)
        LibraryGuard1->start(Places.libraryPath, Places.backupDir, 0);
}

void TForm1::keepRunBackup()
{
    LibraryBackup::prune(Places.backupDir);
    m_runBackupKept = true;
}

void TForm1::dropUnneededBackup()
{
    LibraryGuard1->stop();
    // A run that changed nothing needs no backup of its own.
    if (!m_runBackupKept && !m_runBackup.isEmpty())
        QFile::remove(m_runBackup);
}

void TForm1::RestoreBackup1Click()
{
    RestoreBackupDialog dialog(Places.backupDir, this);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenPath().isEmpty())
        return;
    const QString chosen = dialog.chosenPath();
    if (!MessageBoxes::confirm(
            QStringLiteral("用这个备份替换当前的脚本库吗？当前的脚本库会先存为一个备份。")))
        return;
    restoreBackup(chosen);
}

void TForm1::reportDamagedLibrary(const QString& problem)
{
    QString good;
    QDateTime made;
    for (const LibraryBackup::Entry& backup : LibraryBackup::list(Places.backupDir)) {
        try {
            if (LibraryBackup::integrityProblem(backup.path).isEmpty()) {
                good = backup.path;
                made = backup.made;
                break;
            }
        } catch (const FeylumeError&) {
            // An unreadable backup is no way back; the next one may be.
        }
    }
    const QString damage = QStringLiteral("脚本库文件已损坏（%1）。").arg(problem);
    if (good.isEmpty()) {
        MessageBoxes::information(damage + QStringLiteral("没有完好的备份可以恢复。"));
        return;
    }
    if (MessageBoxes::confirm(damage + QStringLiteral("要恢复 %1 的备份吗？").arg(shownTime(made))))
        restoreBackup(good);
}

bool TForm1::restoreBackup(const QString& path)
{
    if (!storePendingChanges())
        return false;
    const QString problem = LibraryBackup::integrityProblem(path);
    if (!problem.isEmpty()) {
        MessageBoxes::information(QStringLiteral("这个备份已损坏，不能恢复（%1）。").arg(problem));
        return false;
    }
    LibraryGuard1->stop();
    ADOQuery1->close();
    ADOQuery2->close();
    const QDateTime now = QDateTime::currentDateTime();
    // The library as it is now becomes a backup too, so that restoring can be undone; a file
    // SQLite can no longer read through is kept as it lies.
    try {
        LibraryBackup::copy(Places.libraryPath, Places.backupDir, now);
    } catch (const FeylumeError&) {
        LibraryBackup::copyFile(Places.libraryPath, Places.backupDir, now);
    }
    m_libraryChanged = m_runBackupKept = true;
    ADOConnection1.close();
    LibraryBackup::putInPlace(path, Places.libraryPath);
    LibraryBackup::prune(Places.backupDir);
    reloadLibrary();
    tellInStatusBar(QStringLiteral("已恢复备份"));
    return true;
}

void TForm1::reloadLibrary()
{
    ADOConnection1.open();
    {
        // The old nodes go without a selection change: each would open a script of the old library.
        const QSignalBlocker quiet(Treeclass);
        while (Treeclass->topLevelItemCount() > 0)
            Treeclass->removeNode(Treeclass->topLevelItem(0));
    }
    CBX1->clear();
    while (ComboBox1->count() > 1)
        ComboBox1->removeItem(1);
    ComboBox1->setCurrentIndex(0);
    ListBox1->clear();
    TotalScripts = 0;
    m_startupLoad->loadCategoriesAndScripts();
    setPanelText(CountPanel, QString());
    ADOQuery2->open();
    const int position = CurrentScriptName.isEmpty() ? -1 : FindNodeIndex(CurrentScriptName, true);
    if (position >= 0)
        Treeclass->setCurrentNode(Treeclass->nodeAt(position));
}
