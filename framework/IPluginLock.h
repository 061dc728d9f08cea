#pragma once

#include <mutex>

/// The plug-in's re-entrant lock: one per plug-in object, serialising every entry from the
/// host and the editor. The same thread may take it again while holding it (a chunk load holds
/// it in the adapter, then in RestoreState, then in UnserializeParams).
/// Meets the standard Lockable requirements, so std::unique_lock and friends work too.
class IPluginLock
{
public:
    /// Scoped holder: takes the lock on construction, releases it on destruction.
    using Guard = std::lock_guard<IPluginLock>;

    IPluginLock() = default;
    IPluginLock(const IPluginLock&) = delete;
    IPluginLock& operator=(const IPluginLock&) = delete;

    void lock() { mutex.lock(); }
    void unlock() { mutex.unlock(); }
    bool try_lock() { return mutex.try_lock(); }

private:
    std::recursive_mutex mutex;
};
