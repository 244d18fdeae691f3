#include "finddialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>

FindDialog::FindDialog(QWidget* parent)
    : SearchDialog(parent)
{
    setObjectName(QStringLiteral("FindDialog1"));
    setWindowTitle(QStringLiteral("Find"));
    auto* direction = new QGroupBox(QStringLiteral("Direction"), this);
    m_up = new QRadioButton(QStringLiteral("&Up"), direction);
    m_up->setObjectName(QStringLiteral("DirectionUp"));
    m_down = new QRadioButton(QStringLiteral("&Down"), direction);
    m_down->setObjectName(QStringLiteral("DirectionDown"));
    m_down->setChecked(true);
    auto* layout = new QHBoxLayout(direction);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    m_options->addWidget(direction);
}

void FindDialog::setRequest(const TextBoxSearch::Request& request)
{
    SearchDialog::setRequest(request);
    (request.options.down ? m_down : m_up)->setChecked(true);
}

TextBoxSearch::Request FindDialog::request() const
{
    TextBoxSearch::Request request = SearchDialog::request();
    request.options.down = m_down->isChecked();
    return request;
}
