#include "appplaces.h"

#include "base/feylumeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
const QString kLibraryName = QStringLiteral("qvlb.db");
const QString kPortableLibrary = QStringLiteral("data/qvlb.db");
// Relative to the program's folder: bin/ and share/ are siblings in every installed tree,
// wherever its prefix was moved.
const QString kInstalledSample = QStringLiteral("../share/feylume/qvlb.db");
const QString kOwnFolder = QStringLiteral("feylume/");

QString withSeparator(const QString& dir)
{
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

void makeFolder(const QString& dir)
{
    if (!QDir().mkpath(dir))
        throw FeylumeError(
            QStringLiteral("Cannot create folder %1").arg(QDir::toNativeSeparators(QDir::cleanPath(dir))));
}
} // namespace

UserFolders UserFolders::fromEnvironment()
{
    return {QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)};
}

AppPlaces AppPlaces::beside(const QString& programDir)
{
    AppPlaces places;
    places.programDir = withSeparator(programDir);
    places.libraryPath = places.programDir + kPortableLibrary;
    places.previewDir = places.programDir;
    places.backupDir = places.libraryDir() + QStringLiteral("backups/");
    return places;
}

AppPlaces AppPlaces::forProgram(const QString& programDir, const UserFolders& user)
{
    AppPlaces places = beside(programDir);
    places.settingsPath = withSeparator(user.configHome) + kOwnFolder + QStringLiteral("feylume.conf");
    if (QFileInfo::exists(places.libraryPath)) {
        // A portable copy on a folder it cannot write still previews: the file goes beside the
        // library, or to the user's data folder when that cannot be written either.
        if (!QFileInfo(places.programDir).isWritable())
            places.previewDir = QFileInfo(places.libraryDir()).isWritable()
                ? places.libraryDir()
                : withSeparator(user.dataHome) + kOwnFolder;
        return places;
    }
    places.libraryPath = withSeparator(user.dataHome) + kOwnFolder + kLibraryName;
    places.previewDir = places.libraryDir();
    places.backupDir = places.libraryDir() + QStringLiteral("backups/");
    const QString sample = QDir::cleanPath(places.programDir + kInstalledSample);
    if (QFileInfo::exists(sample))
        places.sampleLibraryPath = sample;
    return places;
}

QString AppPlaces::libraryDir() const
{
    return withSeparator(QFileInfo(libraryPath).path());
}

void AppPlaces::providePreviewDir() const
{
    makeFolder(previewDir);
}

bool AppPlaces::provideLibrary() const
{
    if (sampleLibraryPath.isEmpty() || QFileInfo::exists(libraryPath))
        return false;
    QFile sample(sampleLibraryPath);
    if (!sample.open(QIODevice::ReadOnly))
        return false;
    makeFolder(libraryDir());
    // Written under another name and renamed into place: a copy cut short (a full disk) never
    // looks like a library.
    QSaveFile copy(libraryPath);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(sample.readAll()) != sample.size() || !copy.commit())
        throw FeylumeError(
            QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(libraryPath)));
    // The installed sample may be read-only; the user's own library must not be.
    QFile::setPermissions(
        libraryPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return true;
}
