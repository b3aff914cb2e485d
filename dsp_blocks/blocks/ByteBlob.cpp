// Owned byte buffer with the grow-only reuse rule of block blobs.
#include "dsp_blocks/blocks/ByteBlob.h"

#include <cstring>
#include <utility>

ByteBlob::ByteBlob(const std::uint8_t* data, std::uint32_t size)
{
    Assign(data, size);
}

ByteBlob::ByteBlob(std::span<const std::uint8_t> bytes)
{
    Assign(bytes);
}

ByteBlob::ByteBlob(const ByteBlob& other)
{
    Assign(other.Data(), other.Size());
}

ByteBlob& ByteBlob::operator=(const ByteBlob& other)
{
    if (this != &other) {
        Assign(other.Data(), other.Size());
    }
    return *this;
}

ByteBlob::ByteBlob(ByteBlob&& other) noexcept
    : data_(std::move(other.data_)), size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0))
{
}

ByteBlob& ByteBlob::operator=(ByteBlob&& other) noexcept
{
    if (this != &other) {
        data_ = std::move(other.data_);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

void ByteBlob::Assign(const std::uint8_t* data, std::uint32_t size)
{
    if (data == nullptr || size == 0) {
        size_ = 0;
        return;
    }
    if (data_ && size <= capacity_) {
        std::memmove(data_.get(), data, size);
        size_ = size;
        return;
    }
    // Allocate before releasing, so a source inside the old buffer is still readable.
    std::unique_ptr<std::uint8_t[]> fresh(new std::uint8_t[size]);
    std::memcpy(fresh.get(), data, size);
    data_ = std::move(fresh);
    size_ = size;
    capacity_ = size;
}

void ByteBlob::Assign(std::span<const std::uint8_t> bytes)
{
    Assign(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}
