// The notice shown while the design waits for parameter writes to end before it is closed or
// replaced (template 202): its last text grows one to four dots every 500 ms, and every
// 100 ms it closes itself as soon as no write runs any more (or no amplifier is left to
// write to).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "application/document/DocumentServices.h"
#include "platform/ui/core/Dialog.h"

class DlgWritingParams : public platform::Dialog {
    Q_OBJECT

public:
    static constexpr std::uint32_t kDotsTimer = 1;
    static constexpr std::uint32_t kDotsMs = 500;
    static constexpr std::uint32_t kWritingTimer = 2;
    static constexpr std::uint32_t kWritingMs = 100;

    DlgWritingParams(std::function<bool()> isWriting, IAmplifierDirectory& amplifiers, QWidget* parent = nullptr);

    // The text that the dots follow (the last static text's, with two blanks).
    const std::string& KeptText() const { return keptText_; }

    void OnTimer(std::uint32_t timerId) override;

protected:
    bool OnInitDialog() override;

private:
    std::function<bool()> isWriting_;
    IAmplifierDirectory& amplifiers_;
    QWidget* dotsText_ = nullptr;
    std::string keptText_;
    std::uint32_t counter_ = 0;
};
