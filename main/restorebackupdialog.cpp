#include "restorebackupdialog.h"

#include "store/librarybackup.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

RestoreBackupDialog::RestoreBackupDialog(const QString& backupFolder, QWidget* parent)
    : QDialog(parent)
    , m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("RestoreBackupDialog"));
    setWindowTitle(QStringLiteral("恢复备份"));
    m_list->setObjectName(QStringLiteral("BackupList"));
    for (const LibraryBackup::Entry& backup : LibraryBackup::list(backupFolder)) {
        // A backup found damaged is listed for what it is, and cannot be put back.
        const int scripts = backup.damaged ? -1 : LibraryBackup::countScripts(backup.path);
        const QString count = backup.damaged ? QStringLiteral("已损坏")
            : scripts < 0                    ? QStringLiteral("无法读取")
                                             : QStringLiteral("%1 个脚本").arg(scripts);
        auto* item = new QListWidgetItem(
            QStringLiteral("%1    %2")
                .arg(backup.made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), count),
            m_list);
        item->setData(Qt::UserRole, backup.path);
        if (scripts < 0)
            item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
    }

    auto* buttons = new QDialogButtonBox(this);
    m_restore = buttons->addButton(QStringLiteral("恢复"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    m_restore->setEnabled(false);
    connect(m_list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        m_restore->setEnabled(item && (item->flags() & Qt::ItemIsEnabled));
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] {
        if (m_restore->isEnabled())
            accept();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        m_list->count() ? QStringLiteral("选择要恢复的备份：") : QStringLiteral("还没有备份。"), this));
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(360, 300);
}

QString RestoreBackupDialog::chosenPath() const
{
    const QListWidgetItem* item = m_list->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}
