#include "webaddresses.h"

#include <QDesktopServices>
#include <QUrl>

void WebAddresses::open(const QString& address)
{
    QDesktopServices::openUrl(QUrl(address));
}
