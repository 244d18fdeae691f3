#pragma once

#include "textboxsearch.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QGridLayout;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// What the find and replace dialogs share: the text to find (at most 255 bytes), the match-case
// and whole-word options, the find-next and cancel buttons, the box they are bound to and where
// they stand on the screen. A dialog is modeless and lives as long as the main window; closing
// it hides it, and it comes back where it was, with its texts and options.
class SearchDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr qsizetype kTextLimitBytes = 255;

    // Binds the dialog to a text box and shows it, or brings it to the front when it is open.
    void bindTo(QWidget* box);
    // The bound box while it exists and its window is open; nullptr otherwise.
    QWidget* boundBox() const;

    QString findText() const;
    void setFindText(const QString& text);
    virtual TextBoxSearch::Request request() const;
    // Sets the texts and options a request is made from; a text is cut to the limit.
    virtual void setRequest(const TextBoxSearch::Request& request);

protected:
    explicit SearchDialog(QWidget* parent);

    QLineEdit* addTextRow(const QString& label, const QString& name);
    QPushButton* addButton(const QString& caption, const QString& name);
    // Runs a press on the bound box; with no box bound it does nothing.
    void onPress(QPushButton* button, void (*press)(TextBoxTarget&, const TextBoxSearch::Request&));
    void showEvent(QShowEvent* event) override;

    QGridLayout* m_fields;
    QHBoxLayout* m_options;
    QVBoxLayout* m_buttons;
    QLineEdit* m_findText;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeWord;
    QPushButton* m_findNext;
    QPushButton* m_cancel;

private:
    void placeFirstTime();
    void updateButtons();
    // Tab follows the order the dialog is read in: the text rows, the options, the buttons.
    void orderTabsAsRead();

    QPointer<QWidget> m_box;
    bool m_placed = false;
};
