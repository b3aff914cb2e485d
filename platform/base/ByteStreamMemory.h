// A growable in-memory byte stream: the whole contents in one vector, readable back after
// writing (tests, clipboard payloads, building a file image before it is saved).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/base/ByteStream.h"

namespace platform {

class MemoryStream final : public ByteStream {
public:
    // Positions and sizes stay within 32 bits so the chunk codec's offsets always fit.
    static constexpr std::uint64_t kMaxSize = 0xFFFFFFFFu;

    // An empty stream holding one reference for the caller; null when memory is short.
    static MemoryStream* Create() noexcept;
    // A stream holding a copy of n bytes at data, positioned at 0; null when memory is
    // short or n exceeds kMaxSize.
    static MemoryStream* Create(const void* data, std::size_t n) noexcept;

    std::uint32_t AddRef() override;
    // Deletes the stream when the count reaches 0.
    std::uint32_t Release() override;

    // Reads what lies between the position and the end; at or past the end 0 bytes with S_OK.
    StreamResult Read(void* dst, std::uint32_t n, std::uint32_t* read) override;
    // Grows the contents as needed; a gap left by seeking past the end reads as zeros.
    // Bytes beyond kMaxSize are not taken: a partial count, or STG_E_MEDIUMFULL when none
    // fit. E_OUTOFMEMORY when the contents cannot grow.
    StreamResult Write(const void* src, std::uint32_t n, std::uint32_t* written) override;
    // Any origin; the target must lie in 0..kMaxSize (else E_INVALIDARG). Past the end is allowed.
    StreamResult Seek(std::int64_t offset, SeekOrigin origin, std::uint64_t* newPosition) override;
    StreamResult Stat(std::uint64_t* size) override;

    // The contents and the position; valid while the caller holds a reference.
    const std::vector<std::uint8_t>& Bytes() const noexcept { return bytes_; }
    std::uint64_t Position() const noexcept { return position_; }

private:
    MemoryStream() = default;
    ~MemoryStream() = default;

    std::atomic<std::uint32_t> refCount_{0};
    // The contents and position belong to one user at a time; only the count is shared.
    std::vector<std::uint8_t> bytes_;
    std::uint64_t position_ = 0;
};

}  // namespace platform
