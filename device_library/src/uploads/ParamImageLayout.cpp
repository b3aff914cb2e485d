// Bounds-checked reads from a parameter write image.
#include "device_library/src/uploads/ParamImageLayout.h"

#include <bit>

namespace QuarryDriver {

std::uint32_t ParamImageView::Word(std::size_t offset) const {
    const auto b = Bytes(offset, 4);
    if (b.empty()) {
        return 0;
    }
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

double ParamImageView::Double(std::size_t offset) const {
    const auto b = Bytes(offset, param_image::kDoubleSize);
    if (b.empty()) {
        return 0.0;
    }
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < param_image::kDoubleSize; ++i) {
        bits |= static_cast<std::uint64_t>(b[i]) << (8 * i);
    }
    return std::bit_cast<double>(bits);
}

std::uint8_t ParamImageView::Byte(std::size_t offset) const {
    return offset < bytes_.size() ? bytes_[offset] : 0;
}

std::span<const std::uint8_t> ParamImageView::Bytes(std::size_t offset, std::size_t length) const {
    if (offset > bytes_.size() || length > bytes_.size() - offset) {
        return {};
    }
    return bytes_.subspan(offset, length);
}

}  // namespace QuarryDriver
