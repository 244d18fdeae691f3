#pragma once

#include <QString>

#include <atomic>
#include <memory>

struct sqlite3_vfs;

// The library's bytes as they were just before the program first writes to it, copied while the
// program goes on writing. The program's connection writes through a file layer that, while a
// snapshot of its file is open, first saves each block it is about to overwrite into the copy;
// the copy's other blocks are filled in from the library in the background. A save therefore
// costs the old bytes of the blocks it writes, never a wait for the whole copy, and the copy is
// the library before the change however long it takes.
class PageSnapshot
{
public:
    // Nothing is copied or created until the first write to the library or fillIn().
    PageSnapshot(const QString& libraryPath, const QString& copyPath);
    // Stops saving blocks; a copy not finished is removed.
    ~PageSnapshot();
    PageSnapshot(const PageSnapshot&) = delete;
    PageSnapshot& operator=(const PageSnapshot&) = delete;

    const QString& copyPath() const { return m_copyPath; }
    // True once the first write reached the library, or the copy was begun.
    bool begun() const;
    // Copies the blocks not saved yet, a few at a time; throws FeylumeError when the copy cannot
    // be written or `cancel` is set.
    void fillIn(const std::atomic_bool* cancel = nullptr);
    // Ends the snapshot with a complete copy on disk. Throws FeylumeError when the copy failed,
    // or when another program wrote the library meanwhile (then the copy would mix two states).
    void finish();

    // The file layer the program's connection opens the library through: the layer in force
    // (the system's, or one a test put in place) with the snapshot's saving on top.
    static const char* fileLayerName();

    struct State;

private:
    QString m_copyPath;
    std::shared_ptr<State> m_state;
};
