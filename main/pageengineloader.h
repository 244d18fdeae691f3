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
// The module's function that readies the engine ahead, once the module is loaded; null while it
// is not, or could not be.
PreparePageEngine preparer();

enum class BackgroundLoad { Running, Loaded, Failed };
// Starts loading the module on a thread of its own, which reads and links its libraries and readies
// what the module can ready there without holding the window up, and tells how far it got; asked
// again, it tells again. The module is loaded once either way: a factory() asked for meanwhile
// waits for the thread.
BackgroundLoad loadInBackground();

} // namespace PageEngineLoader
