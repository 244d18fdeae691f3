#pragma once

#include <QString>

// The folders of the user's own files, as the desktop names them (~/.local/share and
// ~/.config unless XDG_DATA_HOME or XDG_CONFIG_HOME say otherwise).
struct UserFolders
{
    QString dataHome;
    QString configHome;

    static UserFolders fromEnvironment();
};

// Where the program keeps its files. A program with a library in data/ beside it is a portable
// copy and keeps everything there, as a build folder does; an installed program keeps the
// library, its backups and the preview file in the user's data folder and remembers the user's
// places in the config folder, and takes its sample library from its own share folder.
struct AppPlaces
{
    // Every folder ends with a separator.
    QString programDir;
    QString libraryPath;
    // Copied to libraryPath when that does not exist yet; empty when there is none to copy.
    QString sampleLibraryPath;
    QString previewDir;
    QString backupDir;
    // Empty: nothing is remembered between runs.
    QString settingsPath;

    // Everything beside the program and nothing remembered: a window made on a bare folder.
    static AppPlaces beside(const QString& programDir);
    static AppPlaces forProgram(const QString& programDir, const UserFolders& user);

    QString libraryDir() const;

    // Makes the preview file's folder when it is not there yet (the user's data folder of a
    // portable copy that cannot write beside itself); throws when it cannot be made.
    void providePreviewDir() const;

    // At the first start of an installed program: copies the sample library to where the
    // library belongs. True when it did; false when a library is there already or there is no
    // sample. A copy that fails leaves nothing behind and throws.
    bool provideLibrary() const;
};
