// The download's sink: the read-parameters session calls it on the amplifier's worker
// thread. Blocks go into the shared store; progress and the end are posted to the progress
// dialog as "__Kx_Progress__" (code 0 with the percentage, code 1 with the session result).
// It never touches a window: a post to a dialog that has gone is dropped.
#pragma once

#include <cstdint>
#include <memory>

#include "application/transfer/ReadParamStore.h"
#include "device_manager/core/RefCounting.h"
#include "device_manager/sessions/IParamSessions.h"
#include "platform/messages/Messages.h"

// wParam of the progress message.
namespace ProgressNotice {
inline constexpr std::uintptr_t kProgress = 0;  // lParam: the percentage
inline constexpr std::uintptr_t kFinished = 1;  // lParam: the session result (0 done, 1 cancelled, 2 failed)
}  // namespace ProgressNotice

class ReadParamResult : public CobaltDeviceManager::RCObjectRootEx<CobaltDeviceManager::RCObjectMultiThreadModel>,
                        public CobaltDeviceManager::ICDM_Progress,
                        public CobaltDeviceManager::IReadParamSink {
public:
    ReadParamResult(platform::WindowId window, platform::MessageId message, std::shared_ptr<ReadParamStore> store);

    // ICDM_Progress: posts (message, 0, value); the code is not looked at.
    void OnProgress(std::int32_t code, std::int32_t value) override;
    // Posts (message, 1, result).
    void OnComplete(std::int32_t result) override;
    // IReadParamSink: copies the bytes into the store (dropped once the store is closed).
    void OnBlock(std::int32_t blockType, std::int32_t channel, const std::uint8_t* data, std::uint32_t size) override;

protected:
    virtual ~ReadParamResult() = default;

private:
    // Set at construction and only read afterwards, so the worker reads them without a lock.
    const platform::WindowId window_;
    const platform::MessageId message_;
    const std::shared_ptr<ReadParamStore> store_;  // the store locks itself
};

// A new sink with count 2: one reference for each of the two faces handed out. True, or false
// (both outputs null) when memory is short.
bool CreateReadParamResult(platform::WindowId window, platform::MessageId message,
                           std::shared_ptr<ReadParamStore> store, CobaltDeviceManager::ICDM_Progress** progress,
                           CobaltDeviceManager::IReadParamSink** sink);
