// The pending write image, its pool, and the worker's block-by-block writes with their
// progress notices. A block that could not be written stays dirty for the next flush.
#include "device_manager/amplifier/CobaltAmplifier.h"

#include <bit>
#include <new>

#include "device_manager/library/seam/DeviceOperation.h"
#include "platform/base/Clock.h"
#include "platform/base/Event.h"
#include "platform/messages/MessagePoster.h"

namespace CobaltDeviceManager {
namespace {

// One image is being written while the UI fills the next; more are never needed.
constexpr std::size_t kPoolLimit = 2;

}  // namespace

bool CobaltAmplifier::SetBlockParam(std::int32_t blockType, std::int32_t channel, const std::uint8_t* coefficients,
                                    std::uint32_t coefficientSize, const std::uint8_t* parameters,
                                    std::uint32_t parameterSize)
{
    // An ended amplifier has no worker left to write the block.
    if (m_ended.load() ||
        !ParamWriteImage::Accepts(blockType, channel, coefficients, coefficientSize, parameters, parameterSize)) {
        return false;
    }
    const std::uint64_t bits = DirtyBitsOfBlock(blockType, channel, ChannelClassOfModel(m_model));
    // The lock is held while copying so that the worker, which may hand back blocks that
    // failed, never finds the pending slot empty while an edit is in the middle of it.
    std::lock_guard<std::mutex> guard(m_imageLock);
    if (!m_pending) {
        m_pending = TakePendingImage();
        if (!m_pending) {
            return false;
        }
    }
    if (!m_pending->StoreBlock(blockType, channel, coefficients, coefficientSize, parameters, parameterSize, bits)) {
        return false;
    }
    // New data have not been refused yet.
    m_retry.Forget(bits);
    return true;
}

// Called with m_imageLock held and no pending image: a cleared image from the pool or a
// new one; null when memory is short.
std::unique_ptr<ParamWriteImage> CobaltAmplifier::TakePendingImage()
{
    std::unique_ptr<ParamWriteImage> image;
    {
        std::lock_guard<std::mutex> guard(m_poolLock);
        if (!m_pool.empty()) {
            image = std::move(m_pool.front());
            m_pool.pop_front();
        }
    }
    if (image) {
        image->Clear();
        return image;
    }
    return std::unique_ptr<ParamWriteImage>(new (std::nothrow) ParamWriteImage());
}

void CobaltAmplifier::ReturnToPool(std::unique_ptr<ParamWriteImage> image)
{
    std::lock_guard<std::mutex> guard(m_poolLock);
    if (m_pool.size() < kPoolLimit) {
        m_pool.push_back(std::move(image));
    }
}

std::size_t CobaltAmplifier::PooledImageCount()
{
    std::lock_guard<std::mutex> guard(m_poolLock);
    return m_pool.size();
}

std::uint64_t CobaltAmplifier::PendingDirtyMask()
{
    std::lock_guard<std::mutex> guard(m_imageLock);
    return m_pending ? m_pending->DirtyMask() : 0;
}

void CobaltAmplifier::FlushBlockParams()
{
    if (m_writePendingEvent) {
        m_writePendingEvent->Set();
    }
}

void CobaltAmplifier::WritePendingImage(platform::Event* stopEvent)
{
    const QdoHandle handle = m_handle.load();
    if (handle == nullptr) {
        return;
    }
    std::unique_ptr<ParamWriteImage> image;
    std::uint64_t due = 0;
    std::uint64_t waiting = 0;
    {
        std::lock_guard<std::mutex> guard(m_imageLock);
        if (!m_pending) {
            return;
        }
        const std::uint64_t dirty = m_pending->DirtyMask();
        due = m_retry.DueBits(dirty, platform::TickCountMs());
        // Only blocks whose pause ran out: a flush in the middle of a pause sends and posts
        // nothing, so the progress label does not flash on every idle pass.
        if (dirty != 0 && due == 0) {
            return;
        }
        waiting = dirty & ~due;
        image = std::move(m_pending);
    }
    image->SetDirtyMask(due);
    PostWriteNotice(0, 1);
    const std::uint64_t refused = WriteImageBlocks(*image, handle, stopEvent);
    {
        std::lock_guard<std::mutex> guard(m_imageLock);
        m_retry.Forget(due & ~refused);
    }
    if ((refused | waiting) != 0) {
        KeepBlocksPending(std::move(image), refused | waiting, refused);
    } else {
        ReturnToPool(std::move(image));
    }
    // Only now: whoever hears the end finds the refused blocks pending again.
    PostWriteNotice(0, 0);
}

void CobaltAmplifier::SettleBlockWrites(QdoHandle handle, platform::Event* stopEvent, platform::Event* cancelEvent)
{
    std::unique_ptr<ParamWriteImage> image;
    {
        std::lock_guard<std::mutex> guard(m_imageLock);
        image = std::move(m_pending);
        if (!image) {
            return;
        }
        // Sent now or never: no block keeps a pause.
        m_retry.Forget(image->DirtyMask());
    }
    // Written first rather than dropped: the edits were made for this amplifier, and the
    // read then returns them; a block the amplifier refuses is read back as it stands.
    if (handle != nullptr && image->DirtyMask() != 0) {
        PostWriteNotice(0, 1);
        const std::uint64_t unwritten = WriteImageBlocks(*image, handle, stopEvent, cancelEvent);
        // No read follows a cancel or a stop to bring those blocks back: they stay pending
        // and go out with the next flush, as any edit does.
        if (unwritten != 0 && platform::AnySignalled({stopEvent, cancelEvent})) {
            KeepBlocksPending(std::move(image), unwritten, 0);
        }
        PostWriteNotice(0, 0);
    }
    if (image) {
        ReturnToPool(std::move(image));
    }
}

std::optional<std::uint64_t> CobaltAmplifier::NextRetryTick()
{
    std::lock_guard<std::mutex> guard(m_imageLock);
    if (!m_pending) {
        return std::nullopt;
    }
    return m_retry.NextDue(m_pending->DirtyMask());
}

std::uint64_t CobaltAmplifier::WriteImageBlocks(ParamWriteImage& image, QdoHandle handle, platform::Event* stopEvent,
                                                platform::Event* cancelEvent)
{
    std::uint64_t remaining = image.DirtyMask();
    const auto total = static_cast<std::intptr_t>(std::popcount(remaining));
    std::uintptr_t done = 0;
    std::uint64_t failed = 0;
    // The lowest bit first: the low mask word before the high one.
    while (remaining != 0) {
        if (platform::AnySignalled({stopEvent, cancelEvent})) {
            failed |= remaining;
            break;
        }
        const std::uint64_t bit = remaining & (~remaining + 1);
        image.SetDirtyMask(bit);
        if (!WriteImageBlock(image, handle, stopEvent, cancelEvent)) {
            failed |= bit;
        }
        ++done;
        PostWriteNotice(done, total);
        remaining &= ~bit;
    }
    return failed;
}

bool CobaltAmplifier::WriteImageBlock(const ParamWriteImage& image, QdoHandle handle, platform::Event* stopEvent,
                                      platform::Event* cancelEvent)
{
    // The write is attempted even when the amplifier never reported ready.
    WaitReady(handle, stopEvent, cancelEvent);
    if (platform::AnySignalled({stopEvent, cancelEvent})) {
        return false;
    }
    // The library reads the image while the operation runs, and an abandoned operation may
    // outlive this write: it gets a copy that lives as long as it needs.
    std::shared_ptr<QdoParamImage> copy(new (std::nothrow) QdoParamImage(*image.AsLibraryImage()));
    if (!copy) {
        return false;
    }
    const QdoParamImage* input = copy.get();
    DeviceOperation operation(*m_library, m_timings.gateLimit, stopEvent, cancelEvent);
    const OperationWait wait{m_timings.operationPoll, m_timings.operationLimit, m_timings.cancelGrace};
    if (!operation.Start([&] { return m_library->WriteMCUbyID(handle, input); }, copy)) {
        return false;
    }
    return operation.Wait(wait, stopEvent, cancelEvent) == DeviceOperation::Outcome::Succeeded &&
           !operation.CancelSent();
}

void CobaltAmplifier::KeepBlocksPending(std::unique_ptr<ParamWriteImage> image, std::uint64_t keep,
                                        std::uint64_t refused)
{
    std::lock_guard<std::mutex> guard(m_imageLock);
    if (!m_pending) {
        image->SetDirtyMask(keep);
        m_pending = std::move(image);
        m_retry.Refused(refused, platform::TickCountMs());
        return;
    }
    // Edits made meanwhile are newer: a kept block goes back only where nothing replaced
    // it, and a replaced block has new data that were never refused.
    const std::uint64_t newer = m_pending->DirtyMask();
    for (std::uint64_t rest = keep & ~newer; rest != 0; rest &= rest - 1) {
        m_pending->CopyDirtyBlock(*image, std::countr_zero(rest));
    }
    m_retry.Refused(refused & ~newer, platform::TickCountMs());
    ReturnToPool(std::move(image));
}

void CobaltAmplifier::PostWriteNotice(std::uintptr_t done, std::intptr_t total)
{
    WindowId window = platform::kNoWindow;
    MessageId message = platform::kNoMessage;
    {
        std::lock_guard<std::mutex> guard(m_notifyLock);
        window = m_notifyWindow;
        message = m_notifyMessage;
    }
    if (window != platform::kNoWindow) {
        platform::PostWindowMessage(window, message, done, total);
    }
}

}  // namespace CobaltDeviceManager
