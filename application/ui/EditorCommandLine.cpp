// Parsing of the editor's command line and the tool switches' files.
#include "application/ui/EditorCommandLine.h"

#include <fstream>

#include "platform/base/TextTokenizer.h"
#include "platform/base/Cp1252.h"
#include "resources/strings/StringTable.h"

namespace {

constexpr std::string_view kVersionSwitch = "version";
constexpr std::string_view kStringSwitch = "string";
constexpr std::string_view kIntegerDrawerFlag = "na";

bool HasSwitchPrefix(std::string_view arg)
{
    return !arg.empty() && (arg.front() == '-' || arg.front() == '/');
}

bool IsKnownSwitch(std::string_view name)
{
    return name == kVersionSwitch || name == kStringSwitch || name == kIntegerDrawerFlag;
}

// A switch name, or nothing for an argument that is no switch. '/' starts a switch only for
// the editor's own names, since it also starts every absolute path here.
std::optional<std::string_view> SwitchName(std::string_view arg)
{
    if (!HasSwitchPrefix(arg)) {
        return std::nullopt;
    }
    const std::string_view name = arg.substr(1);
    if (arg.front() == '/' && !IsKnownSwitch(name)) {
        return std::nullopt;
    }
    return name;
}

}  // namespace

ToolSwitchRequest ScanToolSwitches(std::span<const std::string> args)
{
    ToolSwitchRequest request;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::optional<std::string_view> name = SwitchName(args[i]);
        if (!name) {
            continue;
        }
        if (*name == kVersionSwitch && i + 1 < args.size()) {
            request.versionPath = std::filesystem::path(args[++i]);
        } else if (*name == kStringSwitch && i + 1 < args.size()) {
            const std::int32_t id = ParseLeadingInt(std::string_view(args[i + 1]));
            if (id == 0) {
                break;
            }
            ++i;
            request.stringId = static_cast<std::uint32_t>(id);
            if (i + 1 < args.size()) {
                request.stringPath = std::filesystem::path(args[++i]);
            }
        }
    }
    return request;
}

std::string ToolSwitchText(const ToolSwitchRequest& request)
{
    if (request.versionPath) {
        return std::string(kToolVersionText);
    }
    return platform::Utf8ToCp1252(LoadStringId(request.stringId));
}

bool WriteToolSwitchFile(const ToolSwitchRequest& request)
{
    const std::optional<std::filesystem::path>& path = request.versionPath ? request.versionPath : request.stringPath;
    if (!path) {
        return false;
    }
    // The whole file is replaced: a shorter text must not leave the tail of an older one.
    std::ofstream file(*path, std::ios::binary | std::ios::trunc);
    if (!file) {
        return false;
    }
    const std::string text = ToolSwitchText(request);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    return !file.fail();
}

EditorCommandLine ParseEditorCommandLine(std::span<const std::string> args)
{
    EditorCommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::optional<std::string_view> name = SwitchName(args[i]);
        if (!name) {
            if (!line.fileToOpen && !args[i].empty()) {
                line.fileToOpen = std::filesystem::path(args[i]);
            }
            continue;
        }
        if (*name == kIntegerDrawerFlag) {
            line.integerDrawer = true;
        } else if (*name == kVersionSwitch) {
            ++i;
        } else if (*name == kStringSwitch) {
            i += 2;
        }
    }
    return line;
}
