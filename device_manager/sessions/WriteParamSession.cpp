// The write session: uploads a whole design's parameters from the session's own image.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "device_manager/amplifier/ParamWriteImage.h"
#include "device_manager/core/RefCounting.h"
#include "device_manager/amplifier/SessionCore.h"
#include "device_manager/sessions/Sessions.h"

namespace CobaltDeviceManager {
namespace {

constexpr std::int32_t kDataBlockTypes[] = {kBlockInputGain, kBlockInputEq,    kBlockMatrixMixer, kBlockCrossover,
                                            kBlockSpeakerEq, kBlockLimiter,    kBlockDelay,       kBlockOutputPolarity};

// The image a write session starts from: no dirty bit, every coefficient area zero and
// every parameter area 0xFF, so that blocks the caller never stored read as erased.
void PrepareImage(ParamWriteImage& image)
{
    image.Clear();
    for (std::int32_t type : kDataBlockTypes) {
        const auto layout = LayoutOfBlockType(type);
        if (!layout) {
            continue;
        }
        const std::uint32_t count = layout->perChannel ? static_cast<std::uint32_t>(kImageChannels) : 1u;
        std::memset(image.Bytes() + layout->parameterBase, 0xFF, static_cast<std::size_t>(layout->parameterSize) * count);
    }
}

class WriteParamSession : public RCObjectRootEx<RCObjectMultiThreadModel>,
                          public IWriteParamSession,
                          public ISessionX,
                          private SessionCore {
public:
    WriteParamSession(ISessionControllerX* controller, std::shared_ptr<ParamWriteImage> image)
        : SessionCore(controller), m_image(std::move(image))
    {
        PrepareImage(*m_image);
    }

    void Cancel() override { CancelOrEndUnrun(); }

    bool SetBlockParam(std::int32_t blockType, std::int32_t channel, const std::uint8_t* coefficients,
                       std::uint32_t coefficientSize, const std::uint8_t* parameters,
                       std::uint32_t parameterSize) override
    {
        // Once queued the image belongs to the worker.
        if (WasQueued()) {
            return false;
        }
        if ((coefficients == nullptr && coefficientSize != 0) || (parameters == nullptr && parameterSize != 0)) {
            return false;
        }
        const std::uint64_t bits = DirtyBitsOfBlock(blockType, channel, kImageChannels);
        return m_image->StoreBlock(blockType, channel, coefficients, coefficientSize, parameters, parameterSize,
                                   blockType == kBlockMatrixMixer ? kAllMixerBits : bits);
    }

    bool Start(ICDM_Progress* progress) override { return Queue(this, progress); }

    void Discard() override { Complete(kSessionFailed); }

    std::int32_t Run(QdoHandle handle, platform::Event* stopEvent) override
    {
        if (!BeginRun()) {
            return 0;
        }
        Progress(0, 0);
        IDeviceLibrary& library = Library();
        const QdoParamImage* image = m_image->AsLibraryImage();
        return FinishTransfer(RunTransfer(handle, stopEvent, Timings().writePoll,
                                          [&] { return library.UpgradeDSPParam(handle, image); }, m_image));
    }

private:
    // Shared with the library's operation, which may outlive an abandoned run.
    std::shared_ptr<ParamWriteImage> m_image;
};

}  // namespace

bool NewWriteParamSession(ISessionControllerX* controller, IWriteParamSession** out)
{
    if (controller == nullptr || out == nullptr) {
        return false;
    }
    std::shared_ptr<ParamWriteImage> image(new (std::nothrow) ParamWriteImage());
    if (!image) {
        return false;
    }
    auto* session = CreateRCObject<RCObject2<WriteParamSession>>(controller, std::move(image));
    if (session == nullptr) {
        return false;
    }
    *out = session;
    return true;
}

}  // namespace CobaltDeviceManager
