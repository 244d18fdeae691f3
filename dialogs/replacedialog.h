#pragma once

#include "searchdialog.h"

// The replace dialog: a text to find and its replacement (at most 255 bytes each), match case
// and whole word; it always searches downward.
class ReplaceDialog : public SearchDialog
{
    Q_OBJECT
public:
    explicit ReplaceDialog(QWidget* parent);

    TextBoxSearch::Request request() const override;
    void setRequest(const TextBoxSearch::Request& request) override;

private:
    QLineEdit* m_replaceText;
};
