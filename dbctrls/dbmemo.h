#pragma once

#include <QPlainTextEdit>

class DataSource;
class FieldLink;

// A multi-line editor bound to one column. The library keeps CR LF line ends; the editor shows
// plain lines and gives CR LF back.
class TDBMemo : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TDBMemo(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    void setDataField(const QString& field);
    FieldLink* link() const { return m_link; }
    // The editor's whole text with CR LF line ends.
    QString text() const;

private:
    void reload();

    FieldLink* m_link;
};
