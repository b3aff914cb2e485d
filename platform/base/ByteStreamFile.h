// A byte stream over a file: the project and settings files are read and written through
// it. Saving safely (temporary file, sync, rename) is built on top by its callers.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>

#include "platform/base/ByteStream.h"

namespace platform {

enum class FileMode {
    Read,       // an existing file, read only
    ReadWrite,  // read and write; created when missing, kept as it is otherwise
    Create,     // read and write; created when missing, emptied otherwise
    CreateNew,  // read and write; fails when the file already exists (temporary files)
};

class FileStream final : public ByteStream {
public:
    // Opens `path` and hands out a stream holding one reference through `out`, which is
    // left untouched on failure. Results: S_OK; STG_E_FILENOTFOUND when a file to read is
    // missing; E_OUTOFMEMORY; E_FAIL for any other refusal (see the errno in `error`,
    // which may be null).
    static StreamResult Open(const std::filesystem::path& path, FileMode mode, FileStream** out,
                             int* error = nullptr) noexcept;

    std::uint32_t AddRef() override;
    // Closes the file and deletes the stream when the count reaches 0.
    std::uint32_t Release() override;

    // At the end of the file reports fewer bytes (possibly 0) with S_OK.
    StreamResult Read(void* dst, std::uint32_t n, std::uint32_t* read) override;
    // All n bytes or a failure: STG_E_MEDIUMFULL when the disk or a quota is full, E_FAIL otherwise.
    StreamResult Write(const void* src, std::uint32_t n, std::uint32_t* written) override;
    // Any origin; a target before 0 gives E_INVALIDARG. Past the end is allowed.
    StreamResult Seek(std::int64_t offset, SeekOrigin origin, std::uint64_t* newPosition) override;
    StreamResult Stat(std::uint64_t* size) override;

    // Forces written data to the disk, so a rename that follows cannot expose a short file.
    StreamResult Sync();
    // Closes the file now and reports what the close reported (a deferred write error shows
    // up here). Every later call on the stream fails with E_FAIL.
    StreamResult Close();

    // errno of the last failed call, 0 when none failed.
    int LastError() const noexcept { return lastError_; }
    const std::filesystem::path& Path() const noexcept { return path_; }

private:
    FileStream(std::filesystem::path path, int fd) : path_(std::move(path)), fd_(fd) {}
    ~FileStream();

    StreamResult FailWith(int error) noexcept;

    std::atomic<std::uint32_t> refCount_{0};
    // The descriptor and error belong to one user at a time; only the count is shared.
    std::filesystem::path path_;
    int fd_ = -1;
    int lastError_ = 0;
};

}  // namespace platform
