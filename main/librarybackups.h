#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "store/librarybackup.h"

struct AppPlaces;
class CategoryTree;
class CurrentScript;
class LibraryGuard;
class ScriptCounts;
class StartupLoad;
class TDBComboBox;
class QComboBox;
class QListWidget;
class QWidget;

// Backups of the library and the way back: one backup in each run that changes the library,
// holding the library before the change; a check of the library once it is loaded; the offer of
// the newest sound backup when the check or the load finds the library damaged; and restoring a
// backup. Owns the window's library guard.
class LibraryBackups : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        // The window the restore's dialogs stand over.
        QWidget* window;
        const AppPlaces* places;
        // What a restored library fills again.
        CategoryTree* tree;
        TDBComboBox* categoryBox;
        QComboBox* filterBox;
        QListWidget* results;
        // A passing notice on the status bar.
        std::function<void(const QString&)> tell;
    };

    LibraryBackups(const Parts& parts, CurrentScript& current, ScriptCounts& counts, StartupLoad& load);

    // Starts the check and gets the run's backup ready once the library is loaded.
    void guardLibrary();
    // At the end of the run: the backup of a run that changed the library is completed; a run
    // that changed nothing leaves none.
    void dropUnneededBackup();
    // The user picks a backup, confirms, and it replaces the library.
    void chooseAndRestore();
    // Replaces the library by the backup after saving it as a backup itself, and reloads the
    // tree; false when a pending change was refused or the backup is damaged.
    bool restoreBackup(const QString& path);

private:
    void loadFailed();
    void offerNewestSoundBackup(const QString& problem);
    LibraryBackup::Entry newestSoundBackup();
    QString keepReplacedLibrary();
    void reloadLibrary();

    Parts m_parts;
    CurrentScript& m_current;
    ScriptCounts& m_counts;
    StartupLoad& m_load;
    LibraryGuard* m_guard;
    bool m_libraryChanged = false;
    bool m_backupFailureTold = false;
    bool m_damageTold = false;
    // Set once the check or the load found the library damaged.
    bool m_libraryDamaged = false;
};
