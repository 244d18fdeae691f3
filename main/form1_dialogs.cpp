// The main window's look component, and the commands that open the about box, the help page and
// the network import settings.

#include "action.h"
#include "dialogs/aboutbox.h"
#include "dialogs/importsettings.h"
#include "dialogs/webaddresses.h"
#include "form1.h"
#include "keydispatch.h"
#include "xplook/xplook.h"

void TForm1::createLook()
{
    XPLook1 = new TXPLook(this);
    applyStoredLookSettings(*XPLook1);
}

void TForm1::ActaboutExecute()
{
    Fmabout = new TFmabout(this);
    // Destroyed as it closes; its result is of no use here.
    Fmabout->exec();
}

void TForm1::N15Click()
{
    WebAddresses::open(WebAddresses::kHelpPage);
}

void TForm1::ActIFnetExecute()
{
    FmImport = new TFmImport(this);
    KeyDispatcher::shareCommandKeys(FmImport);
    FmImport->show();
}
