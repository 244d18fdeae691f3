#pragma once

#include "searchdialog.h"

class QRadioButton;

// The find dialog: a text, a direction (down at first), match case and whole word; its
// find-next button searches the bound box from its selection on.
class FindDialog : public SearchDialog
{
    Q_OBJECT
public:
    explicit FindDialog(QWidget* parent);

    TextBoxSearch::Request request() const override;
    void setRequest(const TextBoxSearch::Request& request) override;

private:
    QRadioButton* m_up;
    QRadioButton* m_down;
};
