// The block view's context menu.
#include "resources/commands/BlockMenu.h"

#include "resources/commands/CommandIds.h"

namespace {

constexpr MenuItemEntry kBlockItems[] = {
    {CommandId::kCopyBlock, "Copy Block"},
    {CommandId::kPasteBlock, "Paste Block"},
    {0, {}},
    {CommandId::kBlockMute, "Mute"},
    {CommandId::kBlockBypass, "Bypass"},
};

constexpr MenuPopupEntry kPopups[] = {
    {"Block", kBlockItems},
};

}  // namespace

std::span<const MenuPopupEntry> BlockMenu()
{
    return kPopups;
}
