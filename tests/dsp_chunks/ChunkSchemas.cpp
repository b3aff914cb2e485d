// Encoders and decoders shaped like the codec's real users, for the tests.
#include "tests/dsp_chunks/ChunkSchemas.h"

#include "dsp_blocks/chunks/ChunkCodec.h"
#include "dsp_blocks/chunks/InplaceMemoryStream.h"

namespace chunk_test {

using dsp::BlockParamChunk;
using dsp::ChunkReader;
using dsp::ChunkWriter;
using dsp::ProjectChunk;
using dsp::SettingsChunk;

Bytes EncodeCrossover(const Crossover& crossover)
{
    std::uint8_t buffer[256];
    dsp::InplaceWriteStream stream(buffer, sizeof buffer);
    bool ok = true;
    {
        ChunkWriter<BlockParamChunk> list(&stream);
        for (std::uint8_t index = 0; index < 2 && ok; ++index) {
            ChunkWriter<BlockParamChunk> filter;
            ChunkWriter<BlockParamChunk> section;
            ok = dsp::OpenChunk(filter, 0xF0, list) && dsp::WriteChunkU8(filter, index) &&
                 dsp::OpenChunk(section, 0xE1, filter) &&
                 dsp::WriteChunkU8(section, crossover.filters[index].type) &&
                 dsp::WriteChunkF32(section, crossover.filters[index].frequency) && dsp::CloseChunk(section) &&
                 dsp::CloseChunk(filter);
        }
        ok = ok && dsp::CloseChunk(list);
    }
    if (!ok) {
        return {};
    }
    std::uint64_t size = 0;
    stream.Stat(&size);
    return Bytes(buffer, buffer + size);
}

bool DecodeCrossover(platform::ByteStream* stream, Crossover& out)
{
    for (;;) {
        ChunkReader<BlockParamChunk> chunk(stream);
        if (!dsp::ReadChunkHeader(chunk)) {
            return false;
        }
        if (chunk.IsListEnd()) {
            return true;
        }
        if (chunk.Tag() == 0xF0) {
            std::uint8_t index = 0;
            if (!dsp::ReadChunkU8(chunk, index)) {
                return false;
            }
            if (index < 2) {
                for (;;) {
                    ChunkReader<BlockParamChunk> section(chunk);
                    if (!dsp::ReadChunkHeader(section)) {
                        return false;
                    }
                    if (section.IsListEnd()) {
                        break;
                    }
                    if (section.Tag() == 0xE1) {
                        CrossoverFilter& filter = out.filters[index];
                        if (!dsp::ReadChunkU8(section, filter.type) || !dsp::ReadChunkF32(section, filter.frequency)) {
                            return false;
                        }
                        filter.seen = true;
                    }
                    if (!dsp::CloseChunkReader(section)) {
                        return false;
                    }
                }
            }
        }
        if (!dsp::CloseChunkReader(chunk)) {
            return false;
        }
    }
}

bool DecodeCrossover(const Bytes& blob, Crossover& out)
{
    dsp::InplaceReadStream stream(blob.data(), static_cast<std::uint32_t>(blob.size()));
    return DecodeCrossover(&stream, out);
}

bool EncodeSettings(platform::ByteStream* stream, const Settings& settings)
{
    ChunkWriter<SettingsChunk> list(stream);
    ChunkWriter<SettingsChunk> frame;
    bool ok = dsp::OpenChunk16(frame, 0x5E70, list);
    {
        ChunkWriter<SettingsChunk> style;
        ok = ok && dsp::OpenChunk16(style, 0xFF00, frame) && dsp::WriteChunkU32(style, settings.style) &&
             dsp::CloseChunk(style);
    }
    {
        ChunkWriter<SettingsChunk> rect;
        ok = ok && dsp::OpenChunk16(rect, 0xFF01, frame);
        for (std::uint32_t edge : settings.rect) {
            ok = ok && dsp::WriteChunkU32(rect, edge);
        }
        ok = ok && dsp::CloseChunk(rect);
    }
    ok = ok && dsp::CloseChunk(frame);
    ChunkWriter<SettingsChunk> value;
    ok = ok && dsp::OpenChunk16(value, 0x5E71, list) && dsp::WriteChunkU32(value, settings.value) &&
         dsp::CloseChunk(value);
    return ok && dsp::CloseChunk(list);
}

bool DecodeSettings(platform::ByteStream* stream, Settings& out)
{
    for (;;) {
        ChunkReader<SettingsChunk> chunk(stream);
        if (!dsp::ReadChunkHeader16(chunk)) {
            return false;
        }
        if (chunk.IsListEnd()) {
            return true;
        }
        if (chunk.Tag() == 0x5E70) {
            for (;;) {
                ChunkReader<SettingsChunk> sub(chunk);
                if (!dsp::ReadChunkHeader16(sub)) {
                    return false;
                }
                if (sub.IsListEnd()) {
                    break;
                }
                if (sub.Tag() == 0xFF00 && !dsp::ReadChunkU32(sub, out.style)) {
                    return false;
                }
                if (sub.Tag() == 0xFF01) {
                    for (std::uint32_t& edge : out.rect) {
                        if (!dsp::ReadChunkU32(sub, edge)) {
                            return false;
                        }
                    }
                }
                if (!dsp::CloseChunkReader(sub)) {
                    return false;
                }
            }
            out.sawFrame = true;
        } else if (chunk.Tag() == 0x5E71) {
            if (!dsp::ReadChunkU32(chunk, out.value)) {
                return false;
            }
            out.sawValue = true;
        }
        if (!dsp::CloseChunkReader(chunk)) {
            return false;
        }
    }
}

bool EncodeProject(platform::ByteStream* stream, const Project& project)
{
    ChunkWriter<ProjectChunk> root;
    bool ok = dsp::OpenRootChunk32(root, 0x76ffffff, stream);
    {
        ChunkWriter<ProjectChunk> version;
        ok = ok && dsp::OpenChunk32(version, 0x76000001, root) && dsp::WriteChunkU32(version, project.version) &&
             dsp::CloseChunk32(version);
    }
    {
        ChunkWriter<ProjectChunk> model;
        ok = ok && dsp::OpenChunk32(model, 0x76000002, root) && dsp::WriteChunkU32(model, project.model) &&
             dsp::CloseChunk32(model);
    }
    for (const BlockRecord& block : project.blocks) {
        ChunkWriter<ProjectChunk> record;
        ChunkWriter<ProjectChunk> blob;
        ok = ok && dsp::OpenChunk32(record, 0x76000004, root) && dsp::WriteChunkU32(record, block.type) &&
             dsp::WriteChunkU32(record, block.channel) && dsp::WriteChunkU32(record, block.stage) &&
             dsp::OpenChunk32(blob, 0x76000100, record) &&
             dsp::WriteChunkBytes(blob, block.blob.data(), static_cast<std::uint32_t>(block.blob.size())) &&
             dsp::CloseChunk32(blob) && dsp::CloseChunk32(record);
    }
    {
        ChunkWriter<ProjectChunk> polarity;
        ok = ok && dsp::OpenChunk32(polarity, 0x76000005, root) && dsp::WriteChunkU8(polarity, project.polarity) &&
             dsp::CloseChunk32(polarity);
    }
    return ok && dsp::CloseChunk32(root);
}

bool DecodeProject(platform::ByteStream* stream, Project& out)
{
    ChunkReader<ProjectChunk> root(stream);
    if (!dsp::BeginChunkRead(root) || root.IsListEnd() || root.Tag() != 0x76ffffff) {
        return false;
    }
    for (;;) {
        ChunkReader<ProjectChunk> child(root);
        if (!dsp::BeginChunkRead(child)) {
            return false;
        }
        if (child.IsListEnd()) {
            break;
        }
        switch (child.Tag()) {
        case 0x76000001:
            if (!dsp::ReadChunkU32(child, out.version)) {
                return false;
            }
            break;
        case 0x76000002:
            if (!dsp::ReadChunkU32(child, out.model)) {
                return false;
            }
            break;
        case 0x76000004: {
            BlockRecord block;
            if (!dsp::ReadChunkU32(child, block.type) || !dsp::ReadChunkU32(child, block.channel) ||
                !dsp::ReadChunkU32(child, block.stage) || dsp::IsChunkAtEnd(child)) {
                return false;
            }
            ChunkReader<ProjectChunk> blob(child);
            if (!dsp::BeginChunkRead(blob)) {
                return false;
            }
            // A child of size 0 reads as the end of the record's list: an empty blob.
            if (!blob.IsListEnd() && blob.Tag() == 0x76000100 && !dsp::ReadChunkPayload(blob, block.blob)) {
                return false;
            }
            if (!dsp::CloseChunkReader(blob)) {
                return false;
            }
            out.blocks.push_back(std::move(block));
            break;
        }
        case 0x76000005:
            if (!dsp::ReadChunkU8(child, out.polarity)) {
                return false;
            }
            break;
        default:
            break;
        }
        if (!dsp::CloseChunkReader(child)) {
            return false;
        }
    }
    return dsp::CloseChunkReader(root);
}

namespace {

bool WalkList(ChunkReader<BlockParamChunk>* parent, platform::ByteStream* stream, int depth, bool& consistent)
{
    for (;;) {
        ChunkReader<BlockParamChunk> chunk = parent != nullptr ? ChunkReader<BlockParamChunk>(*parent)
                                                               : ChunkReader<BlockParamChunk>(stream);
        std::uint64_t before = 0;
        if (!dsp::GetChunkStreamPosition(chunk, before) || !dsp::ReadChunkHeader(chunk)) {
            return false;
        }
        if (chunk.IsListEnd()) {
            return true;
        }
        const std::uint64_t expectedEnd = before + 3 + chunk.Remaining();
        if (chunk.Tag() >= 0xF0 && depth < 8) {
            std::uint8_t index = 0;
            if (!dsp::ReadChunkU8(chunk, index) || !WalkList(&chunk, stream, depth + 1, consistent)) {
                return false;
            }
        } else {
            std::uint8_t scratch[0x8000];
            const std::uint32_t half = chunk.Remaining() / 2;
            if (!dsp::ReadChunkBytes(chunk, scratch, half)) {
                return false;
            }
        }
        if (!dsp::CloseChunkReader(chunk)) {
            return false;
        }
        std::uint64_t after = 0;
        if (platform::Failed(stream->Seek(0, platform::SeekOrigin::Current, &after)) || after != expectedEnd) {
            consistent = false;
        }
    }
}

}  // namespace

bool WalkBlockBlob(const Bytes& blob, bool& consistent)
{
    consistent = true;
    dsp::InplaceReadStream stream(blob.data(), static_cast<std::uint32_t>(blob.size()));
    return WalkList(nullptr, &stream, 0, consistent);
}

}  // namespace chunk_test
