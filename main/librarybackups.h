#pragma once

#include <QObject>
#include <QString>

#include "store/librarybackup.h"

class StartupLoad;
class TForm1;

// Backups of the library and the way back: one backup in each run that changes the library,
// holding the library before the change; a check of the library once it is loaded; the offer of
// the newest sound backup when the check or the load finds the library damaged; and restoring a
// backup. Owns the window's LibraryGuard1.
class LibraryBackups : public QObject
{
public:
    LibraryBackups(TForm1& form, StartupLoad& load);

    // Starts the check and gets the run's backup ready once the library is loaded.
    void guardLibrary();
    // At the end of the run: the backup of a run that changed the library is completed; a run
    // that changed nothing leaves none.
    void dropUnneededBackup();
    // "恢复备份…": the user picks a backup, confirms, and it replaces the library.
    void RestoreBackup1Click();
    // Replaces the library by the backup after saving it as a backup itself, and reloads the
    // tree; false when a pending change was refused or the backup is damaged.
    bool restoreBackup(const QString& path);

private:
    void loadFailed();
    void offerNewestSoundBackup(const QString& problem);
    LibraryBackup::Entry newestSoundBackup();
    QString keepReplacedLibrary();
    void reloadLibrary();

    TForm1& m_form;
    StartupLoad& m_load;
    bool m_libraryChanged = false;
    bool m_backupFailureTold = false;
    bool m_damageTold = false;
    // Set once the check or the load found the library damaged.
    bool m_libraryDamaged = false;
};
