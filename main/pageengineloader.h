#pragma once

#include "pageengine/pageengine.h"

class QString;

namespace PageEngineLoader {
// Loads the engine module on first use and returns its factory, or null with the reason, in
// words for the user, in *reason.
CreatePageEngine factory(QString* reason);
} // namespace PageEngineLoader
