#pragma once

#include "fieldinput.h"

#include <QLineEdit>

class CharacterLimit;
class DataSource;

// A single-line editor bound to one column of the current record. Typing takes it to at most as
// many characters as the column is declared to hold; a stored text that is longer is shown whole.
class TDBEdit : public FieldInput<QLineEdit>
{
    Q_OBJECT
public:
    explicit TDBEdit(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    void setDataField(const QString& field);
    // Shows a stored "yyyy-MM-dd HH:mm:ss" value in the desktop's usual date-time form.
    void setShowsDateTime(bool on);
    // For a box the user cannot scroll: the text is drawn smaller where that makes it fit whole.
    void setFitsTextToBox(bool on);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showField(const QString& value);
    void fitTextToBox();

    CharacterLimit* m_limit;
    bool m_showsDateTime = false;
    bool m_fitsTextToBox = false;
    QFont m_fullSizeFont;
};
