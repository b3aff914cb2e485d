// Growable in-memory byte stream.
#include "platform/base/ByteStreamMemory.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace platform {

MemoryStream* MemoryStream::Create() noexcept
{
    MemoryStream* stream = new (std::nothrow) MemoryStream();
    if (stream != nullptr) {
        stream->AddRef();
    }
    return stream;
}

MemoryStream* MemoryStream::Create(const void* data, std::size_t n) noexcept
{
    if (n > kMaxSize || (data == nullptr && n != 0)) {
        return nullptr;
    }
    MemoryStream* stream = Create();
    if (stream == nullptr) {
        return nullptr;
    }
    try {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        stream->bytes_.assign(bytes, bytes + n);
    } catch (const std::bad_alloc&) {
        stream->Release();
        return nullptr;
    }
    return stream;
}

std::uint32_t MemoryStream::AddRef()
{
    return refCount_.fetch_add(1, std::memory_order_relaxed) + 1;
}

std::uint32_t MemoryStream::Release()
{
    const std::uint32_t count = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (count == 0) {
        delete this;
    }
    return count;
}

StreamResult MemoryStream::Read(void* dst, std::uint32_t n, std::uint32_t* read)
{
    if (dst == nullptr && n != 0) {
        return E_INVALIDARG;
    }
    std::uint32_t count = 0;
    if (position_ < bytes_.size()) {
        count = static_cast<std::uint32_t>(std::min<std::uint64_t>(n, bytes_.size() - position_));
        std::memcpy(dst, bytes_.data() + position_, count);
        position_ += count;
    }
    if (read != nullptr) {
        *read = count;
    }
    return S_OK;
}

StreamResult MemoryStream::Write(const void* src, std::uint32_t n, std::uint32_t* written)
{
    if (written != nullptr) {
        *written = 0;
    }
    if (src == nullptr && n != 0) {
        return E_INVALIDARG;
    }
    if (n == 0) {
        return S_OK;
    }
    const std::uint64_t end = std::min<std::uint64_t>(position_ + n, kMaxSize);
    if (end <= position_) {
        return STG_E_MEDIUMFULL;
    }
    const auto count = static_cast<std::uint32_t>(end - position_);
    try {
        if (bytes_.size() < end) {
            bytes_.resize(static_cast<std::size_t>(end), 0);
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    std::memcpy(bytes_.data() + position_, src, count);
    position_ = end;
    if (written != nullptr) {
        *written = count;
    }
    return S_OK;
}

StreamResult MemoryStream::Seek(std::int64_t offset, SeekOrigin origin, std::uint64_t* newPosition)
{
    std::int64_t base = 0;
    switch (origin) {
    case SeekOrigin::Begin:
        base = 0;
        break;
    case SeekOrigin::Current:
        base = static_cast<std::int64_t>(position_);
        break;
    case SeekOrigin::End:
        base = static_cast<std::int64_t>(bytes_.size());
        break;
    default:
        return E_INVALIDARG;
    }
    // Both terms lie within +-2^63 only when the offset is bounded first.
    constexpr auto kMax = static_cast<std::int64_t>(kMaxSize);
    if (offset < -kMax || offset > kMax) {
        return E_INVALIDARG;
    }
    const std::int64_t target = base + offset;
    if (target < 0 || target > kMax) {
        return E_INVALIDARG;
    }
    position_ = static_cast<std::uint64_t>(target);
    if (newPosition != nullptr) {
        *newPosition = position_;
    }
    return S_OK;
}

StreamResult MemoryStream::Stat(std::uint64_t* size)
{
    if (size == nullptr) {
        return E_INVALIDARG;
    }
    *size = bytes_.size();
    return S_OK;
}

}  // namespace platform
