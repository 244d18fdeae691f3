#pragma once

// A file layer for the library that can be told to fail: while it is in force every connection
// opened afterwards goes through it, and once a fault is set, writes to the library or its
// journal fail with that result code, as a full disk or a folder that cannot be written would.
class FaultyVfs
{
public:
    FaultyVfs();
    ~FaultyVfs();
    FaultyVfs(const FaultyVfs&) = delete;
    FaultyVfs& operator=(const FaultyVfs&) = delete;

    // 0 lets everything through again.
    void failWrites(int resultCode);
    // As a folder that cannot be written: no journal can be created beside the library.
    void refuseJournals(bool refuse);
};
