// Block-diagram lines on outside bytes, with the controllers the factory makes for them:
// every controller loads, follows each model and channel configuration, and commits.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "application/document/BlockDiagramFile.h"
#include "dsp_blocks/blocks/ControllerFactory.h"
#include "tests/fuzz/FuzzData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::LoadShippedSpeakerEq();
    std::vector<std::unique_ptr<DiagramBlock>> owned;
    if (!ReadBlockDiagramText(std::string(reinterpret_cast<const char*>(data), size), owned)) {
        return 0;
    }
    std::vector<DiagramBlock*> blocks;
    for (const std::unique_ptr<DiagramBlock>& block : owned) {
        blocks.push_back(block.get());
    }
    std::vector<std::unique_ptr<CController>> controllers;
    CreateControllers(blocks, controllers);
    ChannelConfig config;
    config.channelCount = 4;
    for (std::size_t c = 0; c < config.channels.size(); ++c) {
        config.channels[c].mode = size > c ? data[c] % 5 : 2;
    }
    for (int model = 0; model <= static_cast<int>(ModelType::Unknown); ++model) {
        for (const std::unique_ptr<CController>& controller : controllers) {
            controller->SetModel(static_cast<ModelType>(model));
        }
    }
    for (std::uint32_t kind = 0; kind <= 2; ++kind) {
        config.kind = kind;
        config.changedMask = kind == 2 ? 0xF : 0;
        for (const std::unique_ptr<CController>& controller : controllers) {
            controller->ApplyChannelConfig(config);
            controller->Commit();
        }
    }
    return 0;
}
