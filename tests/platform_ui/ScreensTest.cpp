// Screenshot of the test template, so the look of the built controls can be checked by eye
// in <build>/screens.
#include <QImage>
#include <gtest/gtest.h>

#include "platform/ui/core/Dialog.h"
#include "tests/platform_ui/TestDialogTemplate.h"
#include "tests/support/ScreenShot.h"

TEST(Screens, TemplateDialogWithEveryControlKind)
{
    platform::Dialog dialog(test_templates::kTestDialog, platform::Dialog::Kind::Modeless);
    dialog.Build();
    const std::filesystem::path written = SaveScreenShot(dialog, "platform_ui_template_dialog");
    ASSERT_FALSE(written.empty());
    const QImage image(QString::fromStdString(written.string()));
    EXPECT_EQ(image.size(), dialog.size());
    EXPECT_FALSE(dialog.isVisible());
}
