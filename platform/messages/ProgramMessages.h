// The editor's registered window messages, one accessor each, and the name of its block
// clipboard format. All of them are registered together, in table order, on first use (or
// by RegisterProgramMessages at start-up), so their ids stay the same for the whole run.
#pragma once

#include <string_view>

#include "platform/messages/Messages.h"

namespace platform {

inline constexpr std::string_view kMsgFromSliderName = "__Kx_MsgFromSlider__";
inline constexpr std::string_view kMsgDelayDestroyWindowName = "__Kx_DelayDestroyWindow__";
inline constexpr std::string_view kMsgReflectReturnName = "VeskQuarry_ReflectReturn";
inline constexpr std::string_view kMsgForceDefButtonName = "__wmForceDefButton__";
inline constexpr std::string_view kMsgErrorName = "VescQuarry_Error";
inline constexpr std::string_view kMsgProgressName = "__Kx_Progress__";
inline constexpr std::string_view kMsgCorruptSpEqFileName = "VeskQuarry_CorruptSpEqFile";
inline constexpr std::string_view kMsgDeviceChangedName = "_Kx_WmDeviceChanged_";
inline constexpr std::string_view kMsgKickStartDeviceWatcherName = "VeskQuarry_KickStartDeviceWatcher";
inline constexpr std::string_view kMsgNotifySaveConfigName = "VeskQuarry_NotifySaveConfig";
inline constexpr std::string_view kMsgNotifyWritingParamName = "VeskQuarry_NotifyWritingParam";
inline constexpr std::string_view kMsgNotifyChangedName = "__Ovt_NotifyChanged__";
inline constexpr std::string_view kMsgNotifyDraggingName = "VeskQuarry_NotifyDragging";

// The clipboard format of a copied block.
inline constexpr std::string_view kBlockParamClipboardFormat = "__VeskQuarry_BlockParamInfo__";

// Registers every message above (idempotent); any thread.
void RegisterProgramMessages();

// pop-up slider -> cross-point button (sent): 0, pointer to {value, tracking}
MessageId MsgFromSlider();
// pop-up slider -> itself: close
MessageId MsgDelayDestroyWindow();
// panel OK -> parent of the focused edit (posted): 0, focused window
MessageId MsgReflectReturn();
// upload-or-download dialog -> itself: focus the default button
MessageId MsgForceDefButton();
// firmware dialog -> itself: the amplifier's version could not be read
MessageId MsgError();
// session progress sinks -> progress dialogs: code, value
MessageId MsgProgress();
// start-up -> main frame: the speaker-EQ library did not load
MessageId MsgCorruptSpEqFile();
// device manager -> main frame: the set of amplifiers changed
MessageId MsgDeviceChanged();
// main frame -> itself after creation: start watching devices
MessageId MsgKickStartDeviceWatcher();
// save-configuration session -> main frame: 1 before, 0 after
MessageId MsgNotifySaveConfig();
// amplifier worker -> main frame: done, total
MessageId MsgNotifyWritingParam();
// rows and embedded views -> their panel: index, flag
MessageId MsgNotifyChanged();
// parametric response view -> input-EQ panel: 0 dragging, 1 done
MessageId MsgNotifyDragging();

}  // namespace platform
