#include "faultyvfs.h"

#include <sqlite3.h>

#include <cstring>

namespace {
int g_fault = 0;
bool g_refuseJournals = false;
sqlite3_vfs* g_real = nullptr;
sqlite3_vfs g_faulty;

// Each open file keeps the real file's methods behind our own.
struct FaultyFile
{
    sqlite3_file base;
    const sqlite3_io_methods* realMethods;
    sqlite3_file* real()
    {
        return reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(this) + sizeof(FaultyFile));
    }
};

FaultyFile* faulty(sqlite3_file* file)
{
    return reinterpret_cast<FaultyFile*>(file);
}

int fileClose(sqlite3_file* f)
{
    return faulty(f)->realMethods->xClose(faulty(f)->real());
}
int fileRead(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset)
{
    return faulty(f)->realMethods->xRead(faulty(f)->real(), buffer, amount, offset);
}
int fileWrite(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset)
{
    if (g_fault)
        return g_fault;
    return faulty(f)->realMethods->xWrite(faulty(f)->real(), buffer, amount, offset);
}
int fileTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    return faulty(f)->realMethods->xTruncate(faulty(f)->real(), size);
}
int fileSync(sqlite3_file* f, int flags)
{
    return faulty(f)->realMethods->xSync(faulty(f)->real(), flags);
}
int fileSize(sqlite3_file* f, sqlite3_int64* size)
{
    return faulty(f)->realMethods->xFileSize(faulty(f)->real(), size);
}
int fileLock(sqlite3_file* f, int level)
{
    return faulty(f)->realMethods->xLock(faulty(f)->real(), level);
}
int fileUnlock(sqlite3_file* f, int level)
{
    return faulty(f)->realMethods->xUnlock(faulty(f)->real(), level);
}
int fileCheckReservedLock(sqlite3_file* f, int* out)
{
    return faulty(f)->realMethods->xCheckReservedLock(faulty(f)->real(), out);
}
int fileControl(sqlite3_file* f, int op, void* arg)
{
    return faulty(f)->realMethods->xFileControl(faulty(f)->real(), op, arg);
}
int fileSectorSize(sqlite3_file* f)
{
    return faulty(f)->realMethods->xSectorSize(faulty(f)->real());
}
int fileDeviceCharacteristics(sqlite3_file* f)
{
    return faulty(f)->realMethods->xDeviceCharacteristics(faulty(f)->real());
}

const sqlite3_io_methods kMethods = {1, fileClose, fileRead, fileWrite, fileTruncate, fileSync, fileSize,
    fileLock, fileUnlock, fileCheckReservedLock, fileControl, fileSectorSize, fileDeviceCharacteristics,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

int vfsOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    // A folder that cannot be written lets the library be read but no journal be made beside it.
    if (g_refuseJournals && (flags & SQLITE_OPEN_MAIN_JOURNAL))
        return SQLITE_CANTOPEN;
    FaultyFile* wrapper = faulty(file);
    std::memset(wrapper, 0, sizeof(FaultyFile));
    const int rc = g_real->xOpen(g_real, name, wrapper->real(), flags, outFlags);
    if (rc != SQLITE_OK)
        return rc;
    wrapper->realMethods = wrapper->real()->pMethods;
    wrapper->base.pMethods = &kMethods;
    return SQLITE_OK;
}
int vfsDelete(sqlite3_vfs*, const char* name, int syncDir)
{
    return g_real->xDelete(g_real, name, syncDir);
}
int vfsAccess(sqlite3_vfs*, const char* name, int flags, int* out)
{
    return g_real->xAccess(g_real, name, flags, out);
}
int vfsFullPathname(sqlite3_vfs*, const char* name, int size, char* out)
{
    return g_real->xFullPathname(g_real, name, size, out);
}
int vfsRandomness(sqlite3_vfs*, int size, char* out)
{
    return g_real->xRandomness(g_real, size, out);
}
int vfsSleep(sqlite3_vfs*, int microseconds)
{
    return g_real->xSleep(g_real, microseconds);
}
int vfsCurrentTime(sqlite3_vfs*, double* out)
{
    return g_real->xCurrentTime(g_real, out);
}
int vfsGetLastError(sqlite3_vfs*, int size, char* out)
{
    return g_real->xGetLastError(g_real, size, out);
}
int vfsCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out)
{
    return g_real->xCurrentTimeInt64(g_real, out);
}
} // namespace

FaultyVfs::FaultyVfs()
{
    g_real = sqlite3_vfs_find(nullptr);
    std::memset(&g_faulty, 0, sizeof g_faulty);
    g_faulty.iVersion = 2;
    g_faulty.szOsFile = int(sizeof(FaultyFile)) + g_real->szOsFile;
    g_faulty.mxPathname = g_real->mxPathname;
    g_faulty.zName = "feylume-faulty";
    g_faulty.xOpen = vfsOpen;
    g_faulty.xDelete = vfsDelete;
    g_faulty.xAccess = vfsAccess;
    g_faulty.xFullPathname = vfsFullPathname;
    g_faulty.xRandomness = vfsRandomness;
    g_faulty.xSleep = vfsSleep;
    g_faulty.xCurrentTime = vfsCurrentTime;
    g_faulty.xGetLastError = vfsGetLastError;
    g_faulty.xCurrentTimeInt64 = vfsCurrentTimeInt64;
    sqlite3_vfs_register(&g_faulty, 1);
}

FaultyVfs::~FaultyVfs()
{
    g_fault = 0;
    g_refuseJournals = false;
    sqlite3_vfs_unregister(&g_faulty);
}

void FaultyVfs::failWrites(int resultCode)
{
    g_fault = resultCode;
}

void FaultyVfs::refuseJournals(bool refuse)
{
    g_refuseJournals = refuse;
}
