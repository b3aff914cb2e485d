// The write-progress label: a static text over the status bar's message pane while the
// amplifier's worker writes parameters, painted as a green bar split at the share done,
// with " Writing parameters... (n%)" drawn over it.
#pragma once

#include <cstdint>
#include <string>

#include <QWidget>

#include "platform/ui/drawing/ColorRef.h"

inline constexpr platform::ColorRef kWriteProgressGreen = 0x20E020;  // RGB(32, 224, 32)
inline constexpr platform::ColorRef kWriteProgressRest = 0xC0C0C0;   // the light-grey stock brush
inline constexpr const char* kWriteProgressIdleText = " Writing parameters...";

class CWriteProgressLabel : public QWidget {
    Q_OBJECT

public:
    explicit CWriteProgressLabel(QWidget* parent = nullptr);

    // Stores the pair and the text for it (total 0 leaves the text as it is).
    void SetProgress(std::uint32_t done, std::uint32_t total);
    std::uint32_t Done() const { return m_done; }
    std::uint32_t Total() const { return m_total; }
    const std::string& Text() const { return m_text; }

    // " Writing parameters... (%d%%)" with done x 100 / total (0 for total 0).
    static std::string ProgressText(std::uint32_t done, std::uint32_t total);
    // Where the green part ends for a label from left to right: ((total - done) x left +
    // done x right) / total, kept within [left, right]; left for total 0.
    static int SplitX(int left, int right, std::uint32_t done, std::uint32_t total);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::uint32_t m_done = 0;
    std::uint32_t m_total = 0;
    std::string m_text = kWriteProgressIdleText;
};
