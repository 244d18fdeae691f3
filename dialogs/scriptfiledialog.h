#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

// The file dialog of one import or export command. It keeps, from one use to the next, the file
// name and the filter of the last use that ended with a file chosen; the first use starts with
// the first filter and no name. A dialog closed without a file changes neither.
class ScriptFileDialog : public QObject
{
    Q_OBJECT
public:
    enum class Purpose { Open, Save };
    ScriptFileDialog(Purpose purpose, const QString& name, QWidget* parent);

    // filterText lists descriptions and their patterns, all separated by "|", patterns within
    // a pair by ";": "网页文件|*.htm;*.html|所有文件|*.*".
    void setFilter(const QString& filterText);
    // Shows the dialog modally; true when it was closed with a file chosen.
    bool execute();
    // The chosen file's full name.
    const QString& fileName() const { return m_fileName; }
    QFileDialog* dialog() const { return m_dialog; }

    static QStringList nameFilters(const QString& filterText);

    // The folder and the filter the next use starts in, kept from one run to the next.
    QString folder() const { return m_folder; }
    QString filterName() const { return m_filterName; }
    void restore(const QString& folder, const QString& filterName);

private:
    QFileDialog* m_dialog;
    QString m_fileName;
    QString m_filterName;
    QString m_folder;
};
