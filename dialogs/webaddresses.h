#pragma once

#include <QString>

// The maker's web site. The host is our own invented one under a domain reserved for examples,
// so it can never lead a user to somebody else's site.
namespace WebAddresses {
inline const QString kHomePage = QStringLiteral("http://www.qingying-studio.example");
inline const QString kHelpPage = kHomePage + QStringLiteral("/fylm");

// Asks the desktop to open the address in the default browser; the outcome is not looked at.
void open(const QString& address);
} // namespace WebAddresses
