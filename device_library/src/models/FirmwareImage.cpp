// Reading firmware image files.
#include "device_library/src/models/FirmwareImage.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/base/ByteOrder.h"

namespace QuarryDriver {

namespace {

constexpr std::size_t kChecksumWords = 8;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

FirmwareImage::LoadResult FirmwareImage::Load(const std::string& path) {
    std::fill(bytes_.begin(), bytes_.end(), 0xFF);
    fileBytes_ = 0;
    if (path.empty()) {
        return LoadResult::EmptyPath;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return LoadResult::CannotOpen;
    }
    while (fileBytes_ < bytes_.size()) {
        const std::size_t got = std::fread(bytes_.data() + fileBytes_, 1, bytes_.size() - fileBytes_, file.get());
        fileBytes_ += got;
        if (got == 0) {
            break;
        }
    }
    if (std::ferror(file.get())) {
        return LoadResult::ReadFailed;
    }
    // What a partial read left behind must not count as file contents.
    std::fill(bytes_.begin() + static_cast<std::ptrdiff_t>(fileBytes_), bytes_.end(), 0xFF);

    if (fileBytes_ < memory_map::kTextBlock1Address + memory_map::kTextSize) {
        return LoadResult::NoVersionText;
    }
    const auto text = bytes_.begin() + memory_map::kTextBlock1Address;
    const bool erased = std::all_of(text, text + memory_map::kTextSize, [](std::uint8_t b) { return b == 0xFF; });
    const bool zeroed = std::all_of(text, text + memory_map::kTextSize, [](std::uint8_t b) { return b == 0x00; });
    if (erased || zeroed) {
        return LoadResult::NoVersionText;
    }
    return LoadResult::Loaded;
}

std::vector<std::uint8_t> FirmwareImage::Region(std::uint32_t fileOffset, std::uint32_t size) const {
    std::vector<std::uint8_t> out(size, 0xFF);
    const std::uint64_t begin = fileOffset;
    if (begin < bytes_.size()) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, bytes_.size() - begin));
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(begin), n, out.begin());
    }
    return out;
}

std::vector<std::uint8_t> FirmwareImage::McuProgram() const {
    std::vector<std::uint8_t> program = Region(memory_map::kMcuProgramFileOffset, memory_map::kMcuProgramSize);
    SealMcuProgram(program);
    return program;
}

MarkerBlock FirmwareImage::RestoreBlock(std::uint32_t fileOffset) const {
    MarkerBlock block;
    block.fill(0xFF);
    const std::vector<std::uint8_t> text = Region(fileOffset, memory_map::kTextSize);
    std::copy(text.begin(), text.end(), block.begin());
    return block;
}

MarkerBlock FirmwareImage::EraseMarker() {
    MarkerBlock block;
    block.fill(0xFF);
    std::fill_n(block.begin(), memory_map::kTextSize, 0x00);
    return block;
}

void SealMcuProgram(std::vector<std::uint8_t>& program) {
    if (program.size() < kChecksumWords * 4) {
        return;
    }
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < kChecksumWords; ++i) {
        sum += platform::LoadLittleEndian<std::uint32_t>(program.data() + i * 4);
    }
    const std::uint32_t word = 0u - sum;
    platform::StoreLittleEndian(word, program.data() + (kChecksumWords - 1) * 4);
}

}  // namespace QuarryDriver
