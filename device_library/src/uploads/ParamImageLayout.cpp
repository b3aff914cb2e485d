// Bounds-checked reads from a parameter write image.
#include "device_library/src/uploads/ParamImageLayout.h"

#include <bit>

#include "platform/base/ByteOrder.h"

namespace QuarryDriver {

std::uint32_t ParamImageView::Word(std::size_t offset) const {
    const auto b = Bytes(offset, 4);
    if (b.empty()) {
        return 0;
    }
    return platform::LoadLittleEndian<std::uint32_t>(b.data());
}

double ParamImageView::Double(std::size_t offset) const {
    const auto b = Bytes(offset, param_image::kDoubleSize);
    if (b.empty()) {
        return 0.0;
    }
    return std::bit_cast<double>(platform::LoadLittleEndian<std::uint64_t>(b.data()));
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
