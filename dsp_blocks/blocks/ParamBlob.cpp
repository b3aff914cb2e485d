// Block parameter blobs on the chunk codec and the in-memory streams.
#include "dsp_blocks/blocks/ParamBlob.h"

#include "dsp_blocks/chunks/ChunkCodec.h"
#include "dsp_blocks/chunks/InplaceMemoryStream.h"

namespace {

using Writer = dsp::ChunkWriter<dsp::BlockParamChunk>;
using Reader = dsp::ChunkReader<dsp::BlockParamChunk>;

class ReaderChunk final : public ParamChunk {
public:
    explicit ReaderChunk(Reader& reader) : reader_(reader) {}

    std::uint8_t Tag() const override { return reader_.Tag(); }
    bool ReadU8(std::uint8_t& out) override { return dsp::ReadChunkU8(reader_, out); }
    bool ReadU32(std::uint32_t& out) override { return dsp::ReadChunkU32(reader_, out); }
    bool ReadF32(float& out) override { return dsp::ReadChunkF32(reader_, out); }
    bool ReadBytes(std::uint8_t* out, std::uint32_t size) override
    {
        return dsp::ReadChunkBytes(reader_, out, size);
    }
    std::uint32_t Remaining() const override { return reader_.Remaining(); }
    bool ForEachNested(const std::function<bool(ParamChunk&)>& handler) override;

private:
    Reader& reader_;
};

bool ReaderChunk::ForEachNested(const std::function<bool(ParamChunk&)>& handler)
{
    for (;;) {
        Reader nested(reader_);
        if (!dsp::ReadChunkHeader(nested)) {
            return false;
        }
        if (nested.IsListEnd()) {
            return true;
        }
        ReaderChunk view(nested);
        if (!handler(view)) {
            return false;
        }
        if (!dsp::CloseChunkReader(nested)) {
            return false;
        }
    }
}

}  // namespace

struct ParamBlobWriter::State {
    explicit State(std::uint32_t capacity)
        : buffer(capacity), stream(buffer.data(), capacity), list(std::make_unique<Writer>(&stream))
    {
    }
    ~State()
    {
        // Children go before their parents, and every writer before the stream.
        while (!open.empty()) {
            open.pop_back();
        }
        list.reset();
    }

    Writer& Innermost() { return open.empty() ? *list : *open.back(); }

    std::vector<std::uint8_t> buffer;
    dsp::InplaceWriteStream stream;
    std::unique_ptr<Writer> list;
    std::vector<std::unique_ptr<Writer>> open;
    bool ok = true;
};

ParamBlobWriter::ParamBlobWriter(std::uint32_t capacity) : state_(std::make_unique<State>(capacity)) {}

ParamBlobWriter::~ParamBlobWriter() = default;

bool ParamBlobWriter::Open(std::uint8_t tag)
{
    if (!state_->ok) {
        return false;
    }
    auto child = std::make_unique<Writer>();
    if (!dsp::OpenChunk(*child, tag, state_->Innermost())) {
        state_->ok = false;
        return false;
    }
    state_->open.push_back(std::move(child));
    return true;
}

bool ParamBlobWriter::Close()
{
    if (!state_->ok || state_->open.empty()) {
        state_->ok = false;
        return false;
    }
    if (!dsp::CloseChunk(*state_->open.back())) {
        state_->ok = false;
        return false;
    }
    state_->open.pop_back();
    return true;
}

bool ParamBlobWriter::WriteU8(std::uint8_t value)
{
    state_->ok = state_->ok && dsp::WriteChunkU8(state_->Innermost(), value);
    return state_->ok;
}

bool ParamBlobWriter::WriteU32(std::uint32_t value)
{
    state_->ok = state_->ok && dsp::WriteChunkU32(state_->Innermost(), value);
    return state_->ok;
}

bool ParamBlobWriter::WriteF32(float value)
{
    state_->ok = state_->ok && dsp::WriteChunkF32(state_->Innermost(), value);
    return state_->ok;
}

bool ParamBlobWriter::WriteBytes(const std::uint8_t* data, std::uint32_t size)
{
    state_->ok = state_->ok && dsp::WriteChunkBytes(state_->Innermost(), data, size);
    return state_->ok;
}

std::optional<std::vector<std::uint8_t>> ParamBlobWriter::Finish()
{
    if (!state_->ok || !state_->open.empty() || !dsp::CloseChunk(*state_->list)) {
        state_->ok = false;
        return std::nullopt;
    }
    const std::uint32_t size = state_->stream.Size();
    return std::vector<std::uint8_t>(state_->buffer.begin(), state_->buffer.begin() + size);
}

bool ReadParamBlob(const std::uint8_t* data, std::uint32_t size, const std::function<bool(ParamChunk&)>& handler)
{
    dsp::InplaceReadStream stream(data, size);
    for (;;) {
        Reader chunk(&stream);
        if (!dsp::ReadChunkHeader(chunk)) {
            return false;
        }
        if (chunk.IsListEnd()) {
            return true;
        }
        ReaderChunk view(chunk);
        if (!handler(view)) {
            return false;
        }
        if (!dsp::CloseChunkReader(chunk)) {
            return false;
        }
    }
}
