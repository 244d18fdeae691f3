// Where the user was: the window, its panes, the tree, the open script, the search options and
// the dialogs, remembered at close and given back at the next start.

#include "categorytree.h"
#include "dialogs/finddialog.h"
#include "dialogs/replacedialog.h"
#include "dialogs/scriptfiledialog.h"
#include "form1.h"
#include "sessionsettings.h"
#include "store/query.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>

namespace {
// Far beyond any desktop, and small enough that arithmetic on it cannot overflow.
constexpr int kLargestCoordinate = 100000;
constexpr int kMostCategories = 100000;
// Of a window put back, this much of its top edge must lie on a screen for the user to grab it.
constexpr int kGrabbableWidth = 100;
constexpr int kGrabbableHeight = 30;

bool reachableOnSomeScreen(const QRect& frame)
{
    const QRect titleBar(
        frame.left(), frame.top(), std::min(frame.width(), kGrabbableWidth), kGrabbableHeight);
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(titleBar))
            return true;
    }
    return false;
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

void TForm1::restoreSession()
{
    m_session = std::make_unique<SessionSettings>(Places.settingsPath);
    const SessionSettings& settings = *m_session;
    if (const std::optional<QRect> frame
        = settings.rect(QStringLiteral("window/geometry"), kLargestCoordinate);
        frame && reachableOnSomeScreen(*frame)) {
        setGeometry(*frame);
        // A restore from maximised brings back this size, not the first start's.
        m_restoredSizeSet = true;
        m_showMaximized = settings.flag(QStringLiteral("window/maximized")).value_or(true);
    }
    restoreSizes(ClientSplitter, settings, QStringLiteral("window/panes"));
    restoreSizes(pageSplitter(this), settings, QStringLiteral("window/header"));

    if (const std::optional<int> column = settings.number(QStringLiteral("search/column"), 0, 2))
        std::array {rb1, rb2, rb3}[*column]->setChecked(true);
    Edit1->setText(settings.text(QStringLiteral("search/keyword")));
    restoreFileDialog(FileOpen1Dialog, settings, QStringLiteral("import"));
    restoreFileDialog(FileSaveAs1Dialog, settings, QStringLiteral("export"));
    restoreRequest(FindDialog1, settings, QStringLiteral("find"));
    restoreRequest(ReplaceDialog1, settings, QStringLiteral("replace"));
}

void TForm1::restoreLoadedPlaces()
{
    const SessionSettings& settings = *m_session;
    for (const QString& name : settings.texts(QStringLiteral("tree/expanded"), kMostCategories)) {
        const int position = FindNodeIndex(name, false);
        if (position >= 0)
            Treeclass->expandNode(Treeclass->nodeAt(position));
    }
    const int category = ComboBox1->findText(
        settings.text(QStringLiteral("search/category")), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (category >= 0)
        ComboBox1->setCurrentIndex(category);
    const QString script = settings.text(QStringLiteral("tree/openScript"));
    const int position = script.isEmpty() ? -1 : FindNodeIndex(script, true);
    if (position >= 0)
        Treeclass->setCurrentNode(Treeclass->nodeAt(position));
}

void TForm1::saveSession()
{
    if (!m_session || !m_session->isStored())
        return;
    SessionSettings& settings = *m_session;
    settings.setRect(QStringLiteral("window/geometry"), normalGeometry());
    settings.setFlag(QStringLiteral("window/maximized"), isMaximized());
    settings.setNumbers(QStringLiteral("window/panes"), ClientSplitter->sizes());
    settings.setNumbers(QStringLiteral("window/header"), pageSplitter(this)->sizes());

    // A library that did not open leaves the places in it as they were.
    if (ADOConnection1.connected()) {
        QStringList expanded;
        for (int i = 0; i < Treeclass->topLevelItemCount(); ++i) {
            const TreeNode* node = Treeclass->topLevelItem(i);
            if (Treeclass->isExpanded(node))
                expanded << node->text();
        }
        settings.setTexts(QStringLiteral("tree/expanded"), expanded);
        settings.setText(
            QStringLiteral("tree/openScript"), ADOQuery2->isEmpty() ? QString() : CurrentScriptName);
        settings.setText(QStringLiteral("search/category"), ComboBox1->currentText());
    }

    settings.setText(QStringLiteral("search/column"),
        QString::number(rb1->isChecked() ? 0
                : rb2->isChecked()       ? 1
                                         : 2));
    settings.setText(QStringLiteral("search/keyword"), Edit1->text());
    saveFileDialog(FileOpen1Dialog, settings, QStringLiteral("import"));
    saveFileDialog(FileSaveAs1Dialog, settings, QStringLiteral("export"));
    saveRequest(FindDialog1, settings, QStringLiteral("find"));
    saveRequest(ReplaceDialog1, settings, QStringLiteral("replace"));
    settings.save();
}

void TForm1::showAsRemembered()
{
    if (m_showMaximized)
        showMaximized();
    else
        showNormal();
}
