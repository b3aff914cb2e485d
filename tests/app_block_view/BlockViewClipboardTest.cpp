// Copy Block and Paste Block through the view's commands and its context menu.
#include <QAction>
#include <QMenu>

#include "application/clipboard/BlockClipboardData.h"
#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CBlockView.h"
#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/Clipboard.h"
#include "platform/ui/core/CommandActions.h"
#include "platform/ui/core/PopupMenu.h"
#include "resources/commands/CommandIds.h"
#include "resources/strings/StringIds.h"
#include "tests/app_block_view/BlockViewFixture.h"
#include "tests/support/ModalDriver.h"

namespace {

std::vector<std::uint8_t> Blob(const DiagramBlock& block)
{
    const auto bytes = block.paramBlob.Bytes();
    return {bytes.begin(), bytes.end()};
}

class BlockClipboardTest : public BlockViewTest, public platform::IPopupMenuHook {
protected:
    void Select(const char* name)
    {
        View().OnLButtonDown(false, Centre(Block(name)).x(), Centre(Block(name)).y());
        View().OnLButtonUp();
    }
    platform::CommandUi Update(std::uint32_t id) const
    {
        platform::CommandUi ui;
        id == CommandId::kCopyBlock ? View().OnUpdateCopyBlock(ui) : View().OnUpdatePasteBlock(ui);
        return ui;
    }
    std::uint32_t OnPopupMenu(QMenu& menu, QPoint) override
    {
        for (QAction* action : menu.actions()) {
            shown.push_back(platform::ActionCommandId(action));  // 0 for a separator
            texts.push_back(action->text().toStdString());
        }
        return pick;
    }

    std::uint32_t pick = 0;
    std::vector<std::uint32_t> shown;
    std::vector<std::string> texts;
};

TEST_F(BlockClipboardTest, CopyThenPasteGivesABlockOfTheSameTypeTheSameBytesAndNoOtherType)
{
    DiagramBlock& source = Block("Xover");
    const CrossoverFilterPair pair{{0, 150.0f}, {0, 5000.0f}};
    ASSERT_TRUE(static_cast<CCrossoverController*>(source.controller)->SetFilters(&pair));
    ASSERT_NE(Blob(Block("NoToggle")), Blob(source));
    EXPECT_FALSE(Update(CommandId::kCopyBlock).enabled);  // no current block

    Select("Xover");
    EXPECT_EQ(Update(CommandId::kCopyBlock).text, "Copy Xover");
    View().OnCopyBlock();
    EXPECT_EQ(*platform::ClipboardBytes(platform::kBlockParamClipboardFormat),
              WriteBlockClipboardData(4, u"Xover", source.paramBlob.Data(), source.paramBlob.Size()));

    Select("EQ B");
    EXPECT_EQ(Update(CommandId::kPasteBlock).text, "Paste Xover");
    EXPECT_FALSE(Update(CommandId::kPasteBlock).enabled);
    const auto before = Blob(Block("EQ B"));
    View().OnPasteBlock();  // a type mismatch does nothing
    EXPECT_EQ(Blob(Block("EQ B")), before);

    Select("NoToggle");
    Doc().SetModifiedFlag(false);
    EXPECT_TRUE(Update(CommandId::kPasteBlock).enabled);
    View().OnPasteBlock();
    EXPECT_EQ(Blob(Block("NoToggle")), Blob(source));
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(BlockClipboardTest, BytesThatAreNoBlockOrABlobTheControllerRefusesGive151AndChangeNothing)
{
    Select("EQ B");
    const auto before = Blob(Block("EQ B"));
    const std::uint8_t junk[] = {0x03, 0x00};
    const std::vector<std::vector<std::uint8_t>> refused = {
        {2, 0, 0, 0, 1},                          // fewer than 8 bytes
        {2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1},  // negative name length
        {2, 0, 0, 0, 9, 0, 0, 0, 'E', 'Q'},       // the name runs past the end
        WriteBlockClipboardData(2, u"x", junk, 2),
    };
    for (const auto& bytes : refused) {
        ASSERT_TRUE(platform::SetClipboardBytes(platform::kBlockParamClipboardFormat, bytes));
        EXPECT_EQ(Update(CommandId::kPasteBlock).enabled, &bytes == &refused.back());
        ModalDriver driver;
        driver.AnswerBox(StringId::kPasteFailed, platform::MessageAnswer::Ok);
        View().OnPasteBlock();
        EXPECT_EQ(Blob(Block("EQ B")), before);
    }
}

TEST_F(BlockClipboardTest, TheContextMenuSelectsTheBlockAndOffersCopyAndPasteOnly)
{
    platform::ScopedPopupMenuHook install(*this);
    pick = CommandId::kCopyBlock;
    DiagramBlock& framed = Block("Framed");
    View().OnContextMenu(View().mapToGlobal(Centre(framed)));
    EXPECT_EQ(View().CurrentBlock(), &framed);
    EXPECT_EQ(shown, (std::vector<std::uint32_t>{CommandId::kCopyBlock, CommandId::kPasteBlock}));
    EXPECT_EQ(texts.front(), "Copy Framed");
    EXPECT_EQ(ReadBlockClipboardData(*platform::ClipboardBytes(platform::kBlockParamClipboardFormat))->name, u"Framed");

    pick = 0;  // on empty space the selection goes
    View().OnContextMenu(View().mapToGlobal(QPoint(2, 2)));
    EXPECT_EQ(View().CurrentBlock(), nullptr);
    EXPECT_EQ(framed.selected, 0);
}

}  // namespace
