#include "sessionmemory.h"

#include "categorytree.h"
#include "dialogs/finddialog.h"
#include "dialogs/replacedialog.h"
#include "dialogs/scriptfiledialog.h"
#include "form1.h"
#include "store/query.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>

#include <optional>

namespace {
// Far beyond any desktop, and small enough that arithmetic on it cannot overflow.
constexpr int kLargestCoordinate = 100000;
constexpr int kMostCategories = 100000;
// Of a window put back, this much of its top edge must lie on a screen for the user to grab it.
constexpr int kGrabbableWidth = 100;
constexpr int kGrabbableHeight = 30;
// Wider than the borders window managers draw around a window.
constexpr int kFrameBorder = 8;

// The room on the screen where the user can grab the window's top edge; none when no screen has it.
std::optional<QRect> screenRoomFor(const QRect& frame)
{
    const QRect titleBar(
        frame.left(), frame.top(), std::min(frame.width(), kGrabbableWidth), kGrabbableHeight);
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(titleBar))
            return screen->availableGeometry();
    }
    return std::nullopt;
}

// A window remembered larger than the screen it comes back on (another monitor, a damaged file)
// is made to fit that screen wholly; one that fits keeps its place. The geometry is the window's
// inside, and the frame the window manager adds is not known before it is shown: a title bar's
// height is left above it and a border's width around it, so that the title bar stays on the
// screen.
QRect fittedInto(const QRect& frame, const QRect& room)
{
    const QRect inside = room.adjusted(kFrameBorder, kGrabbableHeight, -kFrameBorder, -kFrameBorder);
    if (frame.width() <= inside.width() && frame.height() <= inside.height())
        return frame;
    QRect fitted(frame.topLeft(), frame.size().boundedTo(inside.size()));
    fitted.moveRight(std::min(fitted.right(), inside.right()));
    fitted.moveBottom(std::min(fitted.bottom(), inside.bottom()));
    fitted.moveTop(std::max(fitted.top(), inside.top()));
    return fitted;
}

QSplitter* pageSplitter(const QWidget* window)
{
    return window->findChild<QSplitter*>(QStringLiteral("Panel1Splitter"));
}

void restoreSizes(QSplitter* splitter, const SessionSettings& settings, const QString& key)
{
    const QList<int> sizes = settings.numbers(key, splitter->count(), 1, kLargestCoordinate);
    if (sizes.size() == splitter->count())
        splitter->setSizes(sizes);
}

void restoreRequest(SearchDialog* dialog, const SessionSettings& settings, const QString& group)
{
    TextBoxSearch::Request request = dialog->request();
    request.what = settings.text(group + QStringLiteral("/text"));
    request.with = settings.text(group + QStringLiteral("/with"));
    request.options.matchCase
        = settings.flag(group + QStringLiteral("/matchCase")).value_or(request.options.matchCase);
    request.options.wholeWord
        = settings.flag(group + QStringLiteral("/wholeWord")).value_or(request.options.wholeWord);
    request.options.down = settings.flag(group + QStringLiteral("/down")).value_or(request.options.down);
    dialog->setRequest(request);
}

void saveRequest(const SearchDialog* dialog, SessionSettings& settings, const QString& group)
{
    const TextBoxSearch::Request request = dialog->request();
    settings.setText(group + QStringLiteral("/text"), request.what);
    settings.setText(group + QStringLiteral("/with"), request.with);
    settings.setFlag(group + QStringLiteral("/matchCase"), request.options.matchCase);
    settings.setFlag(group + QStringLiteral("/wholeWord"), request.options.wholeWord);
    settings.setFlag(group + QStringLiteral("/down"), request.options.down);
}

void restoreFileDialog(ScriptFileDialog* dialog, const SessionSettings& settings, const QString& group)
{
    dialog->restore(
        settings.text(group + QStringLiteral("/folder")), settings.text(group + QStringLiteral("/filter")));
}

void saveFileDialog(const ScriptFileDialog* dialog, SessionSettings& settings, const QString& group)
{
    settings.setText(group + QStringLiteral("/folder"), dialog->folder());
    settings.setText(group + QStringLiteral("/filter"), dialog->filterName());
}
} // namespace

SessionMemory::SessionMemory(TForm1& form)
    : m_form(form)
    , m_settings(form.Places.settingsPath)
{ }

bool SessionMemory::restore()
{
    const SessionSettings& settings = m_settings;
    bool frameRestored = false;
    const std::optional<QRect> frame = settings.rect(QStringLiteral("window/geometry"), kLargestCoordinate);
    if (const std::optional<QRect> room = frame ? screenRoomFor(*frame) : std::nullopt) {
        m_form.setGeometry(fittedInto(*frame, *room));
        frameRestored = true;
        m_showMaximized = settings.flag(QStringLiteral("window/maximized")).value_or(true);
    }
    restoreSizes(m_form.ClientSplitter, settings, QStringLiteral("window/panes"));
    restoreSizes(pageSplitter(&m_form), settings, QStringLiteral("window/header"));

    if (const std::optional<int> column = settings.number(QStringLiteral("search/column"), 0, 2))
        std::array {m_form.rb1, m_form.rb2, m_form.rb3}[*column]->setChecked(true);
    m_form.Edit1->setText(settings.text(QStringLiteral("search/keyword")));
    restoreFileDialog(m_form.FileOpen1Dialog, settings, QStringLiteral("import"));
    restoreFileDialog(m_form.FileSaveAs1Dialog, settings, QStringLiteral("export"));
    restoreRequest(m_form.FindDialog1, settings, QStringLiteral("find"));
    restoreRequest(m_form.ReplaceDialog1, settings, QStringLiteral("replace"));
    return frameRestored;
}

void SessionMemory::restoreLoadedPlaces()
{
    const SessionSettings& settings = m_settings;
    for (const QString& name : settings.texts(QStringLiteral("tree/expanded"), kMostCategories)) {
        const int position = m_form.FindNodeIndex(name, false);
        if (position >= 0)
            m_form.Treeclass->expandNode(m_form.Treeclass->nodeAt(position));
    }
    const int category = m_form.ComboBox1->findText(
        settings.text(QStringLiteral("search/category")), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (category >= 0)
        m_form.ComboBox1->setCurrentIndex(category);
    const QString script = settings.text(QStringLiteral("tree/openScript"));
    const int position = script.isEmpty() ? -1 : m_form.FindNodeIndex(script, true);
    if (position >= 0)
        m_form.Treeclass->setCurrentNode(m_form.Treeclass->nodeAt(position));
}

void SessionMemory::save()
{
    if (!m_settings.isStored())
        return;
    SessionSettings& settings = m_settings;
    settings.setRect(QStringLiteral("window/geometry"), m_form.normalGeometry());
    settings.setFlag(QStringLiteral("window/maximized"), m_form.isMaximized());
    settings.setNumbers(QStringLiteral("window/panes"), m_form.ClientSplitter->sizes());
    settings.setNumbers(QStringLiteral("window/header"), pageSplitter(&m_form)->sizes());

    // A library that did not open leaves the places in it as they were.
    if (m_form.ADOConnection1.connected()) {
        QStringList expanded;
        for (int i = 0; i < m_form.Treeclass->topLevelItemCount(); ++i) {
            const TreeNode* node = m_form.Treeclass->topLevelItem(i);
            if (m_form.Treeclass->isExpanded(node))
                expanded << node->text();
        }
        settings.setTexts(QStringLiteral("tree/expanded"), expanded);
        settings.setText(QStringLiteral("tree/openScript"),
            m_form.ADOQuery2->isEmpty() ? QString() : m_form.CurrentScriptName);
        settings.setText(QStringLiteral("search/category"), m_form.ComboBox1->currentText());
    }

    settings.setText(QStringLiteral("search/column"),
        QString::number(m_form.rb1->isChecked() ? 0
                : m_form.rb2->isChecked()       ? 1
                                                : 2));
    settings.setText(QStringLiteral("search/keyword"), m_form.Edit1->text());
    saveFileDialog(m_form.FileOpen1Dialog, settings, QStringLiteral("import"));
    saveFileDialog(m_form.FileSaveAs1Dialog, settings, QStringLiteral("export"));
    saveRequest(m_form.FindDialog1, settings, QStringLiteral("find"));
    saveRequest(m_form.ReplaceDialog1, settings, QStringLiteral("replace"));
    settings.save();
}

void SessionMemory::showAsRemembered()
{
    if (m_showMaximized)
        m_form.showMaximized();
    else
        m_form.showNormal();
}
