// Project files on outside bytes, with every controller's load of the blobs they hold.
// Round trips: a project that reads writes back to one that reads the same; when every blob
// loaded, the blobs the controllers stored load and store again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "application/document/BlockDiagramFile.h"
#include "application/document/ProjectFile.h"
#include "dsp_blocks/blocks/ControllerFactory.h"
#include "platform/base/ByteStreamMemory.h"
#include "tests/fuzz/FuzzData.h"

namespace {

using Blobs = std::vector<std::vector<std::uint8_t>>;

bool LoadDiagram(ModelType model, std::vector<std::unique_ptr<DiagramBlock>>& blocks)
{
    static const std::string twoChannels = fuzz::ShippedFile("BlockDiagram.txt");
    static const std::string fourChannels = fuzz::ShippedFile("BlockDiagram2.txt");
    return ReadBlockDiagramText(BlockDiagramFileName(model) == kBlockDiagramFileName ? twoChannels : fourChannels,
                                blocks);
}

int Read(const std::uint8_t* data, std::size_t size, ProjectContents& out)
{
    const platform::ByteStreamRef stream = platform::ByteStreamRef::Adopt(platform::MemoryStream::Create(data, size));
    return ReadProjectStream(stream.Get(), LoadDiagram, out);
}

Blobs ParamBlobs(const std::vector<std::unique_ptr<DiagramBlock>>& blocks)
{
    Blobs blobs;
    for (const std::unique_ptr<DiagramBlock>& block : blocks) {
        blobs.emplace_back(block->paramBlob.Data(), block->paramBlob.Data() + block->paramBlob.Size());
    }
    return blobs;
}

// Makes the controllers, which load and store every blob; gives the blobs they stored, or
// nothing when a blob did not load (the user is told, and the design keeps what it could).
std::optional<Blobs> LoadAndStore(const std::vector<std::unique_ptr<DiagramBlock>>& owned, ModelType model)
{
    std::vector<DiagramBlock*> blocks;
    for (const std::unique_ptr<DiagramBlock>& block : owned) {
        blocks.push_back(block.get());
    }
    std::vector<std::unique_ptr<CController>> controllers;
    const bool loaded = CreateControllers(blocks, controllers);
    for (const std::unique_ptr<CController>& controller : controllers) {
        controller->SetModel(model);
        controller->Commit();
    }
    if (!loaded) {
        return std::nullopt;
    }
    return ParamBlobs(owned);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::LoadShippedSpeakerEq();
    ProjectContents read;
    if (Read(data, size, read) < 0) {
        return 0;
    }
    platform::MemoryStream* written = platform::MemoryStream::Create();
    const platform::ByteStreamRef hold = platform::ByteStreamRef::Adopt(written);
    if (!WriteProjectStream(written, read.model, read.blocks, read.mutePolarityNormallyOpen)) {
        std::abort();
    }
    ProjectContents again;
    if (Read(written->Bytes().data(), written->Bytes().size(), again) != ProjectRead::kOk ||
        again.model != read.model || again.mutePolarityNormallyOpen != read.mutePolarityNormallyOpen ||
        ParamBlobs(again.blocks) != ParamBlobs(read.blocks)) {
        std::abort();
    }

    const std::optional<Blobs> stored = LoadAndStore(read.blocks, read.model);
    if (!stored) {
        return 0;
    }
    for (std::size_t i = 0; i < again.blocks.size(); ++i) {
        again.blocks[i]->SetParamBlob((*stored)[i].data(), static_cast<std::uint32_t>((*stored)[i].size()));
    }
    if (LoadAndStore(again.blocks, read.model) != stored) {
        std::abort();
    }
    return 0;
}
