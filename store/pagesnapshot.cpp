#include "pagesnapshot.h"

#include "base/feylumeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>
#include <QtEndian>

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace {
// Whole blocks are saved, so any page size (512 B to 64 KB) lines up with them.
constexpr qint64 kBlock = 4096;
// The copier holds the snapshot for this many blocks at a time: a save waits at most that long.
constexpr qint64 kBlocksPerStep = 64;
// 8 MB.
constexpr qint64 kStepsPerFlush = 32;
// The change counter in the file's header, raised by every write of the library.
constexpr qint64 kCounterOffset = 24;

QString canonical(const QString& path)
{
    const QFileInfo info(path);
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? info.absoluteFilePath() : resolved;
}
} // namespace

struct PageSnapshot::State
{
    QString libraryPath;
    QString copyPath;

    std::mutex mutex;
    bool begun = false;
    bool closed = false;
    QString failure;
    QFile library;
    QFile copy;
    qint64 size = 0;
    std::vector<bool> saved;
    // The change counter as the program last wrote it, or as it was when the snapshot began:
    // any other value means someone else wrote the library meanwhile.
    quint32 expectedCounter = 0;
    bool foreignWrite = false;

    void fail(const QString& why)
    {
        if (failure.isEmpty())
            failure = why;
        closed = true;
        copy.close();
    }

    quint32 counterInLibrary()
    {
        uchar bytes[4] = {};
        if (!library.seek(kCounterOffset) || library.read(reinterpret_cast<char*>(bytes), 4) != 4)
            return 0;
        return qFromBigEndian<quint32>(bytes);
    }

    // Called with the mutex held.
    bool begin()
    {
        if (closed)
            return false;
        if (begun)
            return true;
        begun = true;
        library.setFileName(libraryPath);
        copy.setFileName(copyPath);
        if (!library.open(QIODevice::ReadOnly)) {
            fail(QStringLiteral("无法读取脚本库文件"));
            return false;
        }
        if (!copy.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
            fail(QStringLiteral("无法建立文件 %1").arg(QDir::toNativeSeparators(copyPath)));
            return false;
        }
        size = library.size();
        saved.assign(size_t((size + kBlock - 1) / kBlock), false);
        expectedCounter = counterInLibrary();
        return true;
    }

    // Copies one block's present bytes, read by `read`, into the copy. Called with the mutex held.
    template<typename Read> void save(qint64 block, Read read)
    {
        if (closed || saved[size_t(block)])
            return;
        const qint64 offset = block * kBlock;
        const qint64 length = std::min(kBlock, size - offset);
        QByteArray bytes(length, Qt::Uninitialized);
        if (!read(bytes.data(), length, offset)) {
            fail(QStringLiteral("无法读取脚本库文件"));
            return;
        }
        if (!copy.seek(offset) || copy.write(bytes) != length) {
            fail(copy.errorString());
            return;
        }
        saved[size_t(block)] = true;
    }

    // The program is about to write these bytes of the library through `file`.
    void beforeWrite(sqlite3_file* file, const void* data, qint64 amount, qint64 offset)
    {
        const std::lock_guard lock(mutex);
        if (!begin())
            return;
        auto readOld = [file](char* into, qint64 length, qint64 from) {
            return file->pMethods->xRead(file, into, int(length), from) == SQLITE_OK;
        };
        for (qint64 block = offset / kBlock; block * kBlock < std::min(offset + amount, size); ++block)
            save(block, readOld);
        if (offset <= kCounterOffset && offset + amount >= kCounterOffset + 4) {
            if (counterInLibrary() != expectedCounter)
                foreignWrite = true;
            expectedCounter
                = qFromBigEndian<quint32>(static_cast<const uchar*>(data) + kCounterOffset - offset);
        }
    }

    void beforeTruncate(sqlite3_file* file, qint64 newSize)
    {
        const std::lock_guard lock(mutex);
        if (!begin())
            return;
        auto readOld = [file](char* into, qint64 length, qint64 from) {
            return file->pMethods->xRead(file, into, int(length), from) == SQLITE_OK;
        };
        for (qint64 block = newSize / kBlock; block * kBlock < size; ++block)
            save(block, readOld);
    }
};

namespace {
// The snapshots open now, by the library's resolved path.
std::mutex g_registryMutex;
std::atomic_int g_open = 0;
QHash<QString, std::weak_ptr<PageSnapshot::State>>& registry()
{
    static QHash<QString, std::weak_ptr<PageSnapshot::State>> snapshots;
    return snapshots;
}

std::shared_ptr<PageSnapshot::State> snapshotOf(const QString& path)
{
    if (g_open.load() == 0 || path.isEmpty())
        return {};
    const std::lock_guard lock(g_registryMutex);
    return registry().value(path).lock();
}

// One layer over each layer it was put on; it is registered under a name of its own and never
// made the default.
struct Layer
{
    sqlite3_vfs vfs;
    sqlite3_vfs* below;
    QByteArray name;
};

struct LayerFile
{
    sqlite3_file base;
    const sqlite3_io_methods* realMethods;
    // The library's resolved path for a main database file; null for every other file.
    QString* libraryPath;
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

LayerFile* layered(sqlite3_file* f)
{
    return reinterpret_cast<LayerFile*>(f);
}

Layer* layerOf(sqlite3_vfs* vfs)
{
    return static_cast<Layer*>(vfs->pAppData);
}

int fileClose(sqlite3_file* f)
{
    delete layered(f)->libraryPath;
    layered(f)->libraryPath = nullptr;
    return layered(f)->realMethods->xClose(layered(f)->real());
}
int fileRead(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset)
{
    return layered(f)->realMethods->xRead(layered(f)->real(), buffer, amount, offset);
}
int fileWrite(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset)
{
    if (layered(f)->libraryPath) {
        if (auto snapshot = snapshotOf(*layered(f)->libraryPath))
            snapshot->beforeWrite(layered(f)->real(), buffer, amount, offset);
    }
    return layered(f)->realMethods->xWrite(layered(f)->real(), buffer, amount, offset);
}
int fileTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    if (layered(f)->libraryPath) {
        if (auto snapshot = snapshotOf(*layered(f)->libraryPath))
            snapshot->beforeTruncate(layered(f)->real(), size);
    }
    return layered(f)->realMethods->xTruncate(layered(f)->real(), size);
}
int fileSync(sqlite3_file* f, int flags)
{
    return layered(f)->realMethods->xSync(layered(f)->real(), flags);
}
int fileSize(sqlite3_file* f, sqlite3_int64* size)
{
    return layered(f)->realMethods->xFileSize(layered(f)->real(), size);
}
int fileLock(sqlite3_file* f, int level)
{
    return layered(f)->realMethods->xLock(layered(f)->real(), level);
}
int fileUnlock(sqlite3_file* f, int level)
{
    return layered(f)->realMethods->xUnlock(layered(f)->real(), level);
}
int fileCheckReservedLock(sqlite3_file* f, int* out)
{
    return layered(f)->realMethods->xCheckReservedLock(layered(f)->real(), out);
}
int fileControl(sqlite3_file* f, int op, void* arg)
{
    return layered(f)->realMethods->xFileControl(layered(f)->real(), op, arg);
}
int fileSectorSize(sqlite3_file* f)
{
    return layered(f)->realMethods->xSectorSize(layered(f)->real());
}
int fileDeviceCharacteristics(sqlite3_file* f)
{
    return layered(f)->realMethods->xDeviceCharacteristics(layered(f)->real());
}
int fileShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out)
{
    return layered(f)->realMethods->xShmMap(layered(f)->real(), region, size, extend, out);
}
int fileShmLock(sqlite3_file* f, int offset, int n, int flags)
{
    return layered(f)->realMethods->xShmLock(layered(f)->real(), offset, n, flags);
}
void fileShmBarrier(sqlite3_file* f)
{
    layered(f)->realMethods->xShmBarrier(layered(f)->real());
}
int fileShmUnmap(sqlite3_file* f, int deleteFlag)
{
    return layered(f)->realMethods->xShmUnmap(layered(f)->real(), deleteFlag);
}
int fileFetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out)
{
    return layered(f)->realMethods->xFetch(layered(f)->real(), offset, amount, out);
}
int fileUnfetch(sqlite3_file* f, sqlite3_int64 offset, void* page)
{
    return layered(f)->realMethods->xUnfetch(layered(f)->real(), offset, page);
}

// The layer offers what the file below it offers, and no more.
const sqlite3_io_methods* methodsFor(int version)
{
    static const sqlite3_io_methods kMethods[3] = {
        {1, fileClose, fileRead, fileWrite, fileTruncate, fileSync, fileSize, fileLock, fileUnlock,
            fileCheckReservedLock, fileControl, fileSectorSize, fileDeviceCharacteristics, nullptr, nullptr,
            nullptr, nullptr, nullptr, nullptr},
        {2, fileClose, fileRead, fileWrite, fileTruncate, fileSync, fileSize, fileLock, fileUnlock,
            fileCheckReservedLock, fileControl, fileSectorSize, fileDeviceCharacteristics, fileShmMap,
            fileShmLock, fileShmBarrier, fileShmUnmap, nullptr, nullptr},
        {3, fileClose, fileRead, fileWrite, fileTruncate, fileSync, fileSize, fileLock, fileUnlock,
            fileCheckReservedLock, fileControl, fileSectorSize, fileDeviceCharacteristics, fileShmMap,
            fileShmLock, fileShmBarrier, fileShmUnmap, fileFetch, fileUnfetch},
    };
    return &kMethods[std::clamp(version, 1, 3) - 1];
}

int layerOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    sqlite3_vfs* below = layerOf(vfs)->below;
    LayerFile* wrapper = layered(file);
    std::memset(wrapper, 0, sizeof(LayerFile));
    const int rc = below->xOpen(below, name, wrapper->real(), flags, outFlags);
    if (rc != SQLITE_OK)
        return rc;
    wrapper->realMethods = wrapper->real()->pMethods;
    if (!wrapper->realMethods)
        return rc;
    if (name && (flags & SQLITE_OPEN_MAIN_DB))
        wrapper->libraryPath = new QString(canonical(QString::fromUtf8(name)));
    wrapper->base.pMethods = methodsFor(wrapper->realMethods->iVersion);
    return SQLITE_OK;
}
int layerDelete(sqlite3_vfs* vfs, const char* name, int syncDir)
{
    return layerOf(vfs)->below->xDelete(layerOf(vfs)->below, name, syncDir);
}
int layerAccess(sqlite3_vfs* vfs, const char* name, int flags, int* out)
{
    return layerOf(vfs)->below->xAccess(layerOf(vfs)->below, name, flags, out);
}
int layerFullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out)
{
    return layerOf(vfs)->below->xFullPathname(layerOf(vfs)->below, name, size, out);
}
int layerRandomness(sqlite3_vfs* vfs, int size, char* out)
{
    return layerOf(vfs)->below->xRandomness(layerOf(vfs)->below, size, out);
}
int layerSleep(sqlite3_vfs* vfs, int microseconds)
{
    return layerOf(vfs)->below->xSleep(layerOf(vfs)->below, microseconds);
}
int layerCurrentTime(sqlite3_vfs* vfs, double* out)
{
    return layerOf(vfs)->below->xCurrentTime(layerOf(vfs)->below, out);
}
int layerGetLastError(sqlite3_vfs* vfs, int size, char* out)
{
    return layerOf(vfs)->below->xGetLastError(layerOf(vfs)->below, size, out);
}
int layerCurrentTimeInt64(sqlite3_vfs* vfs, sqlite3_int64* out)
{
    sqlite3_vfs* below = layerOf(vfs)->below;
    if (below->iVersion >= 2 && below->xCurrentTimeInt64)
        return below->xCurrentTimeInt64(below, out);
    double days = 0;
    const int rc = below->xCurrentTime(below, &days);
    *out = sqlite3_int64(days * 86400000.0);
    return rc;
}

Layer* layerOver(sqlite3_vfs* below)
{
    // Layers live as long as the program: connections keep pointing at them.
    static std::map<sqlite3_vfs*, Layer*> layers;
    Layer*& layer = layers[below];
    if (layer)
        return layer;
    layer = new Layer {};
    layer->below = below;
    layer->name = QByteArrayLiteral("feylume-snapshot-") + QByteArray::number(qulonglong(layers.size()));
    sqlite3_vfs& vfs = layer->vfs;
    vfs.iVersion = 2;
    vfs.szOsFile = int(sizeof(LayerFile)) + below->szOsFile;
    vfs.mxPathname = below->mxPathname;
    vfs.zName = layer->name.constData();
    vfs.pAppData = layer;
    vfs.xOpen = layerOpen;
    vfs.xDelete = layerDelete;
    vfs.xAccess = layerAccess;
    vfs.xFullPathname = layerFullPathname;
    vfs.xRandomness = layerRandomness;
    vfs.xSleep = layerSleep;
    vfs.xCurrentTime = layerCurrentTime;
    vfs.xGetLastError = layerGetLastError;
    vfs.xCurrentTimeInt64 = layerCurrentTimeInt64;
    // Unregistering the default makes the one after it the default: that must stay what it was,
    // never a layer, which would then lie below itself.
    sqlite3_vfs* next = below->pNext;
    sqlite3_vfs_register(&vfs, 0);
    if (next)
        sqlite3_vfs_register(next, 0);
    return layer;
}
} // namespace

const char* PageSnapshot::fileLayerName()
{
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    return layerOver(sqlite3_vfs_find(nullptr))->name.constData();
}

PageSnapshot::PageSnapshot(const QString& libraryPath, const QString& copyPath)
    : m_copyPath(copyPath)
    , m_state(std::make_shared<State>())
{
    m_state->libraryPath = libraryPath;
    m_state->copyPath = copyPath;
    const std::lock_guard lock(g_registryMutex);
    registry().insert(canonical(libraryPath), m_state);
    ++g_open;
}

PageSnapshot::~PageSnapshot()
{
    {
        const std::lock_guard lock(g_registryMutex);
        registry().remove(canonical(m_state->libraryPath));
        --g_open;
    }
    const std::lock_guard lock(m_state->mutex);
    const bool complete = m_state->closed && m_state->failure.isEmpty();
    m_state->closed = true;
    m_state->copy.close();
    if (m_state->begun && !complete)
        QFile::remove(m_state->copyPath);
}

bool PageSnapshot::begun() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->begun;
}

void PageSnapshot::fillIn(const std::atomic_bool* cancel)
{
    State& state = *m_state;
    auto readPresent = [&state](char* into, qint64 length, qint64 from) {
        return state.library.seek(from) && state.library.read(into, length) == length;
    };
    // The copy's data goes to the disk as it is made: left to pile up, it would be written
    // during a save's own flush to the disk, and the save would wait for it.
    int flushHandle = -1;
    auto closeFlushHandle = qScopeGuard([&flushHandle] {
        if (flushHandle >= 0)
            ::close(flushHandle);
    });
    for (qint64 first = 0;; first += kBlocksPerStep) {
        if (cancel && cancel->load())
            throw FeylumeError(QStringLiteral("备份已取消"));
        {
            const std::lock_guard lock(state.mutex);
            if (!state.begin() || !state.failure.isEmpty())
                throw FeylumeError(state.failure);
            const qint64 blocks = qint64(state.saved.size());
            if (first >= blocks)
                return;
            for (qint64 block = first; block < std::min(first + kBlocksPerStep, blocks); ++block)
                state.save(block, readPresent);
            if ((first / kBlocksPerStep) % kStepsPerFlush != kStepsPerFlush - 1)
                continue;
            state.copy.flush();
            if (flushHandle < 0)
                flushHandle = ::dup(state.copy.handle());
        }
        if (flushHandle >= 0)
            ::fdatasync(flushHandle);
    }
}

void PageSnapshot::finish()
{
    State& state = *m_state;
    const std::lock_guard lock(state.mutex);
    if (!state.begin())
        throw FeylumeError(state.failure);
    if (state.foreignWrite || state.counterInLibrary() != state.expectedCounter)
        state.fail(QStringLiteral("备份期间脚本库被其他程序改动了"));
    else if (std::find(state.saved.begin(), state.saved.end(), false) != state.saved.end())
        state.fail(QStringLiteral("备份不完整"));
    else if (!state.copy.flush() || ::fsync(state.copy.handle()) != 0)
        state.fail(state.copy.errorString());
    if (!state.failure.isEmpty())
        throw FeylumeError(state.failure);
    state.closed = true;
    state.copy.close();
}
