#pragma once

#include <QLineEdit>

class CharacterLimit;
class DataSource;
class FieldLink;

// A single-line editor bound to one column of the current record. Typing takes it to at most as
// many characters as the column is declared to hold; a stored text that is longer is shown whole.
class TDBEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TDBEdit(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    void setDataField(const QString& field);
    // Shows a stored "yyyy-MM-dd HH:mm:ss" value in the desktop's usual date-time form.
    void setShowsDateTime(bool on);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showField(const QString& value);

    FieldLink* m_link;
    CharacterLimit* m_limit;
    bool m_showsDateTime = false;
};
