// Reading and writing project files through the chunk codec.
#include "application/document/ProjectFile.h"

#include <cstring>

#include "application/document/BlockDiagramFile.h"
#include "dsp_blocks/chunks/ChunkCodec.h"
#include "platform/base/ByteOrder.h"
#include "resources/strings/StringIds.h"

namespace {

using dsp::ChunkReader;
using dsp::ChunkWriter;
using dsp::ProjectChunk;
using platform::ByteStream;

constexpr std::uint32_t kRootHeaderSize = 8;

bool ReadExactly(ByteStream* stream, void* dst, std::uint32_t n)
{
    std::uint32_t got = 0;
    return platform::Succeeded(stream->Read(dst, n, &got)) && got == n;
}

// Tells a missing or foreign root chunk (its own message) from a root that is there but
// runs past the end of the file (a damaged file). Leaves the stream where it was.
int CheckRootHeader(ByteStream* stream)
{
    std::uint64_t start = 0;
    if (platform::Failed(stream->Seek(0, platform::SeekOrigin::Current, &start))) {
        return ProjectRead::kBadStructure;
    }
    std::uint8_t header[kRootHeaderSize];
    const bool complete = ReadExactly(stream, header, sizeof header);
    if (platform::Failed(stream->Seek(static_cast<std::int64_t>(start), platform::SeekOrigin::Begin, nullptr))) {
        return ProjectRead::kBadStructure;
    }
    if (!complete || platform::LoadLittleEndian<std::uint32_t>(header + 4) != ProjectFormat::kRootTag) {
        return ProjectRead::kBadRootTag;
    }
    return ProjectRead::kOk;
}

struct ReadState {
    const DiagramLoader* loadDiagram = nullptr;
    ProjectContents* out = nullptr;
    bool modelSeen = false;
    bool anyUnmatched = false;
};

int ReadModel(ChunkReader<ProjectChunk>& chunk, ReadState& state)
{
    // A second model would mean a second diagram; the records read so far would then
    // belong to blocks that are gone.
    if (state.modelSeen) {
        return ProjectRead::kBadModel;
    }
    std::uint32_t value = 0;
    if (!dsp::ReadChunkU32(chunk, value)) {
        return ProjectRead::kBadModel;
    }
    if (value > static_cast<std::uint32_t>(ModelType::MV340A)) {
        return ProjectRead::kNoModel;
    }
    const ModelType model = static_cast<ModelType>(value);
    std::vector<std::unique_ptr<DiagramBlock>> blocks;
    if (!(*state.loadDiagram) || !(*state.loadDiagram)(model, blocks)) {
        return ProjectRead::kDiagramMissing;
    }
    state.out->model = model;
    state.out->blocks = std::move(blocks);
    state.modelSeen = true;
    return ProjectRead::kOk;
}

// The first child of a matched record. The writer emits an empty blob as a child of size 0;
// the codec reads a zero size as the end of the list without its tag, so the tag that
// follows is read here from the record itself.
int ReadRecordBlob(ChunkReader<ProjectChunk>& record, DiagramBlock& block)
{
    if (dsp::IsChunkAtEnd(record) || record.HasFailed()) {
        return ProjectRead::kBadRecord;
    }
    std::vector<std::uint8_t> blob;
    std::uint32_t tag = 0;
    {
        ChunkReader<ProjectChunk> child(record);
        if (!dsp::BeginChunkRead(child)) {
            return ProjectRead::kBadRecord;
        }
        if (child.IsListEnd()) {
            if (!dsp::CloseChunkReader(child) || !dsp::ReadChunkU32(record, tag)) {
                return ProjectRead::kBadRecord;
            }
        } else {
            tag = child.Tag();
            if (tag == ProjectFormat::kParamBlobTag && !dsp::ReadChunkPayload(child, blob)) {
                return ProjectRead::kBadRecord;
            }
            if (!dsp::CloseChunkReader(child)) {
                return ProjectRead::kBadRecord;
            }
        }
    }
    if (tag == ProjectFormat::kParamBlobTag) {
        block.SetParamBlob(blob.data(), static_cast<std::uint32_t>(blob.size()));
    }
    return ProjectRead::kOk;
}

int ReadBlockRecord(ChunkReader<ProjectChunk>& record, ReadState& state)
{
    std::uint32_t type = 0;
    std::uint32_t channel = 0;
    std::uint32_t stage = 0;
    if (!dsp::ReadChunkU32(record, type) || !dsp::ReadChunkU32(record, channel) ||
        !dsp::ReadChunkU32(record, stage)) {
        return ProjectRead::kBadRecord;
    }
    DiagramBlock* block = FindBlockIn(state.out->blocks, static_cast<BlockType>(static_cast<std::int32_t>(type)),
                                      static_cast<std::int32_t>(channel), static_cast<std::int32_t>(stage));
    if (block == nullptr) {
        state.anyUnmatched = true;
        return ProjectRead::kOk;
    }
    return ReadRecordBlob(record, *block);
}

int ReadRootChild(ChunkReader<ProjectChunk>& chunk, ReadState& state)
{
    switch (chunk.Tag()) {
    case ProjectFormat::kVersionTag: {
        std::uint32_t version = 0;
        return dsp::ReadChunkU32(chunk, version) ? ProjectRead::kOk : ProjectRead::kBadVersion;
    }
    case ProjectFormat::kModelTag:
        return ReadModel(chunk, state);
    case ProjectFormat::kBlockTag:
        return ReadBlockRecord(chunk, state);
    case ProjectFormat::kMutePolarityTag: {
        std::uint8_t polarity = 0;
        if (!dsp::ReadChunkU8(chunk, polarity)) {
            return ProjectRead::kBadRecord;
        }
        state.out->mutePolarityNormallyOpen = polarity != 0 ? 1 : 0;
        return ProjectRead::kOk;
    }
    default:
        return ProjectRead::kOk;  // skipped by its size when the reader closes
    }
}

bool WriteU32Chunk(ChunkWriter<ProjectChunk>& parent, std::uint32_t tag, std::uint32_t value)
{
    ChunkWriter<ProjectChunk> chunk;
    return dsp::OpenChunk32(chunk, tag, parent) && dsp::WriteChunkU32(chunk, value) && dsp::CloseChunk32(chunk);
}

bool WriteBlockRecord(ChunkWriter<ProjectChunk>& root, const DiagramBlock& block)
{
    ChunkWriter<ProjectChunk> record;
    if (!dsp::OpenChunk32(record, ProjectFormat::kBlockTag, root) ||
        !dsp::WriteChunkU32(record, static_cast<std::uint32_t>(block.type)) ||
        !dsp::WriteChunkU32(record, static_cast<std::uint32_t>(block.channel)) ||
        !dsp::WriteChunkU32(record, static_cast<std::uint32_t>(block.stage))) {
        return false;
    }
    {
        ChunkWriter<ProjectChunk> blob;
        const ByteBlob& bytes = block.paramBlob;
        if (!dsp::OpenChunk32(blob, ProjectFormat::kParamBlobTag, record) ||
            (bytes.Size() != 0 && !dsp::WriteChunkBytes(blob, bytes.Data(), bytes.Size())) ||
            !dsp::CloseChunk32(blob)) {
            return false;
        }
    }
    return dsp::CloseChunk32(record);
}

}  // namespace

int ReadProjectStream(platform::ByteStream* stream, const DiagramLoader& loadDiagram, ProjectContents& out)
{
    if (stream == nullptr) {
        return ProjectRead::kCannotOpen;
    }
    std::uint8_t signature[ProjectFormat::kSignature.size()];
    if (!ReadExactly(stream, signature, sizeof signature) ||
        std::memcmp(signature, ProjectFormat::kSignature.data(), sizeof signature) != 0) {
        return ProjectRead::kBadSignature;
    }
    if (const int rootCheck = CheckRootHeader(stream); rootCheck != ProjectRead::kOk) {
        return rootCheck;
    }

    ReadState state;
    state.loadDiagram = &loadDiagram;
    state.out = &out;
    {
        ChunkReader<ProjectChunk> root(stream);
        if (!dsp::BeginChunkRead(root) || root.IsListEnd()) {
            return ProjectRead::kBadStructure;
        }
        for (;;) {
            ChunkReader<ProjectChunk> child(root);
            if (!dsp::BeginChunkRead(child)) {
                return ProjectRead::kBadStructure;
            }
            if (child.IsListEnd()) {
                break;
            }
            if (const int result = ReadRootChild(child, state); result < 0) {
                return result;
            }
            // Whatever the handler read, the next child starts at this one's end.
            if (!dsp::CloseChunkReader(child)) {
                return ProjectRead::kBadStructure;
            }
        }
        if (!dsp::CloseChunkReader(root)) {
            return ProjectRead::kBadStructure;
        }
    }
    // The reading ends with the root chunk: the zero word the writer puts after it is not
    // needed, so a file that lacks it (or anything after the root) is read all the same.
    if (!state.modelSeen) {
        return ProjectRead::kNoModel;
    }
    return state.anyUnmatched ? ProjectRead::kUnmatchedRecords : ProjectRead::kOk;
}

bool WriteProjectStream(platform::ByteStream* stream, ModelType model,
                        const std::vector<std::unique_ptr<DiagramBlock>>& blocks,
                        std::uint8_t mutePolarityNormallyOpen)
{
    if (stream == nullptr) {
        return false;
    }
    std::uint32_t written = 0;
    if (platform::Failed(stream->Write(ProjectFormat::kSignature.data(),
                                       static_cast<std::uint32_t>(ProjectFormat::kSignature.size()), &written)) ||
        written != ProjectFormat::kSignature.size()) {
        return false;
    }
    ChunkWriter<ProjectChunk> root;
    if (!dsp::OpenRootChunk32(root, ProjectFormat::kRootTag, stream) ||
        !WriteU32Chunk(root, ProjectFormat::kVersionTag, ProjectFormat::kFormatVersion) ||
        !WriteU32Chunk(root, ProjectFormat::kModelTag, static_cast<std::uint32_t>(model))) {
        return false;
    }
    for (const std::unique_ptr<DiagramBlock>& block : blocks) {
        if (!WriteBlockRecord(root, *block)) {
            return false;
        }
    }
    {
        ChunkWriter<ProjectChunk> polarity;
        if (!dsp::OpenChunk32(polarity, ProjectFormat::kMutePolarityTag, root) ||
            !dsp::WriteChunkU8(polarity, mutePolarityNormallyOpen) || !dsp::CloseChunk32(polarity)) {
            return false;
        }
    }
    return dsp::CloseChunk32(root);
}

std::uint32_t ProjectReadMessageId(int code)
{
    switch (code) {
    case ProjectRead::kOk:
    case ProjectRead::kUnmatchedRecords:
        return 0;
    case ProjectRead::kCannotOpen:
        return StringId::kProjectCannotOpen;
    case ProjectRead::kBadRootTag:
        return StringId::kProjectTagMismatch;
    case ProjectRead::kNoModel:
        return StringId::kProjectModelMissing;
    case ProjectRead::kDiagramMissing:
        return StringId::kBrokenInstallation;
    default:
        return StringId::kProjectCorrupted;
    }
}
