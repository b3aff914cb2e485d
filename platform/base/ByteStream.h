// Byte streams in the manner of COM's IStream: the chunk codec, the project file and the
// settings file read and write through this one interface, whether the bytes live in
// memory or in a file. Results are 32-bit codes (negative = failure) with the values
// the stream users were built around.
#pragma once

#include <cstdint>

namespace platform {

// 32-bit result code; bit 31 set means failure.
using StreamResult = std::int32_t;

inline constexpr StreamResult S_OK = 0;
inline constexpr StreamResult E_NOTIMPL = static_cast<StreamResult>(0x80004001u);
inline constexpr StreamResult E_NOINTERFACE = static_cast<StreamResult>(0x80004002u);
// An operating-system file call failed; FileStream::LastError() holds its errno.
inline constexpr StreamResult E_FAIL = static_cast<StreamResult>(0x80004005u);
inline constexpr StreamResult E_OUTOFMEMORY = static_cast<StreamResult>(0x8007000Eu);
inline constexpr StreamResult E_INVALIDARG = static_cast<StreamResult>(0x80070057u);
// A file named for reading does not exist.
inline constexpr StreamResult STG_E_FILENOTFOUND = static_cast<StreamResult>(0x80030002u);
// Nothing more fits: a fixed buffer is full, or the disk is.
inline constexpr StreamResult STG_E_MEDIUMFULL = static_cast<StreamResult>(0x8003001Du);
// A read found no byte at the position (fixed memory streams).
inline constexpr StreamResult STG_E_READFAULT = static_cast<StreamResult>(0x8003001Eu);

constexpr bool Succeeded(StreamResult result) noexcept { return result >= 0; }
constexpr bool Failed(StreamResult result) noexcept { return result < 0; }

// Values are those of STREAM_SEEK_SET/CUR/END; a stream refuses any other value with
// E_INVALIDARG (callers may pass one on purpose, so this is not a closed enum).
enum class SeekOrigin : std::uint32_t {
    Begin = 0,
    Current = 1,
    End = 2,
};

class ByteStream {
public:
    // Both return the new reference count. Objects are created holding one reference for
    // their creator; who deletes at zero depends on the implementation.
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

    // Reads up to n bytes into dst. Reaching the end is not an error for growable and file
    // streams: they report fewer bytes (possibly 0) with S_OK. `read` may be null.
    virtual StreamResult Read(void* dst, std::uint32_t n, std::uint32_t* read) = 0;
    // Writes up to n bytes at the position and advances it. A stream that can take only
    // part reports the count it took; `written` may be null.
    virtual StreamResult Write(const void* src, std::uint32_t n, std::uint32_t* written) = 0;
    // Moves the position; `newPosition` (may be null) receives it on success. On failure
    // the position is unchanged.
    virtual StreamResult Seek(std::int64_t offset, SeekOrigin origin, std::uint64_t* newPosition) = 0;
    // Reports the stream's size in bytes.
    virtual StreamResult Stat(std::uint64_t* size) = 0;

protected:
    ByteStream() = default;
    ByteStream(const ByteStream&) = delete;
    ByteStream& operator=(const ByteStream&) = delete;
    // Objects go away through their own Release, never through this interface.
    ~ByteStream() = default;
};

// Holds one reference to a stream for the lifetime of a scope or an object.
class ByteStreamRef {
public:
    ByteStreamRef() noexcept = default;
    // Takes a new reference to `stream` (may be null).
    explicit ByteStreamRef(ByteStream* stream) noexcept : stream_(stream)
    {
        if (stream_ != nullptr) {
            stream_->AddRef();
        }
    }
    ByteStreamRef(const ByteStreamRef& other) noexcept : ByteStreamRef(other.stream_) {}
    ByteStreamRef(ByteStreamRef&& other) noexcept : stream_(other.stream_) { other.stream_ = nullptr; }
    ByteStreamRef& operator=(ByteStreamRef other) noexcept
    {
        ByteStream* old = stream_;
        stream_ = other.stream_;
        other.stream_ = old;
        return *this;
    }
    ~ByteStreamRef() { Reset(); }

    // Adopts a reference the caller already owns (as handed out by a Create function).
    static ByteStreamRef Adopt(ByteStream* stream) noexcept
    {
        ByteStreamRef ref;
        ref.stream_ = stream;
        return ref;
    }

    void Reset() noexcept
    {
        if (stream_ != nullptr) {
            ByteStream* old = stream_;
            stream_ = nullptr;
            old->Release();
        }
    }

    ByteStream* Get() const noexcept { return stream_; }
    ByteStream* operator->() const noexcept { return stream_; }
    explicit operator bool() const noexcept { return stream_ != nullptr; }

private:
    ByteStream* stream_ = nullptr;
};

}  // namespace platform
