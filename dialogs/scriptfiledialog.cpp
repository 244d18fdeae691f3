#include "scriptfiledialog.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

ScriptFileDialog::ScriptFileDialog(Purpose purpose, const QString& name, QWidget* parent)
    : QObject(parent)
    , m_dialog(new QFileDialog(parent))
{
    setObjectName(name);
    m_dialog->setObjectName(name);
    m_dialog->setFileMode(QFileDialog::AnyFile);
    m_dialog->setAcceptMode(purpose == Purpose::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // Export replaces an existing file without a question, and adds no extension to a typed name.
    if (purpose == Purpose::Save)
        m_dialog->setOption(QFileDialog::DontConfirmOverwrite);
    m_dialog->setSizeGripEnabled(true);
}

QStringList ScriptFileDialog::nameFilters(const QString& filterText)
{
    const QStringList parts = filterText.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // "*.*" means every file; here it would leave out names without a dot.
        for (QString& pattern : patterns) {
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        filters << parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

void ScriptFileDialog::setFilter(const QString& filterText)
{
    m_dialog->setNameFilters(nameFilters(filterText));
}

void ScriptFileDialog::restore(const QString& folder, const QString& filterName)
{
    // A folder that has gone since is no place to start in. The filter is checked against the
    // dialog's list when it is used.
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        m_folder = QDir(folder).absolutePath();
    m_filterName = filterName;
}

bool ScriptFileDialog::execute()
{
    const QStringList filters = m_dialog->nameFilters();
    m_dialog->selectNameFilter(
        filters.contains(m_filterName) || filters.isEmpty() ? m_filterName : filters.first());
    if (m_fileName.isEmpty() && !m_folder.isEmpty())
        m_dialog->setDirectory(m_folder);
    m_dialog->selectFile(m_fileName);
    const int result = m_dialog->exec();
    // A name picked from the completion list with Enter closes the dialog but leaves the list
    // up, over the main window and holding its keys.
    const auto completers = m_dialog->findChildren<QCompleter*>();
    for (QCompleter* completer : completers) {
        if (completer->popup()->isVisible())
            completer->popup()->hide();
    }
    if (result != QDialog::Accepted)
        return false;
    const QString chosen = m_dialog->selectedFiles().value(0);
    if (chosen.isEmpty())
        return false;
    m_fileName = chosen;
    m_folder = QFileInfo(chosen).absolutePath();
    m_filterName = m_dialog->selectedNameFilter();
    return true;
}
