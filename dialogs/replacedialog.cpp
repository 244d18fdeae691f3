#include "replacedialog.h"

#include "text/textsearch.h"

#include <QLineEdit>
#include <QPushButton>

ReplaceDialog::ReplaceDialog(QWidget* parent)
    : SearchDialog(parent)
{
    setObjectName(QStringLiteral("ReplaceDialog1"));
    setWindowTitle(QStringLiteral("Replace"));
    m_replaceText = addTextRow(QStringLiteral("Re&place with:"), QStringLiteral("ReplaceText"));
    onPress(addButton(QStringLiteral("&Replace"), QStringLiteral("ReplaceButton")), &TextBoxSearch::replace);
    onPress(addButton(QStringLiteral("Replace &All"), QStringLiteral("ReplaceAllButton")),
        &TextBoxSearch::replaceAll);
}

void ReplaceDialog::setRequest(const TextBoxSearch::Request& request)
{
    SearchDialog::setRequest(request);
    m_replaceText->setText(TextSearch::fittingPrefix(request.with, kTextLimitBytes));
}

TextBoxSearch::Request ReplaceDialog::request() const
{
    TextBoxSearch::Request request = SearchDialog::request();
    request.with = m_replaceText->text();
    return request;
}
