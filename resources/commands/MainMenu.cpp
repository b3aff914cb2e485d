// The menu bar of the main window.
#include "resources/commands/MainMenu.h"

#include "resources/commands/CommandIds.h"

namespace {

constexpr MenuItemEntry kFileItems[] = {
    {CommandId::kNewDesignMV220, "Create MV22&0/MV220P Design"},
    {CommandId::kNewDesignMV440, "Create MV44&0/MV440A Design"},
    {CommandId::kNewDesignMV340A, "Create MV340&A Design"},
    {0, {}},
    {CommandId::kFileOpen, "&Open...\tCtrl+O"},
    {CommandId::kFileSave, "&Save\tCtrl+S"},
    {CommandId::kFileSaveAs, "Save &As..."},
    {0, {}},
    // Stands for the recent-file list; the frame puts the files in its place.
    {CommandId::kFileMruFirst, "Recent File"},
    {0, {}},
    {CommandId::kAppExit, "E&xit"},
};

constexpr MenuItemEntry kDeviceItems[] = {
    {CommandId::kMuteOutputs, "Mute &Outputs"},
    {CommandId::kSaveConfigurationToAmp, "Save &Configuration to Amp"},
    {CommandId::kDownloadFromAmp, "&Download From Amp"},
    {0, {}},
    {CommandId::kMutePolarity, "&Mute Polarity"},
    {CommandId::kFirmwareUpdate, "&Firmware Update..."},
};

constexpr MenuItemEntry kHelpItems[] = {
    {CommandId::kHelpTopics, "&Help Topics"},
    {0, {}},
    {CommandId::kAppAbout, "&About Corvantine Editor..."},
};

constexpr MenuItemEntry kDebugItems[] = {
    {CommandId::kNewDesignMV440A, "Create MV440A"},
};

constexpr MenuPopupEntry kPopups[] = {
    {"&File", kFileItems},
    {"&Device", kDeviceItems},
    {"&Help", kHelpItems},
    {"Debug", kDebugItems},
};

}  // namespace

std::span<const MenuPopupEntry> MainMenu()
{
    return kPopups;
}
