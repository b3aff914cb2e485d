// The two streams over caller memory through which block parameter blobs are encoded and
// decoded: one writes into a fixed buffer, one reads a memory block. Both live on the
// caller's stack (Release never deletes) and must outlive every reader or writer on them.
//
//     dsp::InplaceWriteStream out(buffer, sizeof buffer);   // write side, capacity fixed
//     dsp::InplaceReadStream in(blob.data(), blobSize);     // read side
#pragma once

#include <cstdint>

#include "device_manager/core/RefCounting.h"
#include "platform/base/ByteStream.h"

namespace dsp {

// Writes into a caller's buffer of fixed capacity; the blob is the first Size() bytes.
class InplaceMemoryStreamW_ : public CobaltDeviceManager::RCObjectRootEx<CobaltDeviceManager::RCObjectMultiThreadModel>,
                              public CobaltDeviceManager::IUnknown,
                              public platform::ByteStream {
public:
    InplaceMemoryStreamW_(void* buffer, std::uint32_t capacity) noexcept
        : buffer_(static_cast<std::uint8_t*>(buffer)), capacity_(buffer != nullptr ? capacity : 0)
    {
    }

    // Copies what fits below the capacity and reports that count with S_OK, even when it is
    // short; STG_E_MEDIUMFULL only when nothing fitted and n > 0.
    platform::StreamResult Write(const void* src, std::uint32_t n, std::uint32_t* written) override;
    // From the start: offset within 0..Size() (else E_INVALIDARG). From the current position:
    // offset 0 only (else E_NOTIMPL). From the end: E_NOTIMPL. Other origins: E_INVALIDARG.
    platform::StreamResult Seek(std::int64_t offset, platform::SeekOrigin origin,
                                std::uint64_t* newPosition) override;
    // The highest position written.
    platform::StreamResult Stat(std::uint64_t* size) override;
    // Write-only stream: E_NOTIMPL.
    platform::StreamResult Read(void* dst, std::uint32_t n, std::uint32_t* read) override;

    std::uint32_t Size() const noexcept { return size_; }
    std::uint32_t Capacity() const noexcept { return capacity_; }

protected:
    ~InplaceMemoryStreamW_() = default;

private:
    std::uint8_t* buffer_;
    std::uint32_t capacity_;
    std::uint32_t size_ = 0;
    std::uint32_t position_ = 0;
};

// Reads a caller's memory block of the given size.
class InplaceMemoryStreamX : public CobaltDeviceManager::RCObjectRootEx<CobaltDeviceManager::RCObjectMultiThreadModel>,
                             public CobaltDeviceManager::IUnknown,
                             public platform::ByteStream {
public:
    InplaceMemoryStreamX(const void* data, std::uint32_t size) noexcept
        : data_(static_cast<const std::uint8_t*>(data)), size_(data != nullptr ? size : 0)
    {
    }

    // Copies min(n, bytes left); STG_E_READFAULT when that is 0.
    platform::StreamResult Read(void* dst, std::uint32_t n, std::uint32_t* read) override;
    // The same rules as InplaceMemoryStreamW_::Seek, against the block's size.
    platform::StreamResult Seek(std::int64_t offset, platform::SeekOrigin origin,
                                std::uint64_t* newPosition) override;
    // Read-only stream that does not report its size: E_NOTIMPL for both.
    platform::StreamResult Write(const void* src, std::uint32_t n, std::uint32_t* written) override;
    platform::StreamResult Stat(std::uint64_t* size) override;

    std::uint32_t Position() const noexcept { return position_; }

protected:
    ~InplaceMemoryStreamX() = default;

private:
    const std::uint8_t* data_;
    std::uint32_t size_;
    std::uint32_t position_ = 0;
};

// The concrete stack objects.
using InplaceWriteStream = CobaltDeviceManager::RCObject2WithoutDeleting<InplaceMemoryStreamW_>;
using InplaceReadStream = CobaltDeviceManager::RCObject2WithoutDeleting<InplaceMemoryStreamX>;

}  // namespace dsp
