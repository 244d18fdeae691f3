#include "sidewindows.h"

#include "dialogs/aboutbox.h"
#include "dialogs/importsettings.h"
#include "dialogs/webaddresses.h"
#include "keydispatch.h"

SideWindows::SideWindows(QWidget* window)
    : QObject(window)
    , m_window(window)
{ }

void SideWindows::showAbout()
{
    m_about = new TFmabout(m_window);
    // Destroyed as it closes; its result is of no use here.
    m_about->exec();
}

void SideWindows::showImportSettings()
{
    m_importSettings = new TFmImport(m_window);
    KeyDispatcher::shareCommandKeys(m_importSettings);
    m_importSettings->show();
}

void SideWindows::openHelp()
{
    WebAddresses::open(WebAddresses::kHelpPage);
}
