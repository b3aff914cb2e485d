// Streams over caller memory for block parameter blobs.
#include "dsp_blocks/chunks/InplaceMemoryStream.h"

#include <algorithm>
#include <cstring>

namespace dsp {

using platform::SeekOrigin;
using platform::StreamResult;

namespace {

// The seek rules both streams share: absolute positions up to `limit`, and a query of the
// current position; anything else is not supported.
StreamResult SeekWithin(std::uint32_t limit, std::uint32_t& position, std::int64_t offset, SeekOrigin origin,
                        std::uint64_t* newPosition)
{
    switch (origin) {
    case SeekOrigin::Begin: {
        const auto target = static_cast<std::uint64_t>(offset);
        if ((target >> 32) != 0 || static_cast<std::uint32_t>(target) > limit) {
            return platform::E_INVALIDARG;
        }
        position = static_cast<std::uint32_t>(target);
        break;
    }
    case SeekOrigin::Current:
        if (offset != 0) {
            return platform::E_NOTIMPL;
        }
        break;
    case SeekOrigin::End:
        return platform::E_NOTIMPL;
    default:
        return platform::E_INVALIDARG;
    }
    if (newPosition != nullptr) {
        *newPosition = position;
    }
    return platform::S_OK;
}

}  // namespace

StreamResult InplaceMemoryStreamW_::Write(const void* src, std::uint32_t n, std::uint32_t* written)
{
    // Positions never pass the capacity (seeks stop at the size), but the sum may pass 32 bits.
    const std::uint64_t end = std::min<std::uint64_t>(std::uint64_t{position_} + n, capacity_);
    const std::uint64_t begin = std::min<std::uint64_t>(position_, capacity_);
    const auto count = static_cast<std::uint32_t>(end - begin);
    if (count != 0) {
        if (src == nullptr) {
            return platform::E_INVALIDARG;
        }
        std::memcpy(buffer_ + position_, src, count);
        position_ += count;
        size_ = std::max(size_, position_);
    }
    if (written != nullptr) {
        *written = count;
    }
    return (count == 0 && n > 0) ? platform::STG_E_MEDIUMFULL : platform::S_OK;
}

StreamResult InplaceMemoryStreamW_::Seek(std::int64_t offset, SeekOrigin origin, std::uint64_t* newPosition)
{
    return SeekWithin(size_, position_, offset, origin, newPosition);
}

StreamResult InplaceMemoryStreamW_::Stat(std::uint64_t* size)
{
    if (size == nullptr) {
        return platform::E_INVALIDARG;
    }
    *size = size_;
    return platform::S_OK;
}

StreamResult InplaceMemoryStreamW_::Read(void*, std::uint32_t, std::uint32_t*)
{
    return platform::E_NOTIMPL;
}

StreamResult InplaceMemoryStreamX::Read(void* dst, std::uint32_t n, std::uint32_t* read)
{
    const std::uint32_t count = std::min(n, size_ - position_);
    if (read != nullptr) {
        *read = 0;
    }
    if (count == 0) {
        return platform::STG_E_READFAULT;
    }
    if (dst == nullptr) {
        return platform::E_INVALIDARG;
    }
    std::memcpy(dst, data_ + position_, count);
    position_ += count;
    if (read != nullptr) {
        *read = count;
    }
    return platform::S_OK;
}

StreamResult InplaceMemoryStreamX::Seek(std::int64_t offset, SeekOrigin origin, std::uint64_t* newPosition)
{
    return SeekWithin(size_, position_, offset, origin, newPosition);
}

StreamResult InplaceMemoryStreamX::Write(const void*, std::uint32_t, std::uint32_t*)
{
    return platform::E_NOTIMPL;
}

StreamResult InplaceMemoryStreamX::Stat(std::uint64_t*)
{
    return platform::E_NOTIMPL;
}

}  // namespace dsp
