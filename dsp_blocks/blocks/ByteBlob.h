// An owned byte buffer that remembers how much it holds and how much it has room for,
// so that a block's blobs can be replaced over and over without reallocating.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

class ByteBlob {
public:
    ByteBlob() = default;
    // Allocates exactly size bytes and copies them.
    ByteBlob(const std::uint8_t* data, std::uint32_t size);
    explicit ByteBlob(std::span<const std::uint8_t> bytes);
    ByteBlob(const ByteBlob& other);
    ByteBlob& operator=(const ByteBlob& other);
    ByteBlob(ByteBlob&& other) noexcept;
    ByteBlob& operator=(ByteBlob&& other) noexcept;
    ~ByteBlob() = default;

    // Copies into the present buffer when it is big enough, otherwise replaces it by
    // one of exactly the new size. The source may lie inside this blob.
    void Assign(const std::uint8_t* data, std::uint32_t size);
    void Assign(std::span<const std::uint8_t> bytes);

    const std::uint8_t* Data() const { return data_.get(); }
    std::uint32_t Size() const { return size_; }
    std::uint32_t Capacity() const { return capacity_; }
    bool Empty() const { return size_ == 0; }
    std::span<const std::uint8_t> Bytes() const { return {data_.get(), size_}; }

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;
};
