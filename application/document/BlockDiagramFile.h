// The block-diagram files that ship in the Data folder: one for the two-channel family
// (MV220, MV220P), one for the four-channel models.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dsp_blocks/blocks/BlockTypes.h"
#include "dsp_blocks/blocks/DiagramBlock.h"

inline constexpr std::string_view kBlockDiagramFileName = "BlockDiagram.txt";
inline constexpr std::string_view kBlockDiagram2FileName = "BlockDiagram2.txt";

// No model has more blocks than one of each of the twelve block types on each channel.
inline constexpr std::size_t kMaxDiagramBlocks = 12 * static_cast<std::size_t>(kMaxChannels);

// "BlockDiagram.txt" for MV220 and MV220P, "BlockDiagram2.txt" for every other model.
std::string_view BlockDiagramFileName(ModelType model);

// Reads a diagram file (text in the ANSI code page): the first line is a header; every
// further line, also a short or empty one, becomes one block appended to `blocks`. False,
// with `blocks` untouched, when the file cannot be read or has more than kMaxDiagramBlocks
// blocks.
bool ReadBlockDiagramFile(const std::filesystem::path& path, std::vector<std::unique_ptr<DiagramBlock>>& blocks);
// The same for the whole text of a diagram file; false only for too many blocks.
bool ReadBlockDiagramText(std::string text, std::vector<std::unique_ptr<DiagramBlock>>& blocks);

// The first block in order whose type, channel and stage all match, or null.
DiagramBlock* FindBlockIn(const std::vector<std::unique_ptr<DiagramBlock>>& blocks, BlockType type,
                          std::int32_t channel, std::int32_t stage);
