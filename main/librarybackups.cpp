#include "librarybackups.h"

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

LibraryBackups::LibraryBackups(TForm1& form, StartupLoad& load)
    : QObject(&form)
    , m_form(form)
    , m_load(load)
{
    m_form.LibraryGuard1 = new LibraryGuard(&form);
    m_form.LibraryGuard1->setObjectName(QStringLiteral("m_form.LibraryGuard1"));
    connect(m_form.LibraryGuard1, &LibraryGuard::backedUp, this, [this](const QString& path) {
        m_runBackup = path;
        if (m_libraryChanged)
            keepRunBackup();
    });
    connect(m_form.LibraryGuard1, &LibraryGuard::backupFailed, this, [this](const QString& message) {
        if (std::exchange(m_backupFailureTold, true))
            return;
        m_form.tellInStatusBar(QStringLiteral("脚本库备份失败：") + message);
    });
    connect(m_form.LibraryGuard1, &LibraryGuard::damaged, this,
        guard([this](const QString& problem) { reportDamagedLibrary(problem); }));
    // Told from inside the statement that makes the change; acted on once it is done.
    m_form.ADOConnection1.setChangeObserver([this] {
        if (!std::exchange(m_libraryChanged, true))
            QTimer::singleShot(0, this, [this] { firstChangeMade(); });
    });
}

void LibraryBackups::guardLibrary()
{
    // A read-only library cannot change, and needs no backup of this run.
    if (!m_form.ADOConnection1.connected() || m_form.ADOConnection1.database().isReadOnly())
        return;
    m_form.LibraryGuard1->start(m_form.Places.libraryPath, m_form.Places.backupDir, kQuickCheckLimitMs);
}

void LibraryBackups::firstChangeMade()
{
    if (!m_runBackup.isEmpty())
        keepRunBackup();
    else if (!m_form.LibraryGuard1->isBusy() && !m_backupFailureTold)
        m_form.LibraryGuard1->start(m_form.Places.libraryPath, m_form.Places.backupDir, 0);
}

void LibraryBackups::keepRunBackup()
{
    LibraryBackup::prune(m_form.Places.backupDir);
    m_runBackupKept = true;
}

void LibraryBackups::dropUnneededBackup()
{
    m_form.LibraryGuard1->stop();
    // A run that changed nothing needs no backup of its own.
    if (!m_runBackupKept && !m_runBackup.isEmpty())
        QFile::remove(m_runBackup);
}

void LibraryBackups::RestoreBackup1Click()
{
    RestoreBackupDialog dialog(m_form.Places.backupDir, &m_form);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenPath().isEmpty())
        return;
    const QString chosen = dialog.chosenPath();
    if (!MessageBoxes::confirm(
            QStringLiteral("用这个备份替换当前的脚本库吗？当前的脚本库会先存为一个备份。")))
        return;
    restoreBackup(chosen);
}

void LibraryBackups::reportDamagedLibrary(const QString& problem)
{
    QString good;
    QDateTime made;
    for (const LibraryBackup::Entry& backup : LibraryBackup::list(m_form.Places.backupDir)) {
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

bool LibraryBackups::restoreBackup(const QString& path)
{
    if (!m_form.storePendingChanges())
        return false;
    const QString problem = LibraryBackup::integrityProblem(path);
    if (!problem.isEmpty()) {
        MessageBoxes::information(QStringLiteral("这个备份已损坏，不能恢复（%1）。").arg(problem));
        return false;
    }
    m_form.LibraryGuard1->stop();
    m_form.ADOQuery1->close();
    m_form.ADOQuery2->close();
    const QDateTime now = QDateTime::currentDateTime();
    // The library as it is now becomes a backup too, so that restoring can be undone; a file
    // SQLite can no longer read through is kept as it lies.
    try {
        LibraryBackup::copy(m_form.Places.libraryPath, m_form.Places.backupDir, now);
    } catch (const FeylumeError&) {
        LibraryBackup::copyFile(m_form.Places.libraryPath, m_form.Places.backupDir, now);
    }
    m_libraryChanged = m_runBackupKept = true;
    m_form.ADOConnection1.close();
    LibraryBackup::putInPlace(path, m_form.Places.libraryPath);
    LibraryBackup::prune(m_form.Places.backupDir);
    reloadLibrary();
    m_form.tellInStatusBar(QStringLiteral("已恢复备份"));
    return true;
}

void LibraryBackups::reloadLibrary()
{
    m_form.ADOConnection1.open();
    {
        // The old nodes go without a selection change: each would open a script of the old library.
        const QSignalBlocker quiet(m_form.Treeclass);
        while (m_form.Treeclass->topLevelItemCount() > 0)
            m_form.Treeclass->removeNode(m_form.Treeclass->topLevelItem(0));
    }
    m_form.CBX1->clear();
    while (m_form.ComboBox1->count() > 1)
        m_form.ComboBox1->removeItem(1);
    m_form.ComboBox1->setCurrentIndex(0);
    m_form.ListBox1->clear();
    m_form.TotalScripts = 0;
    m_load.loadCategoriesAndScripts();
    m_form.setPanelText(TForm1::CountPanel, QString());
    m_form.ADOQuery2->open();
    const int position
        = m_form.CurrentScriptName.isEmpty() ? -1 : m_form.FindNodeIndex(m_form.CurrentScriptName, true);
    if (position >= 0)
        m_form.Treeclass->setCurrentNode(m_form.Treeclass->nodeAt(position));
}
