// Texts and names of the application and its frame that are fixed in the code rather than in
// the string table.
#pragma once

#include <string_view>

// The help file in the Data folder.
inline constexpr std::string_view kHelpFileName = "CV_Editor_CHM.chm";

// When nothing on this desktop opens the help file (%s: its path).
inline constexpr std::string_view kHelpViewerMissingText =
    "The help file \"%s\" could not be opened.\n\nA CHM viewer such as xchm is needed to read it.";

// Closing while the outputs are muted by software.
inline constexpr std::string_view kSoftwareMuteWarningText =
    "Warning: Unplugging the USB cable will cause the software mute to unmute.\n\nUse the rear panel mute connector "
    "to mute the amplifier after software disconnect.";

// The framework's question before a modified design is closed or replaced (%s: its name).
inline constexpr std::string_view kSaveChangesText = "Save changes to %s?";
// A design without a name.
inline constexpr std::string_view kUntitledName = "Untitled";
inline constexpr std::string_view kOpenDialogTitle = "Open";
inline constexpr std::string_view kSaveAsDialogTitle = "Save As";
inline constexpr std::string_view kAllFilesFilter = "All Files (*)";
