// The input-EQ panel with its real controller: modes and Zero All, the width unit, rows and
// graph drags reaching the controller and the block's blob, the settings across a restart.
#include <gtest/gtest.h>

#include <cmath>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "application/settings/AppSettings.h"
#include "dsp_blocks/ui/LBiquadBPFDialogView.h"
#include "dsp_blocks/ui/LInputEQ.h"
#include "dsp_blocks/ui/VParametricFreqGraphView.h"
#include "platform/ui/core/DialogUnits.h"
#include "platform/ui/core/ManualTimerService.h"
#include "platform/ui/core/UpDown.h"
#include "resources/templates/BandRowTemplate.h"
#include "resources/templates/InputEqPanelTemplate.h"
#include "tests/dsp_ui_input_eq/InputEqTestSupport.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/UserInput.h"

namespace {

using namespace InputEqPanelIds;
const std::array<EqBand, 9> kDefaults = LInputEQController::DefaultBands();

class InputEqPanelTest : public ::testing::Test {
protected:
    explicit InputEqPanelTest(std::int32_t channel = 2) : scope_(timers_), eq_(channel)
    {
        GetAppSettings() = AppSettings{};
        site_.Host().show();
        panel_ = eq_.Open(site_);
    }
    ~InputEqPanelTest() override
    {
        eq_.controller.CloseDialog();
        RunDeferredDeletes();
    }

    void Click(std::int32_t id) { panel_->ItemAs<QAbstractButton>(id)->click(); }
    EqBand ControllerBand(std::size_t index)
    {
        const EqBand* bands = nullptr;
        eq_.controller.GetBands(bands);
        return bands[index];
    }
    void SetControllerBand(std::size_t index, const EqBand& band)
    {
        ASSERT_TRUE(eq_.controller.SetBand(index, band, false));
        panel_->Refresh();
    }
    VParametricFreqGraphView& Graph() { return *panel_->Graph(); }
    QPoint Centre(const platform::Rect& plotRect)
    {
        return QPoint((plotRect.left + plotRect.right) / 2 + Graph().PlotRect().left,
                      (plotRect.top + plotRect.bottom) / 2 + Graph().PlotRect().top);
    }
    // Selects a band, then drags its left edge to client x (the release is left to the test).
    void DragLeftEdgeOf(std::size_t band, int x)
    {
        Graph().OnLeftButtonDown(Centre(Graph().HandleRect(band)), {});
        Graph().OnLeftButtonUp();
        const QPoint edge = Centre(Graph().LeftEdgeRect());
        Graph().OnLeftButtonDown(edge, edge);
        Graph().OnPointerMove(QPoint(x, edge.y()), QPoint(x, edge.y()));
        ASSERT_EQ(Graph().ActiveDrag(), VParametricFreqGraphView::DragKind::LeftEdge);
    }

    platform::ManualTimerService timers_;
    platform::ScopedTimerService scope_;
    ModalDriver boxes_;
    SettingsPanelSite site_;
    InputEqBlock eq_;
    LInputEQ* panel_ = nullptr;
};

class InputEqChannel16Test : public InputEqPanelTest {
protected:
    InputEqChannel16Test() : InputEqPanelTest(16) {}
};

}  // namespace

TEST_F(InputEqPanelTest, OpensWithTheControllersModeWidthUnitAndBandsWithoutBypassAll)
{
    ASSERT_NE(panel_, nullptr);
    EXPECT_EQ(panel_->ItemCheckState(kParametric), 1);
    EXPECT_EQ(panel_->ItemText(kWidthUnit), "Q");
    for (std::size_t i = 0; i < LInputEQ::kRowCount; ++i) {
        ASSERT_NE(panel_->Row(i), nullptr);
        EXPECT_EQ(panel_->Row(i)->ItemText(BandRowIds::kTitle), "Band " + std::to_string(i + 1));
        EXPECT_EQ(panel_->Row(i)->Band(), kDefaults[i]);
    }
    EXPECT_EQ(Graph().BandCount(), 9u);
    EXPECT_EQ(Graph().Mode(), 1u);
    const platform::DialogBaseUnits& units = panel_->BaseUnits();
    EXPECT_EQ(panel_->height(), platform::DluToPixelsY(207, units) - platform::DluToPixelsY(12, units));
    EXPECT_FALSE(panel_->Item(kBypassAll)->isEnabled());
    EXPECT_EQ(panel_->Item(kFrequencyCaption)->y(), panel_->ParametricCaptionTop());
    EXPECT_LT(panel_->GraphicCaptionTop(), panel_->ParametricCaptionTop());
}

TEST_F(InputEqPanelTest, GraphicModeAndZeroAllResetTheBandsAndParametricModeDoesNot)
{
    SetControllerBand(4, EqBand{0, 1200.0f, 3.0f, 6.0f});
    Click(kGraphic);
    EXPECT_EQ(eq_.StoredParams().eqMode, 0u);
    EXPECT_EQ(eq_.StoredParams().bands[4], kDefaults[4]);
    EXPECT_EQ(panel_->Row(4)->Band(), kDefaults[4]);
    EXPECT_EQ(Graph().Band(4), kDefaults[4]);
    EXPECT_EQ(GetAppSettings().inputEqMode[2], 0u);
    EXPECT_EQ(panel_->Row(0)->EqMode(), 0u);
    EXPECT_EQ(Graph().Mode(), 0u);
    EXPECT_EQ(panel_->Item(kFrequencyCaption)->y(), panel_->GraphicCaptionTop());
    EXPECT_FALSE(panel_->Item(kWidthUnit)->isVisibleTo(panel_));

    panel_->Row(4)->OnTrackbarScroll(BandRowIds::kGainSlider, platform::ScrollCode::kEndScroll, -5);
    DeliverMessages();
    Click(kParametric);
    EXPECT_EQ(eq_.StoredParams().eqMode, 1u);
    EXPECT_EQ(GetAppSettings().inputEqMode[2], 1u);
    EXPECT_EQ(eq_.StoredParams().bands[4].gain, 5.0f);
    Click(kZeroAll);
    EXPECT_EQ(eq_.StoredParams().bands[4], kDefaults[4]);
    EXPECT_EQ(panel_->Row(4)->Band(), kDefaults[4]);
    const BiquadCoefficients* sections = nullptr;
    eq_.controller.GetSections(sections);
    EXPECT_TRUE(Graph().Model().Sections()[4].coefficients == sections[4]);
}

TEST_F(InputEqPanelTest, RowChangesRedesignWhileHeldAndReachTheBlobWhenFinal)
{
    LBiquadBPFDialogView& row = *panel_->Row(4);
    row.OnSpinScroll(BandRowIds::kGainSpin, platform::ScrollCode::kThumbPosition, 35);
    DeliverMessages();
    EXPECT_EQ(ControllerBand(4).gain, 3.5f);
    EXPECT_EQ(Graph().Band(4).gain, 3.5f);
    EXPECT_EQ(eq_.StoredParams().bands[4].gain, 0.0f);
    row.OnSpinScroll(BandRowIds::kGainSpin, platform::ScrollCode::kEndScroll, 35);
    DeliverMessages();
    EXPECT_EQ(eq_.StoredParams().bands[4].gain, 3.5f);

    // Enter in a row's edit: the panel reflects it to the row, which commits.
    QApplication::setActiveWindow(&site_.Host());
    auto* edit = panel_->Row(0)->ItemAs<QLineEdit>(BandRowIds::kFrequency);
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    edit->setText("440");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(edit, &enter);
    DeliverMessages();
    DeliverMessages();
    EXPECT_EQ(eq_.StoredParams().bands[0].frequency, 440.0f);
    EXPECT_EQ(edit->selectedText(), "440.0");
}

TEST_F(InputEqPanelTest, EdgeDragsToQ200AndBelow01StoreTheLimitsAndALateStepIsIgnored)
{
    // A centre frequency a Q of 200 away from what the pixel at 1000 Hz means.
    const int x = Graph().XToPixel(false, 1000.0f);
    float atPixel = 0.0f;
    float y = 0.0f;
    Graph().PixelToValue(x, 0, atPixel, y);
    const float centre = atPixel * static_cast<float>(std::pow(2.0, std::sqrt(0.5) / 200.0));
    SetControllerBand(4, EqBand{0, centre, 1.4142135f, 9.0f});
    DragLeftEdgeOf(4, x);
    float frequency = 0.0f;
    float q = 0.0f;
    Graph().GetDragInfo(frequency, y, q);
    EXPECT_NEAR(q, 200.0f, 2.0f);
    DeliverMessages();
    EXPECT_EQ(ControllerBand(4).q, 144.2705f);
    EXPECT_EQ(panel_->Row(4)->Band().q, 144.2705f);
    EXPECT_EQ(eq_.StoredParams().bands[4].q, 1.4142135f) << "a drag step only redesigns";
    Graph().OnLeftButtonUp();
    EXPECT_EQ(eq_.StoredParams().bands[4].q, 144.2705f);

    SetControllerBand(8, EqBand{0, 20000.0f, 1.4142135f, 9.0f});
    DragLeftEdgeOf(8, 0);
    Graph().OnLeftButtonUp();
    EXPECT_EQ(eq_.StoredParams().bands[8].q, 0.1f);
    const int marks = site_.modifiedMarks;
    const std::vector<std::uint8_t> blob = eq_.ParamBytes();
    DeliverMessages();  // the step posted before the release
    EXPECT_EQ(site_.modifiedMarks, marks);
    EXPECT_EQ(eq_.ParamBytes(), blob);
}

TEST_F(InputEqPanelTest, EveryEndARowShowsIsTakenBackWhenTypedAndAStepBeyondIsNot)
{
    struct Field {
        std::int32_t edit;
        std::int32_t spin;
        bool octaves;  // the width shown as bandwidth
        const char* inside;
        const char* format;
        double displayStep;
        float EqBand::*held;
    };
    using namespace BandRowIds;
    const Field fields[] = {
        {kFrequency, kFrequencySpin, false, "1000", "%.1f", 0.1, &EqBand::frequency},
        {kGain, kGainSpin, false, "3", "%.1f", 0.1, &EqBand::gain},
        {kWidth, kWidthSpin, false, "2", "%.3f", 0.001, &EqBand::q},
        {kWidth, kWidthSpin, true, "1", "%.3f", 0.001, &EqBand::q},
    };
    LBiquadBPFDialogView& row = *panel_->Row(6);
    for (const Field& field : fields) {
        if (field.octaves != (panel_->ItemText(kWidthUnit) == "BW")) {
            Click(kWidthUnit);
        }
        for (int direction : {+1, -1}) {
            const test_support::ShownEnd end{*row.ItemAs<QLineEdit>(field.edit),
                                             *row.ItemAs<platform::UpDown>(field.spin),
                                             direction,
                                             field.inside,
                                             field.format,
                                             field.displayStep,
                                             [&] { return ControllerBand(6).*field.held; }};
            EXPECT_TRUE(test_support::TypesBackTheShownEnd(end)) << field.edit << (field.octaves ? " octaves" : "");
        }
    }
}

TEST_F(InputEqChannel16Test, AChannelFrom16OnKeepsNoModeInTheSettings)
{
    Click(kGraphic);
    EXPECT_EQ(eq_.controller.GetEqMode(), 0u);
    EXPECT_EQ(GetAppSettings(), AppSettings{});
}

TEST(InputEqSettings, WidthUnitAndModePerChannelSurviveARestart)
{
    platform::ManualTimerService timers;
    platform::ScopedTimerService scope(timers);
    ModalDriver boxes;
    LoadAppSettings();
    GetAppSettings() = AppSettings{};
    {
        SettingsPanelSite site;
        InputEqBlock eq(3);
        LInputEQ* panel = eq.Open(site);
        ASSERT_NE(panel, nullptr);
        panel->ItemAs<QAbstractButton>(kGraphic)->click();
        panel->ItemAs<QAbstractButton>(kParametric)->click();
        panel->ItemAs<QAbstractButton>(kWidthUnit)->click();
        EXPECT_EQ(panel->ItemText(kWidthUnit), "BW");
        EXPECT_EQ(panel->Row(0)->ItemText(BandRowIds::kWidth), "1.000");
        EXPECT_EQ(eq.StoredParams().widthIsQ, 0u);
        eq.controller.CloseDialog();
        RunDeferredDeletes();
    }
    ASSERT_TRUE(SaveAppSettings());
    GetAppSettings() = AppSettings{};
    ASSERT_TRUE(LoadAppSettings());
    EXPECT_EQ(GetAppSettings().inputEqMode[3], 1u);
    EXPECT_EQ(GetAppSettings().inputEqMode[2], 0u);
    EXPECT_EQ(GetAppSettings().inputEqWidthIsQ, 0u);
}
