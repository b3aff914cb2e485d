// The read session: lets the block writes still queued go out first, then reads the
// amplifier's parameter record and delivers it block by block.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "device_manager/amplifier/ParamWriteImage.h"
#include "device_manager/core/RefCounting.h"
#include "device_manager/amplifier/SessionCore.h"
#include "device_manager/sessions/Sessions.h"
#include "platform/base/Event.h"

namespace CobaltDeviceManager {
namespace {

// Where each block type's parameter data sit in the record, per channel.
constexpr std::uint32_t kInputGainOffset = 0;
constexpr std::uint32_t kInputEqOffset = 4;
constexpr std::uint32_t kMixerOffset = 1028;
constexpr std::uint32_t kMixerWholeSize = 512;
constexpr std::uint32_t kCrossoverOffset = 1540;
constexpr std::uint32_t kSpeakerEqOffset = 2564;
constexpr std::uint32_t kLimiterOffset = 3588;
constexpr std::uint32_t kDelayOffset = 4100;
constexpr std::uint32_t kPolarityOffset = 4612;

class ReadParamSession : public RCObjectRootEx<RCObjectMultiThreadModel>,
                         public IReadParamSession,
                         public ISessionX,
                         private SessionCore {
public:
    ReadParamSession(ISessionControllerX* controller, std::int32_t channelClass)
        : SessionCore(controller), m_channelClass(channelClass)
    {
    }

    void Cancel() override { CancelOrEndUnrun(); }

    bool Start(ICDM_Progress* progress, IReadParamSink* blocks) override
    {
        if (WasQueued()) {
            return false;
        }
        m_blocks.Reset(blocks);
        if (!Queue(this, progress)) {
            m_blocks.Reset(nullptr);
            return false;
        }
        return true;
    }

    void Discard() override { Complete(kSessionFailed); }

    std::int32_t Run(QdoHandle handle, platform::Event* stopEvent) override
    {
        if (!BeginRun()) {
            return 0;
        }
        // Edits still on their way would reach the amplifier after the read and leave it
        // holding something else than what the read returned.
        Controller().SettleBlockWrites(handle, stopEvent, CancelEvent());
        if (platform::AnySignalled({stopEvent})) {
            Complete(kSessionFailed);
            return 0;
        }
        if (platform::AnySignalled({CancelEvent()})) {
            Complete(kSessionCancelled);
            return 0;
        }
        // Cleared first: the library leaves the input-gain bytes alone, and whatever it
        // does not fill must reach the sink as zeros, not as stale memory.
        std::shared_ptr<DspParamInfo> info(new (std::nothrow) DspParamInfo());
        if (!info) {
            Complete(kSessionFailed);
            return 0;
        }
        IDeviceLibrary& library = Library();
        DspParamInfo* record = info.get();
        const DeviceOperation::Outcome outcome = RunTransfer(
            handle, stopEvent, Timings().readPoll, [&] { return library.ReadDspParamInfoFromMCU(handle, record); },
            info);
        if (outcome == DeviceOperation::Outcome::Succeeded) {
            Deliver(reinterpret_cast<const std::uint8_t*>(info.get()));
        }
        return FinishTransfer(outcome);
    }

private:
    void Block(std::int32_t type, std::int32_t channel, const std::uint8_t* record, std::uint32_t offset,
               std::uint32_t size)
    {
        if (m_blocks) {
            m_blocks->OnBlock(type, channel, record + offset, size);
        }
    }

    // Every block of every channel the model has, in the order the UI expects them; the
    // delay blocks too, so that a later upload does not write zeros over channels 3 and 4.
    void Deliver(const std::uint8_t* record)
    {
        const std::int32_t n = std::clamp(m_channelClass, 0, kImageChannels);
        const auto at = [](std::uint32_t base, std::uint32_t stride, std::int32_t c) {
            return base + stride * static_cast<std::uint32_t>(c);
        };
        for (std::int32_t c = 0; c < n; ++c) {
            Block(kBlockInputGain, c, record, at(kInputGainOffset, 1, c), 1);
        }
        for (std::int32_t c = 0; c < n; ++c) {
            Block(kBlockInputEq, c, record, at(kInputEqOffset, 256, c), 256);
        }
        for (std::int32_t c = 0; c < n; ++c) {
            // Channel 0 carries the whole mixer; the others their own slice of it.
            if (c == 0) {
                Block(kBlockMatrixMixer, 0, record, kMixerOffset, kMixerWholeSize);
            } else {
                Block(kBlockMatrixMixer, c, record, at(kMixerOffset, 128, c), 128);
            }
        }
        for (std::int32_t c = 0; c < n; ++c) {
            Block(kBlockCrossover, c, record, at(kCrossoverOffset, 256, c), 256);
        }
        for (std::int32_t c = 0; c < n; ++c) {
            Block(kBlockSpeakerEq, c, record, at(kSpeakerEqOffset, 256, c), 256);
        }
        for (std::int32_t c = 0; c < n; ++c) {
            Block(kBlockLimiter, c, record, at(kLimiterOffset, 128, c), 128);
        }
        for (std::int32_t c = 0; c < n; ++c) {
            Block(kBlockDelay, c, record, at(kDelayOffset, 128, c), 128);
        }
        for (std::int32_t c = 0; c < n; ++c) {
            Block(kBlockOutputPolarity, c, record, at(kPolarityOffset, 128, c), 128);
        }
    }

    const std::int32_t m_channelClass;
    RefHolder<IReadParamSink> m_blocks;  // set by Start before queueing, then read by the worker
};

}  // namespace

bool NewReadParamSession(ISessionControllerX* controller, std::int32_t channelClass, IReadParamSession** out)
{
    if (controller == nullptr || out == nullptr) {
        return false;
    }
    auto* session = CreateRCObject<RCObject2<ReadParamSession>>(controller, channelClass);
    if (session == nullptr) {
        return false;
    }
    *out = session;
    return true;
}

}  // namespace CobaltDeviceManager
