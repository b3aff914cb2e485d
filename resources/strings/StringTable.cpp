// The string table itself. Texts are kept exactly as the program has always shown them,
// spelling included, because users and support documents quote them.
#include "resources/strings/StringTable.h"

#include <algorithm>
#include <iterator>

#include "resources/strings/StringIds.h"

namespace {

// Sorted by id; the table test checks the order and that ids are unique.
constexpr StringEntry kEntries[] = {
    {128, "Corvantine Editor\n\n\nCorvantine Editor Project file(*.cvp)\n.cvp\nCorvantine Editor.Document\nCorvantine Document", ""},
    {130, "Failed to save a Corvantine scene file.", ""},
    {131, "No Corvantine amplifier was detected.\n\nCheck the USB connection and ensure the amplifier is powered on.", ""},
    {132, "Two or more devices are connected.\nConnect only one device at a time.", ""},
    {134, "Firmware version is not compatible. \n\nPlease upgrade firmware.", ""},
    {135, "The model in the design does not match the model of the connected device. It cannot upload the current project.", ""},
    {136, "There are two or more amplifiers connected to the PC.\nConnect a single amplifier to update firmware.", ""},
    {137, "No firmware files found.\nPlease reinstall this software.", ""},
    {138, "Current firmware is up-to-date.\nNo need to update.", ""},
    {139, "Firmware needs to be updated.\n\nCurrent version : v%u.%02u\nLatest version : v%u.%02u", "uuuu"},
    {141, "Cannot start firmware update for some reason.", ""},
    {143, "Firmware is successfully updated.", ""},
    {145, "Firmware updating process is in progress now.\n\nDO NOT TURN OFF THE AMPLIFIER!", ""},
    {146, "Switching to firmware upgrade mode...", ""},
    {147, "There is a problem with Speaker EQ settings.\n\n Please reinstall software to fix it.", ""},
    {148, "Firmware version cannot be identified.\n\nPlease select a firmware file for updating.", ""},
    {149, "Cannot open Corvantine Project file.\n\nThe file is corrupted or in incorrect format.", ""},
    {150, "Internal error!\n\nAn error occurred in intializing module controls.\nIt may not work correctly, even if it looks good.", ""},
    {151, "An error occurred when pasting to the clipboard.\n\nThe module which was supposed to receive parameters may have incorrect parameters now.", ""},
    {152, "An error occurred in changing a parameter.", ""},
    {153, "There are two or more amplifiers connected to the PC.\nIt cannot go online if multiple amplifiers are connected.", ""},
    {154, "Project file contains unknown parameters.\n\nThis is not an error and you can start designing the project, but note that some of parameters are not loaded properly in the design.\nThis message may be displayed when opening a project file that is created by newer version of Corvantine Editor.", ""},
    {155, "Project file read error.\n\nFile tag does not match.", ""},
    {156, "Project file read error.\n\nTarget model of Corvantine model is missing in the project file or unknown.", ""},
    {157, "Project file read error.\n\nProject file does not exist or is not allowed to open.", ""},
    {162, "Upload software configuration to the amplifier ?\n\nExisting amplifier configuration will be overwritten.", ""},
    {163, "Download configuration from the amplifier ?\n\nExisting software configuration will be overwritten.", ""},
    {164, "Cannot start downloading parameters for some reason.", ""},
    {166, "An error occurred during downloading parameters.", ""},
    {168, "Connected model does not match the current design.", ""},
    {170, "Restarting amplifier. Please wait a moment.", ""},
    {171, "An error occured for some reason while toggling system mute.", ""},
    {173, "CONFIG setting of DIP swtiches in the rear panel is not in SOFTWARE mode.\nDo you want to upload parameters to amp anyway?\n\n[YES] : Parameters are uploaded but it will not take effect until the CONFIG setting is set to SOFTWARE.\n[NO]  : Cancel to upload parameters.", ""},
    {174, "The selected firmware file is not compatible with the connected amplifier, or the version in the connected amplifier is not correctly identified. Proceeding with the updating process may damage the amplifier.\n\nWould you like to update firmware anyway?", ""},
    {175, "Please select a firmware file for updating.", ""},
    {176, "Cannot detect if the amplifier is in SOFTWARE mode or not. You can proceed to upload parameters, but they may not take effect immediately.\n\nWould you like to upload parameters to amp anyway?", ""},
    {177, "Unable to detect firmware version or invalid version. Uploading/downloading parameters to/from amp may not work correctly.\n\nWould you like to proceed anyway?", ""},
    {178, "Firmware version of the connected amplifier is not up-to-date.\n\nWould you like to update it now?", ""},
    {179, "An error occurred when loading the project file.\nSome settings may not have loaded properly.", ""},
    {180, "Failed to update firmware. ", ""},
    {181, "Current design for MV440/MV440A needs to be converted into MV340A before you can upload the design.\n\nDo you want to convert it now?\n\nIf converted, some of limiter settings may change.", ""},
    {182, "Current design for MV340A needs to be converted into MV440/MV440A before you can upload the design.\n\nDo you want to convert it now?\n", ""},
    {183, "Cannot convert model type.", ""},
    {184, "Uploading configuration to the amplifier.\n\nPlease wait a moment.", ""},
    {185, "CONFIG DIP switch is set to \"REAR\" \n\nChange the CONFIG DIP switch to \"Software\" in order to use Corvantine Editor.", ""},
    {186, "The configuration was not stored in the amplifier.", ""},
    {16390, "ViewEnvironment.txt", ""},
    {16397, "There is a problem with this installation of Corvantine Editor.\n\nPlease reinstall.", ""},
    {16412, "msec", ""},
    {16413, "meter", ""},
    {16414, "feet", ""},
    {16422, "Graph Title", ""},
    {16423, "Frequency Response", ""},
    {16426, "Bypass", ""},
    {16433, "Flat", ""},
    {16435, "Flat", ""},
    {16436, "Butterworth 6", ""},
    {16437, "Butterworth 12", ""},
    {16438, "Butterworth 18", ""},
    {16439, "Butterworth 24", ""},
    {16440, "Butterworth 36", ""},
    {16441, "Butterworth 48", ""},
    {16442, "Bessel 12", ""},
    {16443, "Bessel 18", ""},
    {16444, "Bessel 24", ""},
    {16445, "Bessel 36", ""},
    {16446, "Bessel 48", ""},
    {16447, "Linkwitz-Riley 12", ""},
    {16448, "Linkwitz-Riley 24", ""},
    {16449, "Linkwitz-Riley 36", ""},
    {16450, "Linkwitz-Riley 48", ""},
    {16527, "Bad Format.\n\nChoose a number between %d and %d", "ii"},
    {16531, "Choose a number between %d and %d", "ii"},
    {16538, "Q", ""},
    {16539, "BW", ""},
    {32817, "\nMute Outputs", ""},
    {32842, "Upload To Amp", ""},
    {32853, "Delay GoOnline", ""},
    {32854, "Save Configuration to Amp\nSave Configuration to Amp", ""},
    {57600, "\nNew", ""},
    {57601, "\nOpen", ""},
    {57603, "\nSave", ""},
    {59143, "Progress", ""},
    {59144, "Parameter", ""},
};

} // namespace

std::span<const StringEntry> StringTableEntries() { return kEntries; }

const StringEntry* FindStringEntry(std::uint32_t id) {
  const auto* end = std::end(kEntries);
  const auto* it = std::lower_bound(std::begin(kEntries), end, id,
                                    [](const StringEntry& e, std::uint32_t key) { return e.id < key; });
  if (it == end || it->id != id) {
    return nullptr;
  }
  return it;
}

std::string LoadStringId(std::uint32_t id) {
  const StringEntry* entry = FindStringEntry(id);
  return entry ? std::string(entry->text) : std::string();
}

std::string ExtractSubString(std::string_view text, int index, char separator) {
  if (index < 0) {
    return {};
  }
  std::size_t start = 0;
  for (int i = 0; i < index; ++i) {
    std::size_t next = text.find(separator, start);
    if (next == std::string_view::npos) {
      return {};
    }
    start = next + 1;
  }
  std::size_t end = text.find(separator, start);
  return std::string(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::string DocTemplateString(DocTemplateField field) {
  const StringEntry* entry = FindStringEntry(StringId::kDocTemplate);
  return entry ? ExtractSubString(entry->text, static_cast<int>(field)) : std::string();
}

std::string CommandPromptText(std::uint32_t commandId) {
  const StringEntry* entry = FindStringEntry(commandId);
  return entry ? ExtractSubString(entry->text, 0) : std::string();
}

std::string CommandToolTipText(std::uint32_t commandId) {
  const StringEntry* entry = FindStringEntry(commandId);
  return entry ? ExtractSubString(entry->text, 1) : std::string();
}
