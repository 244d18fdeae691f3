#pragma once

#include <QObject>
#include <QString>

class StartupLoad;
class TForm1;

// Backups of the library and the way back: one backup in each run that changes the library, a
// quick check of the library once it is loaded, and restoring a backup. Owns the window's
// LibraryGuard1.
class LibraryBackups : public QObject
{
public:
    LibraryBackups(TForm1& form, StartupLoad& load);

    // Starts the quick check and the run's backup once the library is loaded.
    void guardLibrary();
    // At the end of the run: a run that changed nothing needs no backup of its own.
    void dropUnneededBackup();
    // "恢复备份…": the user picks a backup, confirms, and it replaces the library.
    void RestoreBackup1Click();
    // Replaces the library by the backup after saving it as a backup itself, and reloads the
    // tree; false when a pending change was refused or the backup is damaged.
    bool restoreBackup(const QString& path);

private:
    void firstChangeMade();
    void keepRunBackup();
    void reportDamagedLibrary(const QString& problem);
    void reloadLibrary();

    TForm1& m_form;
    StartupLoad& m_load;
    // The backup made in this run, kept once the library changes.
    QString m_runBackup;
    bool m_runBackupKept = false;
    bool m_libraryChanged = false;
    bool m_backupFailureTold = false;
};
