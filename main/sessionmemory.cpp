#include "sessionmemory.h"

#include "categorytree.h"
#include "currentscript.h"
#include "dialogs/finddialog.h"
#include "dialogs/replacedialog.h"
#include "dialogs/scriptfiledialog.h"
#include "store/appplaces.h"
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

SessionMemory::SessionMemory(const Parts& parts, CurrentScript& current, const AppPlaces& places)
    : m_parts(parts)
    , m_current(current)
    , m_settings(places.settingsPath)
{ }

bool SessionMemory::restore()
{
    const SessionSettings& settings = m_settings;
    bool frameRestored = false;
    const std::optional<QRect> frame = settings.rect(QStringLiteral("window/geometry"), kLargestCoordinate);
    if (const std::optional<QRect> room = frame ? screenRoomFor(*frame) : std::nullopt) {
        m_parts.window->setGeometry(fittedInto(*frame, *room));
        frameRestored = true;
        m_showMaximized = settings.flag(QStringLiteral("window/maximized")).value_or(true);
    }
    restoreSizes(m_parts.panes, settings, QStringLiteral("window/panes"));
    restoreSizes(m_parts.header, settings, QStringLiteral("window/header"));

    if (const std::optional<int> column = settings.number(QStringLiteral("search/column"), 0, 2))
        std::array {m_parts.byName, m_parts.byCode, m_parts.byAuthor}[*column]->setChecked(true);
    m_parts.keywordEdit->setText(settings.text(QStringLiteral("search/keyword")));
    restoreFileDialog(m_parts.openDialog, settings, QStringLiteral("import"));
    restoreFileDialog(m_parts.saveDialog, settings, QStringLiteral("export"));
    restoreRequest(m_parts.findDialog, settings, QStringLiteral("find"));
    restoreRequest(m_parts.replaceDialog, settings, QStringLiteral("replace"));
    return frameRestored;
}

void SessionMemory::restoreLoadedPlaces()
{
    const SessionSettings& settings = m_settings;
    for (const QString& name : settings.texts(QStringLiteral("tree/expanded"), kMostCategories)) {
        if (TreeNode* category = m_current.nodeIfAny(StoredName(name), false))
            m_parts.tree->expandNode(category);
    }
    const int category = m_parts.filterBox->findText(
        settings.text(QStringLiteral("search/category")), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (category >= 0)
        m_parts.filterBox->setCurrentIndex(category);
    const QString script = settings.text(QStringLiteral("tree/openScript"));
    if (TreeNode* open = script.isEmpty() ? nullptr : m_current.nodeIfAny(StoredName(script), true))
        m_parts.tree->setCurrentNode(open);
}

void SessionMemory::save()
{
    if (!m_settings.isStored())
        return;
    SessionSettings& settings = m_settings;
    settings.setRect(QStringLiteral("window/geometry"), m_parts.window->normalGeometry());
    settings.setFlag(QStringLiteral("window/maximized"), m_parts.window->isMaximized());
    settings.setNumbers(QStringLiteral("window/panes"), m_parts.panes->sizes());
    settings.setNumbers(QStringLiteral("window/header"), m_parts.header->sizes());

    // A library that did not open leaves the places in it as they were.
    if (m_current.library().connected()) {
        QStringList expanded;
        for (int i = 0; i < m_parts.tree->topLevelItemCount(); ++i) {
            const TreeNode* node = m_parts.tree->topLevelItem(i);
            if (m_parts.tree->isExpanded(node))
                expanded << node->text();
        }
        settings.setTexts(QStringLiteral("tree/expanded"), expanded);
        settings.setText(
            QStringLiteral("tree/openScript"), m_current.record()->isEmpty() ? QString() : m_current.name());
        settings.setText(QStringLiteral("search/category"), m_parts.filterBox->currentText());
    }

    settings.setText(QStringLiteral("search/column"),
        QString::number(m_parts.byName->isChecked() ? 0
                : m_parts.byCode->isChecked()       ? 1
                                                    : 2));
    settings.setText(QStringLiteral("search/keyword"), m_parts.keywordEdit->text());
    saveFileDialog(m_parts.openDialog, settings, QStringLiteral("import"));
    saveFileDialog(m_parts.saveDialog, settings, QStringLiteral("export"));
    saveRequest(m_parts.findDialog, settings, QStringLiteral("find"));
    saveRequest(m_parts.replaceDialog, settings, QStringLiteral("replace"));
    settings.save();
}

void SessionMemory::showAsRemembered()
{
    if (m_showMaximized)
        m_parts.window->showMaximized();
    else
        m_parts.window->showNormal();
}
