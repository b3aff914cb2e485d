// File byte stream over POSIX descriptors.
#include "platform/base/ByteStreamFile.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

int OpenFlags(FileMode mode)
{
    switch (mode) {
    case FileMode::Read:
        return O_RDONLY;
    case FileMode::ReadWrite:
        return O_RDWR | O_CREAT;
    case FileMode::Create:
        return O_RDWR | O_CREAT | O_TRUNC;
    case FileMode::CreateNew:
        return O_RDWR | O_CREAT | O_EXCL;
    }
    return -1;
}

bool IsMediumFull(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EFBIG;
}

}  // namespace

StreamResult FileStream::Open(const std::filesystem::path& path, FileMode mode, FileStream** out,
                              int* error) noexcept
{
    if (error != nullptr) {
        *error = 0;
    }
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    const int flags = OpenFlags(mode);
    if (flags == -1) {
        return E_INVALIDARG;
    }
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int openError = errno;
        if (error != nullptr) {
            *error = openError;
        }
        return (openError == ENOENT && mode == FileMode::Read) ? STG_E_FILENOTFOUND : E_FAIL;
    }
    FileStream* stream = nullptr;
    try {
        stream = new FileStream(path, fd);
    } catch (const std::bad_alloc&) {
        ::close(fd);
        return E_OUTOFMEMORY;
    }
    stream->AddRef();
    *out = stream;
    return S_OK;
}

FileStream::~FileStream()
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::uint32_t FileStream::AddRef()
{
    return refCount_.fetch_add(1, std::memory_order_relaxed) + 1;
}

std::uint32_t FileStream::Release()
{
    const std::uint32_t count = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (count == 0) {
        delete this;
    }
    return count;
}

StreamResult FileStream::FailWith(int error) noexcept
{
    lastError_ = error;
    return IsMediumFull(error) ? STG_E_MEDIUMFULL : E_FAIL;
}

StreamResult FileStream::Read(void* dst, std::uint32_t n, std::uint32_t* read)
{
    if (read != nullptr) {
        *read = 0;
    }
    if (dst == nullptr && n != 0) {
        return E_INVALIDARG;
    }
    if (fd_ < 0) {
        return FailWith(EBADF);
    }
    auto* bytes = static_cast<std::uint8_t*>(dst);
    std::uint32_t total = 0;
    while (total < n) {
        const ssize_t got = ::read(fd_, bytes + total, n - total);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return FailWith(errno);
        }
        if (got == 0) {
            break;
        }
        total += static_cast<std::uint32_t>(got);
    }
    if (read != nullptr) {
        *read = total;
    }
    return S_OK;
}

StreamResult FileStream::Write(const void* src, std::uint32_t n, std::uint32_t* written)
{
    if (written != nullptr) {
        *written = 0;
    }
    if (src == nullptr && n != 0) {
        return E_INVALIDARG;
    }
    if (fd_ < 0) {
        return FailWith(EBADF);
    }
    const auto* bytes = static_cast<const std::uint8_t*>(src);
    std::uint32_t total = 0;
    while (total < n) {
        const ssize_t put = ::write(fd_, bytes + total, n - total);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (written != nullptr) {
                *written = total;
            }
            return FailWith(errno);
        }
        total += static_cast<std::uint32_t>(put);
    }
    if (written != nullptr) {
        *written = total;
    }
    return S_OK;
}

StreamResult FileStream::Seek(std::int64_t offset, SeekOrigin origin, std::uint64_t* newPosition)
{
    int whence = SEEK_SET;
    switch (origin) {
    case SeekOrigin::Begin:
        whence = SEEK_SET;
        break;
    case SeekOrigin::Current:
        whence = SEEK_CUR;
        break;
    case SeekOrigin::End:
        whence = SEEK_END;
        break;
    default:
        return E_INVALIDARG;
    }
    if (fd_ < 0) {
        return FailWith(EBADF);
    }
    const off_t position = ::lseek(fd_, static_cast<off_t>(offset), whence);
    if (position < 0) {
        const int error = errno;
        lastError_ = error;
        return error == EINVAL ? E_INVALIDARG : E_FAIL;
    }
    if (newPosition != nullptr) {
        *newPosition = static_cast<std::uint64_t>(position);
    }
    return S_OK;
}

StreamResult FileStream::Stat(std::uint64_t* size)
{
    if (size == nullptr) {
        return E_INVALIDARG;
    }
    if (fd_ < 0) {
        return FailWith(EBADF);
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        return FailWith(errno);
    }
    *size = static_cast<std::uint64_t>(info.st_size);
    return S_OK;
}

StreamResult FileStream::Sync()
{
    if (fd_ < 0) {
        return FailWith(EBADF);
    }
    if (::fsync(fd_) != 0) {
        return FailWith(errno);
    }
    return S_OK;
}

StreamResult FileStream::Close()
{
    if (fd_ < 0) {
        return FailWith(EBADF);
    }
    const int fd = std::exchange(fd_, -1);
    // The descriptor is gone even when close reports an error; retrying could close another.
    if (::close(fd) != 0 && errno != EINTR) {
        return FailWith(errno);
    }
    return S_OK;
}

}  // namespace platform
