#pragma once

#include <QString>

// Builds a library file from a manifest (categories in order, scripts with their fields and the
// file holding each one's code). The file is written beside the target and moved into place
// only when complete, so a failed run leaves nothing half-made.
namespace LibraryMaker {
void makeFromManifest(const QString& manifestPath, const QString& libraryPath);
} // namespace LibraryMaker
