#pragma once

#include "pageengine/pageengine.h"

class QString;

namespace PageEngineLoader {
// Looks for the module as if the program were in this folder from now on; empty for the
// program's own. For tests.
void setProgramFolder(const QString& folder);

// Loads the engine module on first use and returns its factory, or null with the reason, in
// words for the user, in *reason.
CreatePageEngine factory(QString* reason);
} // namespace PageEngineLoader
