#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

// Lists the library's backups, newest first, with the time each was made and its number of
// scripts, for the user to pick the one to restore.
class RestoreBackupDialog : public QDialog
{
    Q_OBJECT
public:
    RestoreBackupDialog(const QString& backupFolder, QWidget* parent);

    // The chosen backup's path once the dialog was accepted.
    QString chosenPath() const;
    QListWidget* list() const { return m_list; }

private:
    QListWidget* m_list;
    QPushButton* m_restore;
};
