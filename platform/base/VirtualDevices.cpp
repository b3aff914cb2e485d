// Reading the virtual-device environment.
#include "platform/base/VirtualDevices.h"

#include <cstdlib>

namespace platform {

namespace {

std::optional<std::filesystem::path> FolderOf(const char* variable)
{
    const char* value = std::getenv(variable);
    if (value == nullptr || value[0] == '\0') {
        return std::nullopt;
    }
    return std::filesystem::path(value);
}

}  // namespace

std::optional<std::filesystem::path> VirtualHidFolder()
{
    return FolderOf(kVirtualHidFolderVariable);
}

std::optional<std::filesystem::path> VirtualFirmwareFolder()
{
    if (!VirtualHidFolder()) {
        return std::nullopt;
    }
    return FolderOf(kVirtualFirmwareFolderVariable);
}

}  // namespace platform
