// The blocks a download read from the amplifier, by (block type, channel), and the
// amplifier's mute-input polarity. The sink fills it on the amplifier's worker thread while
// the progress dialog runs; the caller reads it once the dialog has ended. Both hold it
// through a shared pointer, and the dialog closes it when it ends: a block that a worker
// delivers after that (a cancelled session still finishing) is dropped, never written into
// a store the caller has already read or freed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

struct ReadParamEntry {
    std::vector<std::uint8_t> data;  // the block's bytes as delivered
};

class ReadParamStore {
public:
    // Keys order by type first, then by channel.
    using Key = std::pair<std::uint32_t, std::uint32_t>;

    ReadParamStore() = default;
    ReadParamStore(const ReadParamStore&) = delete;
    ReadParamStore& operator=(const ReadParamStore&) = delete;

    // Any thread: copies `size` bytes under (type, channel), replacing an earlier delivery of
    // the same key. False, and nothing stored, once the store is closed.
    bool StoreBlock(std::uint32_t type, std::uint32_t channel, const std::uint8_t* data, std::uint32_t size);

    // From now on deliveries are dropped, so the entries stay as they are. Idempotent.
    void Close();

    // The entry of (type, channel), or null when none was delivered. Entries are read only
    // from a closed store (RunDownloadProgress closes it before it returns): null while open,
    // since a delivery could still replace the entry under the caller.
    const ReadParamEntry* Find(std::uint32_t type, std::uint32_t channel) const;
    std::size_t BlockCount() const;

    // The amplifier's mute-input polarity as the dialog read it at the end (1 normally open).
    // UI thread only.
    std::uint8_t NormallyOpen() const { return normallyOpen_; }
    void SetNormallyOpen(bool normallyOpen) { normallyOpen_ = normallyOpen ? 1 : 0; }

private:
    mutable std::mutex mutex_;
    bool closed_ = false;                     // guarded by mutex_
    std::map<Key, ReadParamEntry> blocks_;    // guarded by mutex_; unchanged once closed_
    std::uint8_t normallyOpen_ = 0;           // UI thread only
};

// The entry of (type, channel) in a closed store; null when that block was not delivered.
const ReadParamEntry* FindReadParamBlock(const ReadParamStore& store, std::uint32_t type, std::uint32_t channel);
