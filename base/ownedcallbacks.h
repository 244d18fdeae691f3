#pragma once

#include <functional>
#include <utility>
#include <vector>

// Callbacks registered by owners that may go away first: each owner takes its own back out.
class OwnedCallbacks
{
public:
    void add(const void* owner, std::function<void()> callback)
    {
        m_entries.emplace_back(owner, std::move(callback));
    }
    void remove(const void* owner)
    {
        std::erase_if(m_entries, [owner](const auto& entry) { return entry.first == owner; });
    }
    // A callback may add or remove others; the ones registered when the call began all run.
    void runAll() const
    {
        const auto entries = m_entries;
        for (const auto& entry : entries)
            entry.second();
    }

private:
    std::vector<std::pair<const void*, std::function<void()>>> m_entries;
};
