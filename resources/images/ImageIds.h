// Ids of the images the editor shows, as the windows ask for them. Each PNG is embedded as
// ":/png/<id>.png"; the program icon as ":/icon/<size>.png".
#pragma once

namespace ImageId {

// Tool-bar strips: five 24 x 24 cells (New, Open, Save, Mute Outputs, Save Configuration to
// Amp), 24-bit, the colour of the bottom-left pixel (0xC0C0C0) marks what is transparent.
inline constexpr int kToolbarDisabled = 154;
inline constexpr int kToolbarNormal = 155;
inline constexpr int kToolbarMuted = 156;  // the speaker carries a red prohibition mark

// Connection icon of the connection bar: two 24 x 24 cells, 0 red ball (not connected),
// 1 green ball (connected).
inline constexpr int kConnectionIcon = 182;
// Picture of the About box, 124 x 60.
inline constexpr int kAboutPicture = 196;
// Thumb of the mixer's pop-up gain slider, 19 x 11.
inline constexpr int kMixerSliderThumb = 200;
// Output indicator of the meters: four 28 x 28 frames, 0 off, 1 on (green), 2 limiting
// (amber), 3 fault (red).
inline constexpr int kOutputIndicator = 201;
// Legend icons: four 20 x 20 frames matching the output indicator's.
inline constexpr int kLegendIcons = 204;
// Legend button under the output meters, 80 x 25; the meter list writes "Legend" on it.
inline constexpr int kLegendButton = 205;

inline constexpr int kCellSize = 24;          // tool-bar and connection-icon cells
inline constexpr int kIndicatorFrames = 4;    // frames of 201 and 204
inline constexpr int kIconSizes[] = {16, 32, 48};

}  // namespace ImageId
