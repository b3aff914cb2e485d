// The buffer list of a device: every data buffer its current job sends, owned by the device
// and freed when that job is deleted. Buffers never move once handed out.
#ifndef QUARRY_MODELS_JOB_BUFFERS_H
#define QUARRY_MODELS_JOB_BUFFERS_H

#include <cstdint>
#include <memory>
#include <vector>

namespace QuarryDriver {

class JobBuffers {
public:
    // Takes ownership of bytes; the returned pointer stays valid until Clear.
    const std::uint8_t* Keep(std::vector<std::uint8_t> bytes) {
        buffers_.push_back(std::make_unique<std::vector<std::uint8_t>>(std::move(bytes)));
        return buffers_.back()->data();
    }
    void Clear() { buffers_.clear(); }
    std::size_t Count() const { return buffers_.size(); }

private:
    std::vector<std::unique_ptr<std::vector<std::uint8_t>>> buffers_;
};

}  // namespace QuarryDriver

#endif
