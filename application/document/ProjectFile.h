// The project file (.cvp): a 16-byte signature and one tree of u32-sized, u32-tagged chunks
// holding the design's model, the parameter blob of every block and the mute-input polarity.
// The diagram itself is not stored: reading rebuilds it from the model's diagram file and
// matches the stored records to its blocks by (type, channel, stage).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "dsp_blocks/blocks/BlockTypes.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "platform/base/ByteStream.h"

namespace ProjectFormat {
// {59ACE46F-8BB1-43ED-87A0-0FD8433257DE} in its in-memory byte order.
inline constexpr std::array<std::uint8_t, 16> kSignature = {0x6f, 0xe4, 0xac, 0x59, 0xb1, 0x8b, 0xed, 0x43,
                                                            0x87, 0xa0, 0x0f, 0xd8, 0x43, 0x32, 0x57, 0xde};
inline constexpr std::uint32_t kRootTag = 0x76ffffff;
inline constexpr std::uint32_t kVersionTag = 0x76000001;
inline constexpr std::uint32_t kModelTag = 0x76000002;
inline constexpr std::uint32_t kBlockTag = 0x76000004;
inline constexpr std::uint32_t kMutePolarityTag = 0x76000005;
// The one child of a block record: the block's parameter blob.
inline constexpr std::uint32_t kParamBlobTag = 0x76000100;
inline constexpr std::uint32_t kFormatVersion = 1;
}  // namespace ProjectFormat

// Results of reading a project.
namespace ProjectRead {
inline constexpr int kOk = 0;
inline constexpr int kUnmatchedRecords = 1;   // success; some record matched no block
inline constexpr int kCannotOpen = -1;        // the file stream could not be opened
inline constexpr int kBadSignature = -2;      // shorter than 16 bytes, or a different signature
inline constexpr int kBadStructure = -3;      // a chunk runs past its parent, or the file is cut short
inline constexpr int kBadRootTag = -4;        // no root chunk header, or its tag is wrong
inline constexpr int kBadVersion = -5;        // the version payload is unreadable
inline constexpr int kBadModel = -6;          // the model payload is unreadable, or a second model chunk
inline constexpr int kNoModel = -7;           // no model chunk, or a model outside 0..4
inline constexpr int kBadRecord = -8;         // a block record, its blob or the polarity byte unreadable
inline constexpr int kDiagramMissing = -9;    // the model's block-diagram file cannot be read
}  // namespace ProjectRead

// The design read from a project, kept apart from the document until the whole file has
// been read.
struct ProjectContents {
    ModelType model = ModelType::Unknown;
    std::vector<std::unique_ptr<DiagramBlock>> blocks;
    std::uint8_t mutePolarityNormallyOpen = 1;
};

// Appends the blocks of the model's diagram; false when the diagram cannot be read.
using DiagramLoader = std::function<bool(ModelType, std::vector<std::unique_ptr<DiagramBlock>>&)>;

// Reads a project from the stream's current position into `out`, which should be fresh.
// Returns one of the ProjectRead codes. `out` is only meaningful for codes 0 and 1.
int ReadProjectStream(platform::ByteStream* stream, const DiagramLoader& loadDiagram, ProjectContents& out);

// Writes the signature, the root chunk with version, model, one record per block in order
// and the polarity, then the end marker. False when any write fails.
bool WriteProjectStream(platform::ByteStream* stream, ModelType model,
                        const std::vector<std::unique_ptr<DiagramBlock>>& blocks,
                        std::uint8_t mutePolarityNormallyOpen);

// The string-table id of the error box for a negative read code (0 for the success codes).
std::uint32_t ProjectReadMessageId(int code);
