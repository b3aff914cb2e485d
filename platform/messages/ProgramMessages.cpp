// Registration of the editor's window messages, in one fixed order.
#include "platform/messages/ProgramMessages.h"

#include <array>
#include <cstddef>

namespace platform {
namespace {

enum Index : std::size_t {
    kFromSlider,
    kDelayDestroyWindow,
    kReflectReturn,
    kForceDefButton,
    kError,
    kProgress,
    kCorruptSpEqFile,
    kDeviceChanged,
    kKickStartDeviceWatcher,
    kNotifySaveConfig,
    kNotifyWritingParam,
    kNotifyChanged,
    kNotifyDragging,
    kCount
};

constexpr std::array<std::string_view, kCount> kNames = {
    kMsgFromSliderName,          kMsgDelayDestroyWindowName, kMsgReflectReturnName,
    kMsgForceDefButtonName,      kMsgErrorName,              kMsgProgressName,
    kMsgCorruptSpEqFileName,     kMsgDeviceChangedName,      kMsgKickStartDeviceWatcherName,
    kMsgNotifySaveConfigName,    kMsgNotifyWritingParamName, kMsgNotifyChangedName,
    kMsgNotifyDraggingName,
};

// Thread-safe one-time registration; the ids never change afterwards.
const std::array<MessageId, kCount>& Ids()
{
    static const std::array<MessageId, kCount> ids = [] {
        std::array<MessageId, kCount> registered{};
        for (std::size_t i = 0; i < kCount; ++i) {
            registered[i] = RegisterMessage(kNames[i]);
        }
        return registered;
    }();
    return ids;
}

}  // namespace

void RegisterProgramMessages()
{
    Ids();
}

MessageId MsgFromSlider() { return Ids()[kFromSlider]; }
MessageId MsgDelayDestroyWindow() { return Ids()[kDelayDestroyWindow]; }
MessageId MsgReflectReturn() { return Ids()[kReflectReturn]; }
MessageId MsgForceDefButton() { return Ids()[kForceDefButton]; }
MessageId MsgError() { return Ids()[kError]; }
MessageId MsgProgress() { return Ids()[kProgress]; }
MessageId MsgCorruptSpEqFile() { return Ids()[kCorruptSpEqFile]; }
MessageId MsgDeviceChanged() { return Ids()[kDeviceChanged]; }
MessageId MsgKickStartDeviceWatcher() { return Ids()[kKickStartDeviceWatcher]; }
MessageId MsgNotifySaveConfig() { return Ids()[kNotifySaveConfig]; }
MessageId MsgNotifyWritingParam() { return Ids()[kNotifyWritingParam]; }
MessageId MsgNotifyChanged() { return Ids()[kNotifyChanged]; }
MessageId MsgNotifyDragging() { return Ids()[kNotifyDragging]; }

}  // namespace platform
