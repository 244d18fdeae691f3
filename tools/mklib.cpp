// Makes a library file for the program from the sample manifest.
//   feylume-mklib [--if-missing | --replace] LIBRARY MANIFEST
// Without a flag an existing library is left alone and reported as an error.

#include "base/feylumeerror.h"
#include "librarymaker.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool ifMissing = args.removeAll(QStringLiteral("--if-missing")) > 0;
    const bool replace = args.removeAll(QStringLiteral("--replace")) > 0;
    if (args.size() != 2 || (ifMissing && replace)) {
        std::fprintf(stderr, "usage: feylume-mklib [--if-missing | --replace] LIBRARY MANIFEST\n");
        return 2;
    }
    const QString library = args.at(0);
    if (QFileInfo::exists(library) && !replace) {
        if (ifMissing)
            return 0;
        std::fprintf(stderr, "%s exists; pass --replace to overwrite it\n", qPrintable(library));
        return 1;
    }
    try {
        LibraryMaker::makeFromManifest(args.at(1), library);
    } catch (const FeylumeError& error) {
        std::fprintf(stderr, "feylume-mklib: %s\n", qPrintable(error.message()));
        return 1;
    }
    std::printf("library written: %s\n", qPrintable(library));
    return 0;
}
