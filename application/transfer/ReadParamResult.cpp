// The download's sink.
#include "application/transfer/ReadParamResult.h"

#include <utility>

#include "platform/messages/MessagePoster.h"

using CobaltDeviceManager::ICDM_Progress;
using CobaltDeviceManager::IReadParamSink;
using CobaltDeviceManager::RCObject2;

ReadParamResult::ReadParamResult(platform::WindowId window, platform::MessageId message,
                                 std::shared_ptr<ReadParamStore> store)
    : window_(window), message_(message), store_(std::move(store))
{
}

void ReadParamResult::OnProgress(std::int32_t /*code*/, std::int32_t value)
{
    platform::PostWindowMessage(window_, message_, ProgressNotice::kProgress, value);
}

void ReadParamResult::OnComplete(std::int32_t result)
{
    platform::PostWindowMessage(window_, message_, ProgressNotice::kFinished, result);
}

void ReadParamResult::OnBlock(std::int32_t blockType, std::int32_t channel, const std::uint8_t* data,
                              std::uint32_t size)
{
    if (store_) {
        store_->StoreBlock(static_cast<std::uint32_t>(blockType), static_cast<std::uint32_t>(channel), data, size);
    }
}

bool CreateReadParamResult(platform::WindowId window, platform::MessageId message,
                           std::shared_ptr<ReadParamStore> store, ICDM_Progress** progress, IReadParamSink** sink)
{
    *progress = nullptr;
    *sink = nullptr;
    auto* object = CobaltDeviceManager::CreateRCObject<RCObject2<ReadParamResult, IReadParamSink*>>(window, message,
                                                                                                   std::move(store));
    if (object == nullptr) {
        return false;
    }
    // The second face holds a reference of its own.
    object->AddRef();
    *progress = object;
    *sink = object;
    return true;
}
