// Message boxes by string id: caption, text, the default-icon rule, answers from the scripted
// driver (and its loud failure for a box nobody scripted), and the counted beep.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "platform/ui/core/MessageBox.h"
#include "platform/ui/core/ModalState.h"
#include "resources/strings/StringIds.h"
#include "tests/support/ModalDriver.h"

using namespace platform;

namespace {

void ShowUnscriptedBox()
{
    ModalDriver driver;
    EXPECT_EQ(MessageBoxId(StringId::kConfirmUpload, MessageIcon::Default, MessageButtons::YesNo), MessageAnswer::No);
}

}  // namespace

TEST(MessageBoxes, ShowStringTableTextsWithTheProgramCaptionAndTheDefaultIcons)
{
    ModalDriver driver;
    driver.AnswerBox(StringId::kConfirmUpload, MessageAnswer::Yes)
        .AnswerBox(MessageAnswer::Ok)
        .AnswerBox(StringId::kBadNumberFormat, MessageAnswer::Ok)
        .AnswerBox(MessageAnswer::Cancel);
    EXPECT_EQ(MessageBoxId(StringId::kConfirmUpload, MessageIcon::Default, MessageButtons::YesNo), MessageAnswer::Yes);
    EXPECT_EQ(MessageBoxText("Cannot update firmware for now.", MessageIcon::None), MessageAnswer::Ok);
    ErrorBoxFromResource(StringId::kBadNumberFormat, 1, 10);
    EXPECT_EQ(MessageBoxText("Proceed?", MessageIcon::Default, MessageButtons::OkCancel), MessageAnswer::Cancel);

    ASSERT_EQ(driver.Boxes().size(), 4u);
    const ModalDriver::Box& question = driver.Boxes()[0];
    EXPECT_EQ(question.caption, "Corvantine Editor");
    EXPECT_EQ(question.text,
              "Upload software configuration to the amplifier ?\n\nExisting amplifier configuration will be overwritten.");
    EXPECT_EQ(question.icon, MessageIcon::Question);
    EXPECT_EQ(driver.Boxes()[1].icon, MessageIcon::None);
    EXPECT_EQ(driver.Boxes()[1].stringId, 0u);
    EXPECT_EQ(driver.Boxes()[2].text, "Bad Format.\n\nChoose a number between 1 and 10");
    EXPECT_EQ(driver.Boxes()[2].icon, MessageIcon::Error);
    EXPECT_EQ(driver.Boxes()[3].icon, MessageIcon::Warning);
    EXPECT_EQ(ModalDepth(), 0);
}

TEST(MessageBoxes, AnUnscriptedBoxFailsTheTestAndIsRefused)
{
    EXPECT_NONFATAL_FAILURE(ShowUnscriptedBox(), "unscripted message box 162");
}

TEST(MessageBoxes, TheBeepIsCounted)
{
    const int before = BeepCount();
    MessageBeep();
    MessageBeep();
    EXPECT_EQ(BeepCount(), before + 2);
}
