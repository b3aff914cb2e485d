// The mixer panel over a real controller and block: the grid it shows for two and four
// channels, cross points toggled by mouse and Space, the label length rule, and the pop-up
// gain slider's scale, keys and drag, each gesture reaching the block once; a drag that
// ends by Escape or a lost focus leaves the button on the gain the controller holds.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include <QApplication>
#include <QLineEdit>
#include <QtTest/QTest>

#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/ui/CrossPointButton.h"
#include "dsp_blocks/ui/DStdMixer.h"
#include "dsp_blocks/ui/InplaceSliderX.h"
#include "platform/ui/core/ControlNotify.h"
#include "platform/ui/core/DialogUnits.h"
#include "platform/ui/core/ManualTimerService.h"
#include "resources/templates/StdMixerPanelTemplate.h"
#include "tests/dsp_ui_panels2/PanelHost.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RecordingAmplifier.h"

namespace {

using namespace StdMixerPanelIds;

class MixerPanel : public ::testing::Test {
protected:
    ~MixerPanel() override
    {
        if (controller != nullptr) {
            controller->CloseDialog();
        }
        RunDeferredDeletes();
        block.SetAmplifier(nullptr);
    }

    void Open(std::int32_t channels)
    {
        block.type = BlockType::StdMixer;
        block.outputCount = channels;
        block.name = u"Mixer";
        controller = std::make_unique<CStdMixerController>(block);
        ASSERT_TRUE(controller->Load());
        block.SetAmplifier(&amp);
        panel = dynamic_cast<DStdMixer*>(controller->OpenDialog(host));
        ASSERT_NE(panel, nullptr);
    }
    QSize TemplateSize() const
    {
        return QSize(platform::DluToPixelsX(kStdMixerPanelTemplate.cx, panel->BaseUnits()),
                     platform::DluToPixelsY(kStdMixerPanelTemplate.cy, panel->BaseUnits()));
    }
    bool Shown(std::int32_t id) const { return !panel->Item(id)->isHidden(); }
    QLineEdit& Edit(std::int32_t id) { return *panel->ItemAs<QLineEdit>(id); }
    CrossPointButton& Button(std::size_t row, std::size_t column) { return *panel->Button(row, column); }
    InplaceSliderX* OpenSlider(CrossPointButton& button)
    {
        EXPECT_TRUE(button.OpenSlider());
        return button.findChild<InplaceSliderX*>();
    }

    // A thumb drag on a button's slider, by trackbar position.
    struct ThumbDrag {
        platform::Trackbar& trackbar;
        QPoint thumb;
        QPoint At(int position) const { return QPoint(thumb.x(), trackbar.PositionToPixel(position)); }
        void MoveTo(int position) const { QTest::mouseMove(&trackbar, At(position)); }
        void ReleaseAt(int position) const { QTest::mouseRelease(&trackbar, Qt::LeftButton, {}, At(position)); }
    };
    // Opens the button's slider and presses its thumb.
    ThumbDrag PressThumb(InplaceSliderX& slider)
    {
        platform::Trackbar& trackbar = *slider.Trackbar();
        const QPoint thumb = trackbar.ThumbRect().center();
        QTest::mousePress(&trackbar, Qt::LeftButton, {}, thumb);
        return ThumbDrag{trackbar, thumb};
    }

    RecordingAmplifier amp;
    DiagramBlock block;
    std::unique_ptr<CStdMixerController> controller;
    platform::ManualTimerService clock;
    platform::ScopedTimerService useClock{clock};
    ModalDriver modal;
    PanelHost host;
    DStdMixer* panel = nullptr;
};

}  // namespace

TEST_F(MixerPanel, FourChannelsShowTheWholeGridWithTheControllersRoutingAndLabels)
{
    Open(4);
    EXPECT_EQ(panel->Table().size(), 16u);
    EXPECT_EQ(panel->TitleText(), "Mixer");
    EXPECT_EQ(Edit(kInputLabels[3]).text(), "In 4");
    EXPECT_EQ(Edit(kOutputLabels[0]).text(), "Out 1");
    EXPECT_TRUE(Button(2, 2).IsOn());
    EXPECT_FALSE(Button(2, 3).IsOn());
    // The whole grid in use: the panel grows by 2 and 4 pixels.
    EXPECT_EQ(panel->size(), TemplateSize() + QSize(2, 4));
    const QWidget* corner = panel->Item(kCrossPoints[3][3]);
    EXPECT_EQ(panel->GridExtent(), QPoint(corner->x() + corner->width() + 2, corner->y() + corner->height() + 4));
    // Opening a panel is no edit.
    EXPECT_EQ(host.modifiedMarks, 0);
    EXPECT_EQ(amp.blockParams, 0);
}

TEST_F(MixerPanel, TwoChannelsShowOnlyTheTwoByTwoGridAndThePanelShrinksAroundIt)
{
    Open(2);
    EXPECT_EQ(panel->Table().size(), 4u);
    for (std::int32_t id : {1118, 1119, 1122, 1123, 1131, 1132, 1140, 1141, 1135, 1136, 1145, 1146}) {
        EXPECT_TRUE(Shown(id)) << id;
    }
    for (std::int32_t id :
         {1120, 1121, 1124, 1125, 1126, 1129, 1144, 1151, 1133, 1134, 1142, 1143, 1137, 1138, 1147, 1148}) {
        EXPECT_FALSE(Shown(id)) << id;
    }
    const QWidget* corner = panel->Item(kCrossPoints[1][1]);
    EXPECT_EQ(panel->GridExtent(), QPoint(corner->x() + corner->width() + 2, corner->y() + corner->height() + 4));
    // Shrunk by what the unused rows and columns took beyond the grid's corner.
    const QWidget* far = panel->Item(kCrossPoints[3][3]);
    EXPECT_EQ(panel->size(), TemplateSize() + QSize(panel->GridExtent().x() - (far->x() + far->width()),
                                                    panel->GridExtent().y() - (far->y() + far->height())));
    // The title reached past the grid's right edge and is cut back to it.
    const QWidget* title = panel->Item(kTitle);
    EXPECT_EQ(title->x() + title->width(), panel->GridExtent().x());
    EXPECT_EQ(panel->Button(2, 2), nullptr);
}

TEST_F(MixerPanel, ClickAndSpaceToggleACrossPointAndSendItOtherKeysDoNothing)
{
    Open(4);
    QTest::mouseClick(&Button(0, 1), Qt::LeftButton);
    EXPECT_EQ(controller->GetCrossPoint(0, 1).on, 1);
    EXPECT_EQ(amp.blockParams, 1);
    EXPECT_EQ(host.modifiedMarks, 1);
    // A press that ends outside the button toggles nothing.
    QTest::mousePress(&Button(0, 1), Qt::LeftButton);
    QTest::mouseRelease(&Button(0, 1), Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_TRUE(Button(0, 1).IsOn());
    QTest::keyClick(&Button(0, 1), Qt::Key_Space);
    EXPECT_FALSE(Button(0, 1).IsOn());
    EXPECT_EQ(controller->GetCrossPoint(0, 1).on, 0);
    EXPECT_EQ(amp.blockParams, 2);
    QTest::keyClick(&Button(0, 1), Qt::Key_A);
    QTest::keyClick(&Button(0, 1), Qt::Key_Return);
    EXPECT_FALSE(Button(0, 1).IsOn());
    EXPECT_EQ(amp.blockParams, 2);
}

TEST_F(MixerPanel, ANinthLabelCharacterPutsTheLabelAndCaretBackAndSaysEight)
{
    Open(4);
    QLineEdit& edit = Edit(kInputLabels[0]);
    edit.setText("Vocal 12");
    EXPECT_EQ(controller->GetLabel(false, 0), u"Vocal 12");
    EXPECT_EQ(amp.blockParams, 1);
    modal.AnswerBox(platform::MessageAnswer::Ok);
    edit.setCursorPosition(3);
    QTest::keyClick(&edit, Qt::Key_X);
    EXPECT_EQ(edit.text(), "Vocal 12");
    EXPECT_EQ(edit.cursorPosition(), 4);
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(modal.Boxes()[0].text, "Label must be no more than 8 characters.");
    EXPECT_EQ(modal.Boxes()[0].icon, platform::MessageIcon::Information);
    EXPECT_EQ(controller->GetLabel(false, 0), u"Vocal 12");
    EXPECT_EQ(amp.blockParams, 1);
}

TEST_F(MixerPanel, GainTextShowsZeroWithoutSignAndOthersSigned)
{
    EXPECT_EQ(CrossPointButton::GainText(0.0f), "0.0");
    EXPECT_EQ(CrossPointButton::GainText(-0.0f), "0.0");
    EXPECT_EQ(CrossPointButton::GainText(6.5f), "+6.5");
    EXPECT_EQ(CrossPointButton::GainText(-12.0f), "-12.0");
}

TEST_F(MixerPanel, SliderMapsPositionsMinus24To24OntoPlus12ToMinus12dBWithThreeLabels)
{
    Open(4);
    InplaceSliderX* slider = OpenSlider(Button(0, 0));
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->Trackbar()->RangeMin(), -24);
    EXPECT_EQ(slider->Trackbar()->RangeMax(), 24);
    EXPECT_EQ(slider->Trackbar()->PageSize(), 6);
    EXPECT_EQ(slider->Trackbar()->Pos(), 0);
    EXPECT_EQ(slider->PositionOf(12.0f), -24);
    EXPECT_EQ(slider->PositionOf(-12.0f), 24);
    EXPECT_EQ(slider->PositionOf(6.5f), -13);
    EXPECT_EQ(slider->ValueAt(-24), 12.0f);
    EXPECT_EQ(slider->ValueAt(24), -12.0f);
    EXPECT_EQ(slider->ValueAt(-13), 6.5f);
    EXPECT_EQ(slider->LabelledTicks(), (std::set<int>{0, 6, 12}));
    EXPECT_EQ(slider->ScaleLabel(0), "+12dB");
    EXPECT_EQ(slider->ScaleLabel(6), "0dB");
    EXPECT_EQ(slider->ScaleLabel(12), "-12dB");
    // Above the button, 4/3 of its width wide and 5/2 of it high.
    const QRect expected = Button(0, 0).SliderRect();
    EXPECT_EQ(expected.bottom() + 1, Button(0, 0).mapToGlobal(QPoint(0, 0)).y() - 1);
    EXPECT_EQ(expected.width(), Button(0, 0).width() * 4 / 3);
    EXPECT_EQ(expected.height(), Button(0, 0).width() * 5 / 2);
    EXPECT_EQ(slider->geometry(), expected);
}

TEST_F(MixerPanel, HomeOnTheSliderSends0dBWithTheThumbThereAndEndSendsMinus12)
{
    Open(4);
    ASSERT_TRUE(controller->SetCrossPoint(0, 0, CrossPoint{1, 6.5f}));
    panel->Refresh();
    const int sent = amp.blockParams;
    InplaceSliderX* slider = OpenSlider(Button(0, 0));
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->Trackbar()->Pos(), -13);
    QTest::keyPress(slider->Trackbar(), Qt::Key_Home);
    EXPECT_EQ(Button(0, 0).Gain(), 0.0f);
    EXPECT_EQ(amp.blockParams, sent);
    QTest::keyRelease(slider->Trackbar(), Qt::Key_Home);
    EXPECT_EQ(slider->Trackbar()->Pos(), 0);
    EXPECT_EQ(controller->GetCrossPoint(0, 0).gain, 0.0f);
    EXPECT_EQ(amp.blockParams, sent + 1);
    QTest::keyClick(slider->Trackbar(), Qt::Key_End);
    EXPECT_EQ(controller->GetCrossPoint(0, 0).gain, -12.0f);
    EXPECT_EQ(controller->GetCrossPoint(0, 0).on, 1);
    EXPECT_EQ(amp.blockParams, sent + 2);
    QTest::keyClick(slider->Trackbar(), Qt::Key_Escape);
    DeliverMessages();
    RunDeferredDeletes();
    EXPECT_EQ(Button(0, 0).findChild<InplaceSliderX*>(), nullptr);
}

TEST_F(MixerPanel, ADragOnTheSliderShowsEachStepSendsOnceAtTheEndAndTheReleaseClosesIt)
{
    Open(4);
    CrossPointButton& button = Button(1, 2);
    InplaceSliderX* slider = OpenSlider(button);
    ASSERT_NE(slider, nullptr);
    const ThumbDrag drag = PressThumb(*slider);
    for (int position : {-2, -4, -6}) {
        drag.MoveTo(position);
        EXPECT_EQ(drag.trackbar.Pos(), position);
        EXPECT_EQ(button.Gain(), static_cast<float>(-position) * 0.5f);
    }
    EXPECT_EQ(amp.blockParams, 0);
    drag.ReleaseAt(-6);
    EXPECT_EQ(amp.blockParams, 1);
    EXPECT_EQ(controller->GetCrossPoint(1, 2).gain, 3.0f);
    // The gain alone changed: the cross point stays off.
    EXPECT_EQ(controller->GetCrossPoint(1, 2).on, 0);
    DeliverMessages();
    EXPECT_TRUE(slider->IsClosing());
    RunDeferredDeletes();
    EXPECT_EQ(button.findChild<InplaceSliderX*>(), nullptr);
}

TEST_F(MixerPanel, EscapeInASliderDragPutsBackTheGainTheControllerHoldsAndSendsNothing)
{
    Open(4);
    ASSERT_TRUE(controller->SetCrossPoint(1, 2, CrossPoint{1, 3.0f}));
    panel->Refresh();
    const int sent = amp.blockParams;
    CrossPointButton& button = Button(1, 2);
    InplaceSliderX* slider = OpenSlider(button);
    ASSERT_NE(slider, nullptr);
    const ThumbDrag drag = PressThumb(*slider);
    drag.MoveTo(-16);
    EXPECT_EQ(button.Gain(), 8.0f);
    QTest::keyClick(&drag.trackbar, Qt::Key_Escape);
    EXPECT_EQ(button.Gain(), 3.0f);
    EXPECT_EQ(drag.trackbar.Pos(), slider->PositionOf(3.0f));
    // The button is still down: the thumb may follow it until the slider goes, the button not.
    drag.MoveTo(10);
    drag.ReleaseAt(10);
    EXPECT_EQ(button.Gain(), 3.0f);
    EXPECT_EQ(amp.blockParams, sent);
    EXPECT_EQ(host.modifiedMarks, 0);
    DeliverMessages();
    RunDeferredDeletes();
    EXPECT_EQ(button.findChild<InplaceSliderX*>(), nullptr);
    // The next toggle sends the gain the controller held all along.
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(controller->GetCrossPoint(1, 2).on, 0);
    EXPECT_EQ(controller->GetCrossPoint(1, 2).gain, 3.0f);
    EXPECT_EQ(amp.blockParams, sent + 1);
}

TEST_F(MixerPanel, LosingTheFocusInASliderDragSendsTheShownGainOnceAsARelease)
{
    Open(4);
    CrossPointButton& button = Button(0, 3);
    InplaceSliderX* slider = OpenSlider(button);
    ASSERT_NE(slider, nullptr);
    const ThumbDrag drag = PressThumb(*slider);
    drag.MoveTo(5);
    EXPECT_EQ(amp.blockParams, 0);
    ASSERT_TRUE(drag.trackbar.hasFocus());
    // Another window comes up (a message box, say) and takes the focus.
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_FALSE(drag.trackbar.hasFocus());
    EXPECT_EQ(button.Gain(), -2.5f);
    EXPECT_EQ(controller->GetCrossPoint(0, 3).gain, -2.5f);
    EXPECT_EQ(amp.blockParams, 1);
    EXPECT_EQ(host.modifiedMarks, 1);
    drag.MoveTo(12);
    drag.ReleaseAt(12);
    DeliverMessages();
    RunDeferredDeletes();
    EXPECT_EQ(button.findChild<InplaceSliderX*>(), nullptr);
    EXPECT_EQ(button.Gain(), -2.5f);
    EXPECT_EQ(amp.blockParams, 1);
}
