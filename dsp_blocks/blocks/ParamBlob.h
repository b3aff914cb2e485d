// Block parameter blobs in the tagged-chunk encoding (u16 length, u8 tag): a writer that
// encodes into a fixed-size buffer and a reader that walks a blob's chunk lists. Both sit
// on the chunk codec and its in-memory streams.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ParamBlobWriter {
public:
    // capacity: the controller's limit for its blob, terminator included.
    explicit ParamBlobWriter(std::uint32_t capacity);
    ~ParamBlobWriter();
    ParamBlobWriter(const ParamBlobWriter&) = delete;
    ParamBlobWriter& operator=(const ParamBlobWriter&) = delete;

    // Opens a chunk inside the innermost open chunk, or at top level.
    bool Open(std::uint8_t tag);
    // Closes the innermost open chunk, patching its length.
    bool Close();
    bool WriteU8(std::uint8_t value);
    bool WriteU32(std::uint32_t value);
    bool WriteF32(float value);
    bool WriteBytes(const std::uint8_t* data, std::uint32_t size);

    // Appends the terminator and gives the blob; nullopt when any step failed (a full
    // buffer included) or a chunk is still open.
    std::optional<std::vector<std::uint8_t>> Finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// One chunk being read: its tag and the primitives and nested chunks of its payload.
class ParamChunk {
public:
    virtual std::uint8_t Tag() const = 0;
    // Each read fails when fewer bytes remain in the payload than the value needs.
    virtual bool ReadU8(std::uint8_t& out) = 0;
    virtual bool ReadU32(std::uint32_t& out) = 0;
    virtual bool ReadF32(float& out) = 0;
    virtual bool ReadBytes(std::uint8_t* out, std::uint32_t size) = 0;
    // Payload bytes not yet read.
    virtual std::uint32_t Remaining() const = 0;
    // Walks the nested chunks of the rest of the payload (see ReadParamBlob).
    virtual bool ForEachNested(const std::function<bool(ParamChunk&)>& handler) = 0;

protected:
    ~ParamChunk() = default;
};

// Walks the top-level chunk list of a blob: handler sees every chunk in order (unread
// payload is skipped after it returns) and fails the walk by returning false. True when
// the terminator (or the end of an enclosing payload) was reached after every chunk was
// handled; false for a blob that ends without its terminator or whose lengths do not fit.
bool ReadParamBlob(const std::uint8_t* data, std::uint32_t size,
                   const std::function<bool(ParamChunk&)>& handler);
