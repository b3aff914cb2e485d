// Every command id of the editor by name: menu items, tool-bar buttons, accelerators and the
// commands that parts of the editor send or post to the main window. The standard ones carry
// the class library's classic values.
#pragma once

#include <cstdint>

namespace CommandId {

// File, application and help (the class library's standard ids).
inline constexpr std::uint32_t kFileNew = 57600;
inline constexpr std::uint32_t kFileOpen = 57601;
inline constexpr std::uint32_t kFileClose = 57602;
inline constexpr std::uint32_t kFileSave = 57603;
inline constexpr std::uint32_t kFileSaveAs = 57604;
// The recent-file list: 16 ids reserved, the editor shows 10 of them.
inline constexpr std::uint32_t kFileMruFirst = 57616;
inline constexpr std::uint32_t kFileMruLast = 57631;
inline constexpr std::uint32_t kRecentFileCount = 10;
inline constexpr std::uint32_t kAppAbout = 57664;
inline constexpr std::uint32_t kAppExit = 57665;
inline constexpr std::uint32_t kHelpIndex = 57666;
inline constexpr std::uint32_t kHelpTopics = 57667;
inline constexpr std::uint32_t kViewToolBar = 59392;
inline constexpr std::uint32_t kViewStatusBar = 59393;

// Frame.
inline constexpr std::uint32_t kMuteOutputs = 32817;

// New designs (application).
inline constexpr std::uint32_t kNewDesignMV220 = 32827;
inline constexpr std::uint32_t kNewDesignMV440 = 32828;
inline constexpr std::uint32_t kNewDesignMV340A = 32849;
inline constexpr std::uint32_t kNewDesignMV440A = 32858;

// Document: device flows and the commands parts of the editor post to the main window.
inline constexpr std::uint32_t kFirmwareUpdate = 32776;
inline constexpr std::uint32_t kMutePolarity = 32829;
inline constexpr std::uint32_t kGoOnline = 32831;
inline constexpr std::uint32_t kIdlePoll = 32836;
inline constexpr std::uint32_t kUploadToAmp = 32842;
inline constexpr std::uint32_t kDownloadFromAmp = 32843;
inline constexpr std::uint32_t kScanModeClearList = 32846;
inline constexpr std::uint32_t kScanModeKeepList = 32847;
inline constexpr std::uint32_t kDelayedGoOnline = 32853;
inline constexpr std::uint32_t kSaveConfigurationToAmp = 32854;
inline constexpr std::uint32_t kLockApp = 32856;
inline constexpr std::uint32_t kUnlockApp = 32857;

// Block view: the block context menu and the main window's copy and paste keys.
inline constexpr std::uint32_t kCopyBlock = 33066;
inline constexpr std::uint32_t kPasteBlock = 32798;
inline constexpr std::uint32_t kBlockMute = 32807;
inline constexpr std::uint32_t kBlockBypass = 32808;

// Controls of the connection bar that take part in the idle update (update handlers only).
inline constexpr std::uint32_t kConnectionText = 1109;
inline constexpr std::uint32_t kConnectionIcon = 1110;

// Status-bar panes.
inline constexpr std::uint32_t kPaneParameter = 59144;
inline constexpr std::uint32_t kPaneProgress = 59143;

}  // namespace CommandId
