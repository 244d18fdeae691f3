#include "searchdialog.h"

#include "bytelimitvalidator.h"
#include "textboxtarget.h"
#include "widgets/errorguard.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

SearchDialog::SearchDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    m_fields = new QGridLayout;
    m_options = new QHBoxLayout;
    left->addLayout(m_fields);
    left->addLayout(m_options);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    m_buttons = new QVBoxLayout;
    right->addLayout(m_buttons);
    layout->addLayout(left, 1);
    layout->addLayout(right);

    m_findText = addTextRow(QStringLiteral("Fi&nd what:"), QStringLiteral("FindText"));
    connect(m_findText, &QLineEdit::textChanged, this, &SearchDialog::updateButtons);
    auto* checks = new QVBoxLayout;
    m_wholeWord = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    m_wholeWord->setObjectName(QStringLiteral("WholeWord"));
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));
    checks->addStretch(1);
    checks->addWidget(m_wholeWord);
    checks->addWidget(m_matchCase);
    m_options->addLayout(checks);

    m_findNext = addButton(QStringLiteral("&Find Next"), QStringLiteral("FindNextButton"));
    m_findNext->setDefault(true);
    onPress(m_findNext, [](TextBoxTarget& box, const TextBoxSearch::Request& request) {
        TextBoxSearch::findNext(box, request);
    });
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    right->addWidget(m_cancel);
    right->addStretch(1);
}

QLineEdit* SearchDialog::addTextRow(const QString& label, const QString& name)
{
    const int row = m_fields->count() / 2;
    auto* caption = new QLabel(label, this);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setValidator(new ByteLimitValidator(kTextLimitBytes, edit));
    edit->setMinimumWidth(180);
    caption->setBuddy(edit);
    m_fields->addWidget(caption, row, 0);
    m_fields->addWidget(edit, row, 1);
    return edit;
}

QPushButton* SearchDialog::addButton(const QString& caption, const QString& name)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    m_buttons->addWidget(button);
    return button;
}

void SearchDialog::onPress(QPushButton* button, void (*press)(TextBoxTarget&, const TextBoxSearch::Request&))
{
    connect(button, &QPushButton::clicked, this, guard([this, press] {
        TextBoxTarget box = TextBoxTarget::of(boundBox());
        if (box.exists() && !findText().isEmpty())
            press(box, request());
    }));
}

void SearchDialog::bindTo(QWidget* box)
{
    m_box = box;
    if (!isVisible()) {
        if (!m_placed)
            placeFirstTime();
        show();
        m_findText->setFocus();
        m_findText->selectAll();
    }
    raise();
    activateWindow();
}

QWidget* SearchDialog::boundBox() const
{
    return m_box && m_box->window()->isVisible() ? m_box.data() : nullptr;
}

QString SearchDialog::findText() const
{
    return m_findText->text();
}

void SearchDialog::setFindText(const QString& text)
{
    m_findText->setText(TextSearch::fittingPrefix(text, kTextLimitBytes));
}

TextBoxSearch::Request SearchDialog::request() const
{
    TextBoxSearch::Request request;
    request.what = findText();
    request.options.matchCase = m_matchCase->isChecked();
    request.options.wholeWord = m_wholeWord->isChecked();
    return request;
}

void SearchDialog::setRequest(const TextBoxSearch::Request& request)
{
    setFindText(request.what);
    m_matchCase->setChecked(request.options.matchCase);
    m_wholeWord->setChecked(request.options.wholeWord);
}

void SearchDialog::showEvent(QShowEvent* event)
{
    updateButtons();
    orderTabsAsRead();
    QDialog::showEvent(event);
}

void SearchDialog::placeFirstTime()
{
    // Centred across the screen of the active window, a third of the way down the free height.
    QWidget* active = QApplication::activeWindow();
    QScreen* screen = active ? active->screen() : QGuiApplication::primaryScreen();
    adjustSize();
    const QRect free = screen->availableGeometry();
    const QSize size = frameGeometry().size();
    move(free.x() + (free.width() - size.width()) / 2, free.y() + (free.height() - size.height()) / 3);
    m_placed = true;
}

void SearchDialog::orderTabsAsRead()
{
    // Rows and buttons added by a subclass come after the base's in creation order, which would
    // put "Replace with" behind every button.
    QList<QWidget*> chain;
    for (int row = 0; row < m_fields->rowCount(); ++row) {
        if (QLayoutItem* field = m_fields->itemAtPosition(row, 1); field && field->widget())
            chain << field->widget();
    }
    chain << m_wholeWord << m_matchCase;
    for (int i = 0; i < m_buttons->count(); ++i) {
        if (QWidget* button = m_buttons->itemAt(i)->widget())
            chain << button;
    }
    chain << m_cancel;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain.at(i - 1), chain.at(i));
}

void SearchDialog::updateButtons()
{
    // An empty find text is never found, so the presses wait for one.
    const bool hasText = !findText().isEmpty();
    for (int i = 0; i < m_buttons->count(); ++i) {
        if (QWidget* button = m_buttons->itemAt(i)->widget())
            button->setEnabled(hasText);
    }
}
