// How the protocol fuzz target reads its input: a 14-byte head choosing one step and its
// arguments, then the device's replies, 64 bytes each. The seed maker builds inputs with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fuzz {

inline constexpr std::size_t kStepHeadBytes = 14;

struct StepInput {
    std::uint32_t step = 0;        // 0 handshake ... 9 command, as the job engine numbers them
    std::uint32_t address = 0;     // or memory id
    std::uint32_t readLength = 0;  // 0 to 2048
    std::vector<std::uint8_t> written;  // 1 to 8 blocks of 256 bytes; some erased
    std::uint32_t lastSegment = 0;
    std::uint16_t words[3] = {0, 0, 0};
};

// `head` holds kStepHeadBytes bytes.
inline StepInput ReadStepHead(const std::uint8_t* head)
{
    StepInput input;
    input.step = head[0] % 10;
    input.address = static_cast<std::uint32_t>(head[1]) << 24 | static_cast<std::uint32_t>(head[2]) << 16 |
                    static_cast<std::uint32_t>(head[3]) << 8 | head[4];
    input.readLength = (static_cast<std::uint32_t>(head[5]) << 8 | head[6]) % 2049;
    const std::uint32_t blocks = head[5] % 8 + 1;
    input.written.resize(blocks * 256);
    for (std::uint32_t i = 0; i < input.written.size(); ++i) {
        // Blocks whose bit is set in byte 7 are erased, as the protocol skips them.
        input.written[i] = ((head[7] >> (i / 256)) & 1) != 0 ? 0xFF : static_cast<std::uint8_t>(i * 37 + head[6]);
    }
    input.lastSegment = head[8] & 1;
    input.words[0] = static_cast<std::uint16_t>(head[9] << 8 | head[10]);
    input.words[1] = static_cast<std::uint16_t>(head[11] << 8 | head[12]);
    input.words[2] = head[13];
    return input;
}

}  // namespace fuzz
