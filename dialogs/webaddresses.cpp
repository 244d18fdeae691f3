#include "webaddresses.h"

#include "main/shellopen.h"

void WebAddresses::open(const QString& address)
{
    ShellOpen::open(QUrl(address));
}
