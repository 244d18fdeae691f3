#pragma once

#include <QString>

class FeylumeError;

// Why the library refused a change, in words a user can act on: a name already used, a library
// locked by another program, a full disk, a library or folder that cannot be written, or else
// the library's own message.
QString refusalCause(const FeylumeError& error);
