// The delay panel's unit in a whole editor: choosing it is an edit of the design, and a
// design saved and opened again shows its delays in the unit chosen.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QtTest/QTest>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CControlView.h"
#include "application/ui/CMainFrame.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LDelayDialogController.h"
#include "dsp_blocks/ui/LDelay.h"
#include "dsp_blocks/ui/LDelayTime.h"
#include "resources/templates/DelayPanelTemplate.h"
#include "resources/templates/DelayRowTemplate.h"
#include "tests/app_ui/EditorFixture.h"

namespace {

TEST(DelayUnitFile, FeetChosenAndADelayEditedComeBackFromTheSavedFile)
{
    ResetUserState();
    EditorFixture editor;
    ASSERT_TRUE(editor.Start());
    CCorvantEditorDoc& document = *editor.App().GetDocument();
    CControlView& controls = *editor.Frame().GetControlView();
    LDelay* panel = OpenDelayPanel(document, controls);
    ASSERT_NE(panel, nullptr);
    ASSERT_GE(panel->RowCount(), 2u);
    document.SetModifiedFlag(false);
    auto* units = panel->ItemAs<QComboBox>(DelayPanelIds::kUnits);
    QTest::keyClick(units, Qt::Key_End);
    ASSERT_EQ(units->currentText(), "feet");
    EXPECT_TRUE(document.IsModified());
    // A later edit writes the second block only; the choice is already in every one.
    auto* edit = panel->Row(1)->ItemAs<QLineEdit>(DelayRowIds::kDelay);
    edit->setText("11.25");
    panel->Row(1)->OnEditKillFocus(DelayRowIds::kDelay);
    PumpEvents();
    const auto path = editor.folder.Path() / "feet.cvp";
    ASSERT_TRUE(document.OnSaveDocument(path));
    ASSERT_TRUE(document.OnOpenDocument(path));
    EXPECT_FALSE(document.IsModified());
    panel = OpenDelayPanel(document, controls);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->UnitCode(), LDelayDialogController::kUnitFeet);
    EXPECT_EQ(panel->ItemAs<QComboBox>(DelayPanelIds::kUnits)->currentText(), "feet");
    EXPECT_EQ(panel->Row(1)->ItemAs<QLineEdit>(DelayRowIds::kDelay)->text(), "11.25");
    EXPECT_EQ(panel->Row(0)->ItemAs<QLineEdit>(DelayRowIds::kDelay)->text(), "0.00");
}

}  // namespace
