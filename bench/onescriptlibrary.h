#pragma once

#include <QString>

// Makes a library at `path` holding one category with one script of the given code (stored as
// it is given, so CR LF line ends are the caller's to put in).
void makeOneScriptLibrary(
    const QString& path, const QString& category, const QString& name, const QString& code);
