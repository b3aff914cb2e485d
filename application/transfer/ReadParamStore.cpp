// The download's store.
#include "application/transfer/ReadParamStore.h"

bool ReadParamStore::StoreBlock(std::uint32_t type, std::uint32_t channel, const std::uint8_t* data,
                                std::uint32_t size)
{
    ReadParamEntry entry;
    if (data != nullptr && size > 0) {
        entry.data.assign(data, data + size);
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) {
        return false;
    }
    blocks_[Key{type, channel}] = std::move(entry);
    return true;
}

void ReadParamStore::Close()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
}

const ReadParamEntry* ReadParamStore::Find(std::uint32_t type, std::uint32_t channel) const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!closed_) {
        return nullptr;
    }
    const auto found = blocks_.find(Key{type, channel});
    return found != blocks_.end() ? &found->second : nullptr;
}

std::size_t ReadParamStore::BlockCount() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return blocks_.size();
}

const ReadParamEntry* FindReadParamBlock(const ReadParamStore& store, std::uint32_t type, std::uint32_t channel)
{
    return store.Find(type, channel);
}
