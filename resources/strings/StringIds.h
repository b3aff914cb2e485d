// Names for the string-table ids, so callers say which text they show rather than a bare number.
#pragma once

#include <cstdint>

namespace StringId {

// Document template: title, names, file filter and registry type, '\n'-separated (see DocTemplateString).
inline constexpr std::uint32_t kDocTemplate = 128;

// Project file, document and installation.
inline constexpr std::uint32_t kProjectSaveFailed = 130;
inline constexpr std::uint32_t kProjectUnknownParameters = 154;
inline constexpr std::uint32_t kProjectTagMismatch = 155;
inline constexpr std::uint32_t kProjectModelMissing = 156;
inline constexpr std::uint32_t kProjectCannotOpen = 157;
inline constexpr std::uint32_t kProjectCorrupted = 149;
inline constexpr std::uint32_t kProjectLoadControllersFailed = 179;
inline constexpr std::uint32_t kControllersInitFailed = 150;
inline constexpr std::uint32_t kBrokenInstallation = 16397;
inline constexpr std::uint32_t kSpeakerEqCorrupt = 147;
inline constexpr std::uint32_t kViewLayoutFileName = 16390;

// Panels and the block clipboard.
inline constexpr std::uint32_t kParamChangeFailed = 152;
inline constexpr std::uint32_t kPasteFailed = 151;
inline constexpr std::uint32_t kBadNumberFormat = 16527;  // %d (minimum), %d (maximum)
inline constexpr std::uint32_t kNumberOutOfRange = 16531; // %d (minimum), %d (maximum)

// Going online, uploads and downloads.
inline constexpr std::uint32_t kNoAmplifier = 131;
inline constexpr std::uint32_t kSeveralDevices = 132;
inline constexpr std::uint32_t kFirmwareIncompatible = 134;
inline constexpr std::uint32_t kModelMismatchUpload = 135;
inline constexpr std::uint32_t kSeveralAmplifiersFirmware = 136;
inline constexpr std::uint32_t kSeveralAmplifiersOnline = 153;
inline constexpr std::uint32_t kConfirmUpload = 162;
inline constexpr std::uint32_t kConfirmDownload = 163;
inline constexpr std::uint32_t kDownloadStartFailed = 164;
inline constexpr std::uint32_t kDownloadFailed = 166;
inline constexpr std::uint32_t kConnectedModelMismatch = 168;
inline constexpr std::uint32_t kMuteToggleFailed = 171;
inline constexpr std::uint32_t kConfigSwitchNotSoftware = 173;
inline constexpr std::uint32_t kConfigSwitchUnknown = 176;
inline constexpr std::uint32_t kFirmwareVersionUnknown = 177;
inline constexpr std::uint32_t kConvertToMV340A = 181;
inline constexpr std::uint32_t kConvertToMV440 = 182;
inline constexpr std::uint32_t kConvertFailed = 183;
inline constexpr std::uint32_t kSavingConfiguration = 184;
inline constexpr std::uint32_t kConfigSwitchRear = 185;
inline constexpr std::uint32_t kConfigNotStored = 186;

// Firmware update.
inline constexpr std::uint32_t kNoFirmwareFiles = 137;
inline constexpr std::uint32_t kFirmwareUpToDate = 138;
inline constexpr std::uint32_t kFirmwareNeedsUpdate = 139; // %u.%02u (amplifier), %u.%02u (newest file)
inline constexpr std::uint32_t kFirmwareStartFailed = 141;
inline constexpr std::uint32_t kFirmwareUpdated = 143;
inline constexpr std::uint32_t kFirmwareWriting = 145;
inline constexpr std::uint32_t kFirmwareSwitchingMode = 146;
inline constexpr std::uint32_t kFirmwareVersionUnidentified = 148;
inline constexpr std::uint32_t kFirmwareRestarting = 170;
inline constexpr std::uint32_t kFirmwareFileIncompatible = 174;
inline constexpr std::uint32_t kFirmwareSelectFile = 175;
inline constexpr std::uint32_t kFirmwareOfferUpdate = 178;
inline constexpr std::uint32_t kFirmwareUpdateFailed = 180;

// Delay units, graph titles, button texts and preset names.
inline constexpr std::uint32_t kDelayUnitMsec = 16412;
inline constexpr std::uint32_t kDelayUnitMeter = 16413;
inline constexpr std::uint32_t kDelayUnitFeet = 16414;
inline constexpr std::uint32_t kGraphTitle = 16422;
inline constexpr std::uint32_t kFrequencyResponse = 16423;
inline constexpr std::uint32_t kBypass = 16426;
inline constexpr std::uint32_t kFlatPreset = 16433;
inline constexpr std::uint32_t kWidthAsQ = 16538;
inline constexpr std::uint32_t kWidthAsBandwidth = 16539;

// Filter-type names: the type code is the id minus kFilterTypeBase (16435 "Flat" ... 16450).
inline constexpr std::uint32_t kFilterTypeBase = 16435;
inline constexpr std::uint32_t kFilterTypeLast = 16450;

// Command strings ("prompt\ntool tip") and status-bar pane texts.
inline constexpr std::uint32_t kCommandFileNew = 57600;
inline constexpr std::uint32_t kCommandFileOpen = 57601;
inline constexpr std::uint32_t kCommandFileSave = 57603;
inline constexpr std::uint32_t kCommandMuteOutputs = 32817;
inline constexpr std::uint32_t kCommandUploadToAmp = 32842;
inline constexpr std::uint32_t kCommandDelayGoOnline = 32853;
inline constexpr std::uint32_t kCommandSaveConfiguration = 32854;
inline constexpr std::uint32_t kPaneProgress = 59143;
inline constexpr std::uint32_t kPaneParameter = 59144;

} // namespace StringId
