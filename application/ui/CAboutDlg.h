// The About box (template 100): the program's picture and version, and the model and
// firmware of the one connected amplifier (both empty otherwise). It closes by itself after
// ten seconds, or when the user clicks on it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/core/Dialog.h"

class CAboutDlg : public platform::Dialog {
    Q_OBJECT

public:
    static constexpr std::uint32_t kCloseTimer = 1;
    static constexpr std::uint32_t kCloseAfterMs = 10000;

    // Texts in UTF-8; an empty text disables its caption and value.
    CAboutDlg(std::string modelText, std::string firmwareText, QWidget* parent = nullptr);

    void OnTimer(std::uint32_t timerId) override;

protected:
    bool OnInitDialog() override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void CloseBox();

    std::string m_modelText;
    std::string m_firmwareText;
};

// Runs the About box modally.
void ShowAboutBox(const std::string& modelText, const std::string& firmwareText);
