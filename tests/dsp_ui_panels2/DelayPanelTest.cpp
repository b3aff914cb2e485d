// The delay panel over a real controller and blocks: the rows in each unit, a unit change
// reaching every block, typed and spun delays, the graph's drag and its cancel (also while
// a press still waits to become one), the layout for fewer channels, the graph's automatic
// step, and the way from a shown value back to the 0.1 ms grid.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QtTest/QTest>

#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LDelayDialogController.h"
#include "dsp_blocks/ui/DelayUnit.h"
#include "dsp_blocks/ui/LDelay.h"
#include "dsp_blocks/ui/LDelayGraphView.h"
#include "dsp_blocks/ui/LDelayTime.h"
#include "platform/ui/core/ControlNotify.h"
#include "platform/ui/core/ManualTimerService.h"
#include "platform/ui/core/UpDown.h"
#include "resources/strings/StringIds.h"
#include "resources/templates/DelayPanelTemplate.h"
#include "resources/templates/DelayRowTemplate.h"
#include "tests/dsp_ui_panels2/PanelHost.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RecordingAmplifier.h"
#include "tests/support/UserInput.h"

namespace {

using namespace DelayPanelIds;

class DelayPanel : public ::testing::Test {
protected:
    ~DelayPanel() override
    {
        if (controller != nullptr) {
            controller->CloseDialog();
        }
        RunDeferredDeletes();
        for (auto& block : blocks) {
            block->SetAmplifier(nullptr);
        }
    }

    void Make(std::size_t count)
    {
        std::vector<DiagramBlock*> group;
        for (std::size_t i = 0; i < count; ++i) {
            blocks.push_back(std::make_unique<DiagramBlock>());
            blocks.back()->type = BlockType::Delay;
            blocks.back()->channel = static_cast<std::int32_t>(i);
            group.push_back(blocks.back().get());
        }
        controller = std::make_unique<LDelayDialogController>(group);
        ASSERT_TRUE(controller->Load());
        for (auto& block : blocks) {
            block->SetAmplifier(&amp);
        }
    }
    void Open()
    {
        panel = dynamic_cast<LDelay*>(controller->OpenDialog(host));
        ASSERT_NE(panel, nullptr);
    }
    LDelayTime& Row(std::size_t index) { return *panel->Row(index); }
    QLineEdit& Edit(std::size_t index) { return *Row(index).ItemAs<QLineEdit>(DelayRowIds::kDelay); }
    void ChooseUnit(int index)
    {
        panel->ItemAs<QComboBox>(kUnits)->setCurrentIndex(index);
        panel->OnComboSelChange(kUnits);
    }
    void Type(std::size_t index, const char* text)
    {
        Edit(index).setText(text);
        Row(index).OnEditKillFocus(DelayRowIds::kDelay);
        DeliverMessages();
    }
    // Presses row's handle and moves the pointer until the drag starts.
    QPoint StartDrag(std::size_t row)
    {
        LDelayGraphView& graph = *panel->Graph();
        const QPoint handle(graph.ValueToX(graph.GetValue(row)), graph.Row(row).y);
        QTest::mousePress(&graph, Qt::LeftButton, {}, handle);
        EXPECT_TRUE(graph.IsWaitingForDrag());
        QTest::mouseMove(&graph, handle + QPoint(0, 5));
        EXPECT_EQ(graph.DraggedRow(), static_cast<int>(row));
        return handle;
    }
    // The first pixel of the track whose value lies in [low, high).
    int PixelOf(float low, float high)
    {
        const LDelayGraphView& graph = *panel->Graph();
        const LDelayGraphView::Geometry geometry = graph.ComputeGeometry();
        for (int x = geometry.trackLeft; x <= geometry.trackRight; ++x) {
            const float value = graph.XToValue(x);
            if (value >= low && value < high) {
                return x;
            }
        }
        ADD_FAILURE() << "no pixel for " << low;
        return 0;
    }

    RecordingAmplifier amp;
    std::vector<std::unique_ptr<DiagramBlock>> blocks;
    std::unique_ptr<LDelayDialogController> controller;
    platform::ManualTimerService clock;
    platform::ScopedTimerService useClock{clock};
    ModalDriver modal;
    PanelHost host;
    LDelay* panel = nullptr;
};

}  // namespace

TEST(DelayUnits, EveryTenthOfAMillisecondComesBackFromEveryUnitAndTheGraphEndsAt50ms)
{
    for (const DelayUnit& unit : DelayUnits()) {
        for (int tenths = 0; tenths <= 500; ++tenths) {
            const float delay = static_cast<float>(tenths) * 0.1f;
            ASSERT_EQ(DisplayToGridMilliseconds(unit, delay * unit.factor), static_cast<float>(tenths * 0.1))
                << unit.code << " " << tenths;
        }
        EXPECT_NEAR(unit.graphMaximum / unit.factor, 50.0f, 1.0e-3f);
    }
    // Off the grid the value is cut down, never rounded up.
    EXPECT_EQ(DisplayToGridMilliseconds(FindDelayUnit(0), 12.34f), 12.3f);
    EXPECT_EQ(DisplayToGridMilliseconds(FindDelayUnit(0), 12.399f), 12.3f);
    EXPECT_EQ(FindDelayUnit(7).code, 0u);
}

TEST_F(DelayPanel, RowsShowTheDelayInTheChosenUnitAndTheGraphFollows)
{
    Make(4);
    ASSERT_TRUE(controller->SetDelay(0, 10.0f, false));
    Open();
    EXPECT_EQ(host.modifiedMarks, 0);
    EXPECT_EQ(Edit(0).text(), "10.0");
    EXPECT_EQ(Row(2).TitleText(), "Delay 3");
    EXPECT_EQ(panel->Graph()->GetValue(0), 10.0f);
    EXPECT_EQ(panel->Graph()->Maximum(), 50.0f);
    ChooseUnit(2);
    EXPECT_EQ(controller->GetUnit(), LDelayDialogController::kUnitFeet);
    EXPECT_EQ(Edit(0).text(), "11.25");
    EXPECT_EQ(panel->Graph()->Maximum(), 56.2664f);
    EXPECT_EQ(panel->Graph()->GetValue(0), 10.0f * 1.1253281f);
    ChooseUnit(1);
    EXPECT_EQ(Edit(0).text(), "3.43");
    EXPECT_EQ(panel->Graph()->Maximum(), 17.15f);
    // Each track lines up with its row's edit.
    const QWidget& edit = Edit(1);
    const QPoint centre = edit.mapTo(panel, QPoint(0, edit.height() / 2 + 2));
    EXPECT_EQ(panel->Graph()->mapTo(panel, QPoint(0, panel->Graph()->Row(1).y)).y(), centre.y());
}

TEST_F(DelayPanel, AUnitChoiceAloneMarksTheDesignAndWritesItIntoEveryBlock)
{
    Make(4);
    ASSERT_TRUE(controller->SetDelay(1, 10.0f, false));
    Open();
    const int sent = amp.blockParams;
    auto& units = *panel->ItemAs<QComboBox>(kUnits);
    QTest::keyClick(&units, Qt::Key_Down);
    QTest::keyClick(&units, Qt::Key_Down);
    EXPECT_EQ(panel->UnitCode(), LDelayDialogController::kUnitFeet);
    EXPECT_EQ(host.modifiedMarks, 2);
    EXPECT_EQ(amp.blockParams, sent + 8);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const std::uint8_t* blob = nullptr;
        const std::uint32_t size = blocks[i]->GetParamBlob(blob);
        EXPECT_EQ(std::vector<std::uint8_t>(blob, blob + size),
                  LDelayDialogController::EncodeParams(LDelayDialogController::kUnitFeet, controller->GetDelay(i)))
            << i;
    }
}

TEST_F(DelayPanel, TypedDelaysAreReadInTheUnitShownAndRefusedOutsideTheRange)
{
    Make(4);
    Open();
    ChooseUnit(1);
    int sent = amp.blockParams;
    Type(0, "3.43");
    EXPECT_EQ(controller->GetDelay(0), 10.0f);
    EXPECT_EQ(Edit(0).text(), "3.43");
    EXPECT_EQ(amp.blockParams, sent + 1);
    EXPECT_EQ(Row(0).ItemAs<platform::UpDown>(DelayRowIds::kDelaySpin)->GetPos32(), 100);
    ChooseUnit(0);
    sent = amp.blockParams;
    Type(0, "51");
    EXPECT_EQ(controller->GetDelay(0), 10.0f);
    EXPECT_EQ(Edit(0).text(), "10.0");
    EXPECT_EQ(amp.blockParams, sent);
    // Text without a number is no 0 ms: it is refused with the message and the old text.
    modal.AnswerBox(StringId::kBadNumberFormat, platform::MessageAnswer::Ok);
    Type(0, "abc");
    EXPECT_EQ(controller->GetDelay(0), 10.0f);
    EXPECT_EQ(Edit(0).text(), "10.0");
    EXPECT_EQ(amp.blockParams, sent);
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(modal.Boxes()[0].text, "Bad Format.\n\nChoose a number between 0 and 50");
}

TEST_F(DelayPanel, EveryEndShownInEveryUnitIsTakenBackWhenTypedAndAStepBeyondIsNot)
{
    Make(2);
    Open();
    auto& spin = *Row(1).ItemAs<platform::UpDown>(DelayRowIds::kDelaySpin);
    for (const DelayUnit& unit : DelayUnits()) {
        ChooseUnit(static_cast<int>(unit.code));
        const double displayStep = unit.editFormat == "%.1f" ? 0.1 : 0.01;
        for (int direction : {+1, -1}) {
            const test_support::ShownEnd end{Edit(1), spin, direction, "10", unit.editFormat, displayStep,
                                             [&] { return controller->GetDelay(1); }};
            EXPECT_TRUE(test_support::TypesBackTheShownEnd(end)) << "unit " << unit.code;
        }
    }
    EXPECT_TRUE(modal.Boxes().empty());
}

TEST_F(DelayPanel, EnterInARowEditCommitsThroughThePanelAndEscapeKeepsItOpen)
{
    Make(2);
    Open();
    QApplication::setActiveWindow(host.PanelParent());
    QLineEdit& edit = Edit(1);
    edit.setFocus();
    ASSERT_TRUE(edit.hasFocus());
    edit.setText("12.5");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&edit, &enter);
    DeliverMessages();
    EXPECT_EQ(controller->GetDelay(1), 12.5f);
    EXPECT_EQ(amp.blockParams, 1);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&edit, &escape);
    DeliverMessages();
    EXPECT_FALSE(panel->IsClosing());
    EXPECT_EQ(controller->GetDelay(1), 12.5f);
}

TEST_F(DelayPanel, SpinStepsAreShownAndDeferredAndTheReleaseCommitsOnce)
{
    Make(2);
    Open();
    auto& spin = *Row(1).ItemAs<platform::UpDown>(DelayRowIds::kDelaySpin);
    for (int position : {1, 2, 3}) {
        spin.SetPos32(position);
        Row(1).OnSpinScroll(DelayRowIds::kDelaySpin, platform::ScrollCode::kThumbPosition, position);
        DeliverMessages();
    }
    EXPECT_EQ(Edit(1).text(), "0.3");
    EXPECT_EQ(controller->GetDelay(1), 0.3f);
    EXPECT_EQ(panel->Graph()->GetValue(1), 0.3f);
    EXPECT_EQ(amp.blockParams, 0);
    Row(1).OnSpinScroll(DelayRowIds::kDelaySpin, platform::ScrollCode::kEndScroll, 3);
    DeliverMessages();
    EXPECT_EQ(amp.blockParams, 1);
    EXPECT_FALSE(Row(1).IsPending());
}

TEST_F(DelayPanel, DraggingAHandleTo12Point34SetsTheRowTo12Point3AndCommitsOnRelease)
{
    Make(4);
    Open();
    LDelayGraphView& graph = *panel->Graph();
    const QPoint handle = StartDrag(0);
    const int x = PixelOf(12.34f, 12.4f);
    QTest::mouseMove(&graph, QPoint(x, handle.y()));
    DeliverMessages();
    EXPECT_EQ(controller->GetDelay(0), 12.3f);
    EXPECT_EQ(Edit(0).text(), "12.3");
    EXPECT_EQ(amp.blockParams, 0);
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, QPoint(x, handle.y()));
    DeliverMessages();
    EXPECT_EQ(graph.DraggedRow(), -1);
    EXPECT_EQ(controller->GetDelay(0), 12.3f);
    EXPECT_EQ(amp.blockParams, 1);
    EXPECT_GE(host.modifiedMarks, 1);
}

TEST_F(DelayPanel, EscapeDuringADragRestoresTheDelayExactlyAsAnUncommittedChange)
{
    Make(4);
    ASSERT_TRUE(controller->SetDelay(2, 12.34f, false));
    const int sent = amp.blockParams;
    Open();
    LDelayGraphView& graph = *panel->Graph();
    const QPoint handle = StartDrag(2);
    QTest::mouseMove(&graph, QPoint(PixelOf(30.0f, 30.1f), handle.y()));
    DeliverMessages();
    EXPECT_EQ(controller->GetDelay(2), 30.0f);
    QTest::keyClick(&graph, Qt::Key_Escape);
    EXPECT_EQ(graph.DraggedRow(), -1);
    EXPECT_EQ(graph.GetValue(2), 12.34f);
    DeliverMessages();
    EXPECT_EQ(controller->GetDelay(2), 12.34f);
    EXPECT_EQ(Edit(2).text(), "12.3");
    EXPECT_EQ(amp.blockParams, sent);
}

TEST_F(DelayPanel, EscapeOrALostFocusWhileAPressWaitsToBecomeADragCancelsIt)
{
    Make(4);
    Open();
    QApplication::setActiveWindow(host.PanelParent());
    Edit(1).setFocus();
    ASSERT_TRUE(Edit(1).hasFocus());
    LDelayGraphView& graph = *panel->Graph();
    const QPoint handle(graph.ValueToX(0.0f), graph.Row(2).y);
    QTest::mousePress(&graph, Qt::LeftButton, {}, handle);
    ASSERT_TRUE(graph.IsWaitingForDrag());
    EXPECT_TRUE(graph.hasFocus());
    // Escape goes where the user's keys go: to the focused control.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(graph.IsWaitingForDrag());
    clock.Advance(501);
    const QPoint far(PixelOf(20.0f, 20.1f), handle.y());
    QTest::mouseMove(&graph, far);
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, far);
    DeliverMessages();
    EXPECT_EQ(graph.DraggedRow(), -1);
    EXPECT_EQ(graph.GetValue(2), 0.0f);
    // The focus leaving in the wait cancels it too: keys could no longer reach the view.
    QTest::mousePress(&graph, Qt::LeftButton, {}, handle);
    ASSERT_TRUE(graph.IsWaitingForDrag());
    Edit(0).setFocus();
    EXPECT_FALSE(graph.IsWaitingForDrag());
    clock.Advance(501);
    QTest::mouseMove(&graph, far);
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, far);
    DeliverMessages();
    EXPECT_EQ(controller->GetDelay(2), 0.0f);
    EXPECT_EQ(amp.blockParams, 0);
    EXPECT_EQ(host.modifiedMarks, 0);
}

TEST_F(DelayPanel, PressesOffTheHandlesOrWithinThreePixelsStartNoDrag)
{
    Make(4);
    Open();
    LDelayGraphView& graph = *panel->Graph();
    const QPoint handle(graph.ValueToX(0.0f), graph.Row(3).y);
    QTest::mousePress(&graph, Qt::LeftButton, {}, handle + QPoint(200, 0));
    EXPECT_FALSE(graph.IsWaitingForDrag());
    EXPECT_FALSE(graph.hasFocus());
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, handle + QPoint(200, 0));
    QTest::mousePress(&graph, Qt::LeftButton, {}, handle);
    QTest::mouseMove(&graph, handle + QPoint(3, -3));
    EXPECT_EQ(graph.DraggedRow(), -1);
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, handle + QPoint(3, -3));
    EXPECT_FALSE(graph.IsWaitingForDrag());
    // Held still for 501 ms, the press becomes a drag; dragging past the end pins the maximum.
    QTest::mousePress(&graph, Qt::LeftButton, {}, handle);
    clock.Advance(500);
    EXPECT_EQ(graph.DraggedRow(), -1);
    clock.Advance(1);
    EXPECT_EQ(graph.DraggedRow(), 3);
    QTest::mouseMove(&graph, QPoint(graph.width() - 1, handle.y()));
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, QPoint(graph.width() - 1, handle.y()));
    DeliverMessages();
    EXPECT_EQ(controller->GetDelay(3), 50.0f);
    EXPECT_EQ(amp.blockParams, 1);
}

TEST_F(DelayPanel, TwoDelayBlocksHideTheLastTwoFramesAndThePanelClosesUp)
{
    Make(4);
    Open();
    const int fullHeight = panel->height();
    const int fullWidth = panel->width();
    const int closeUp =
        panel->Item(kRowFrames[3])->geometry().bottom() - panel->Item(kRowFrames[1])->geometry().bottom();
    const int graphHeight = panel->Graph()->height();
    controller->CloseDialog();
    RunDeferredDeletes();
    controller.reset();
    blocks.clear();
    Make(2);
    Open();
    EXPECT_EQ(panel->RowCount(), 2u);
    EXPECT_TRUE(panel->Item(kRowFrames[2])->isHidden());
    EXPECT_TRUE(panel->Item(kRowFrames[3])->isHidden());
    EXPECT_FALSE(panel->Item(kRowFrames[1])->isHidden());
    EXPECT_EQ(panel->height(), fullHeight - closeUp);
    EXPECT_EQ(panel->width(), fullWidth);
    EXPECT_EQ(panel->Graph()->height(), graphHeight - closeUp);
    EXPECT_EQ(panel->Graph()->RowCount(), 2u);
}

TEST_F(DelayPanel, APasteRefreshesItsRowAndUnitAndRowsThatDoNotExistAreIgnored)
{
    Make(2);
    Open();
    const auto blob = LDelayDialogController::EncodeParams(LDelayDialogController::kUnitFeet, 20.0f);
    ASSERT_TRUE(controller->ApplyBlob(1, blob.data(), static_cast<std::uint32_t>(blob.size())));
    EXPECT_EQ(panel->UnitCode(), LDelayDialogController::kUnitFeet);
    EXPECT_EQ(panel->ItemAs<QComboBox>(kUnits)->currentIndex(), 2);
    EXPECT_EQ(Edit(1).text(), "22.51");
    EXPECT_EQ(Edit(0).text(), "0.00");
    panel->RefreshRow(3);
    panel->OnChanged(LDelay::kRowFinal, 7);
    panel->OnChanged(9, 0);
    EXPECT_EQ(host.modifiedMarks, 0);
}

TEST_F(DelayPanel, TheAutomaticStepIsFiveOrTenTimesAPowerOfTenAndNeverLoopsForever)
{
    Make(1);
    Open();
    LDelayGraphView& graph = *panel->Graph();
    for (int width : {700, 300, 120, 60, 0}) {
        graph.resize(width, graph.height());
        const float step = graph.Step();
        ASSERT_TRUE(std::isfinite(step)) << width;
        ASSERT_GT(step, 0.0f) << width;
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
        EXPECT_TRUE(std::fabs(mantissa - 5.0) < 1e-4 || std::fabs(mantissa - 1.0) < 1e-4) << step;
        const LDelayGraphView::Geometry geometry = graph.ComputeGeometry();
        const int labelWidth = 20;  // narrower than "50.0" in the graph's font
        const int fits = std::max(1, (geometry.trackRight - geometry.trackLeft) / labelWidth);
        EXPECT_GE(step, 50.0f / static_cast<float>(fits) - 1e-4f) << width;
        graph.repaint();
    }
    graph.SetScale(FindDelayUnit(0), 0.0f, 50.0f, std::nanf(""));
    EXPECT_EQ(graph.Step(), 0.0f);
    graph.SetScale(FindDelayUnit(0), 0.0f, 50.0f, 1.0e-6f);
    EXPECT_EQ(graph.Step(), 0.0f);
    graph.repaint();
}
