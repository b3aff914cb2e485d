// Reading the block-diagram description files.
#include "application/document/BlockDiagramFile.h"

#include <optional>
#include <string>

#include "platform/base/Cp1252.h"
#include "platform/base/TextLineReader.h"

std::string_view BlockDiagramFileName(ModelType model)
{
    return model == ModelType::MV220 || model == ModelType::MV220P ? kBlockDiagramFileName
                                                                   : kBlockDiagram2FileName;
}

bool ReadBlockDiagramFile(const std::filesystem::path& path, std::vector<std::unique_ptr<DiagramBlock>>& blocks)
{
    std::optional<std::string> text = platform::ReadFileBytes(path);
    return text && ReadBlockDiagramText(std::move(*text), blocks);
}

bool ReadBlockDiagramText(std::string text, std::vector<std::unique_ptr<DiagramBlock>>& blocks)
{
    platform::TextLineReader reader(std::move(text));
    std::vector<std::unique_ptr<DiagramBlock>> read;
    std::string line;
    if (reader.ReadLine(line)) {
        // The header line names the columns; nothing in it is used.
        while (reader.ReadLine(line)) {
            // A damaged file must not fill memory with millions of blocks.
            if (read.size() == kMaxDiagramBlocks) {
                return false;
            }
            auto block = std::make_unique<DiagramBlock>();
            block->ParseDescription(platform::Cp1252ToUtf16(line));
            read.push_back(std::move(block));
        }
    }
    for (std::unique_ptr<DiagramBlock>& block : read) {
        blocks.push_back(std::move(block));
    }
    return true;
}

DiagramBlock* FindBlockIn(const std::vector<std::unique_ptr<DiagramBlock>>& blocks, BlockType type,
                          std::int32_t channel, std::int32_t stage)
{
    for (const std::unique_ptr<DiagramBlock>& block : blocks) {
        if (block->type == type && block->channel == channel && block->stage == stage) {
            return block.get();
        }
    }
    return nullptr;
}
