#include "webaddresses.h"

#include "widgets/shellopen.h"

void WebAddresses::open(const QString& address)
{
    ShellOpen::open(QUrl(address));
}
