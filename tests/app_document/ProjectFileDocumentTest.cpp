// Opening and saving project files through the document.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "application/document/ProjectFile.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LLimiterController.h"
#include "dsp_blocks/blocks/LSpeakerEQDialogController.h"
#include "dsp_blocks/speaker_eq/SpeakerEqLibrary.h"
#include "resources/strings/StringIds.h"
#include "tests/app_document/DocumentTestSupport.h"

namespace {

class ProjectFileDocumentTest : public DocumentTest {
protected:
    std::filesystem::path Work(const char* name) const { return WorkFolder() / name; }

    // Everything the design holds that a project file restores.
    struct Snapshot {
        ModelType model;
        std::vector<std::string> blobs;
        std::uint8_t polarity;
        std::size_t controllers;
        friend bool operator==(const Snapshot&, const Snapshot&) = default;
    };
    Snapshot Take()
    {
        return {Doc().GetModel(), BlobsOf(Doc()), Doc().GetMutePolarityNormallyOpen(), Doc().Controllers().size()};
    }
};

TEST_F(ProjectFileDocumentTest, SaveOpenSaveGivesIdenticalBytesForEveryModel)
{
    for (ModelType model : kAllModels) {
        NewDesign(model);
        Doc().SetMutePolarityNormallyOpen(0);
        ASSERT_TRUE(Doc().OnSaveDocument(Work("first.cvp")));
        NewDesign(ModelType::MV220);
        ASSERT_TRUE(Doc().OnOpenDocument(Work("first.cvp")));
        EXPECT_EQ(Doc().GetModel(), model);
        EXPECT_EQ(Doc().GetMutePolarityNormallyOpen(), 0);
        ASSERT_TRUE(Doc().OnSaveDocument(Work("second.cvp")));
        const std::string first = ReadWholeFile(Work("first.cvp"));
        EXPECT_EQ(first, ReadWholeFile(Work("second.cvp"))) << static_cast<int>(model);
        EXPECT_GT(first.size(), 61u);
    }
    EXPECT_TRUE(prompts.messages.empty());
}

// A design saved before the shipped presets were renamed names the preset by its former name in
// both its speaker-EQ and its limiter records. Opened and saved again, every record names the
// preset as the panels show it and an upload sends it.
TEST_F(ProjectFileDocumentTest, ADesignOpenedUnderAFormerPresetNameIsSavedUnderTheNewNameInEveryRecord)
{
    ASSERT_TRUE(LoadSpeakerEqLibrary(QUARRY_SHIPPED_DATA_DIR)) << SpeakerEqLibraryError();
    NewDesign(ModelType::MV440);
    const std::u16string former = u"Surface-mount 5in";
    // Thresholds below every limit, so that nothing but the name could make a limiter store anew.
    LimiterSettings quiet;
    quiet.peakThreshold = 20.0f;
    quiet.rmsThreshold = 10.0f;
    std::size_t limiters = 0;
    for (const auto& block : Doc().Blocks()) {
        std::vector<std::uint8_t> blob;
        if (block->type == BlockType::SpeakerEQ) {
            blob = LSpeakerEQDialogController::EncodeParams(former);
        } else if (block->type == BlockType::Limiter) {
            blob = LLimiterController::EncodeParams(quiet, former);
            ++limiters;
        } else {
            continue;
        }
        block->SetParamBlob(blob.data(), static_cast<std::uint32_t>(blob.size()));
    }
    ASSERT_GT(limiters, 0u);
    ASSERT_TRUE(Doc().OnSaveDocument(Work("former.cvp")));
    ASSERT_NE(ReadWholeFile(Work("former.cvp")).find("Surface-mount 5in"), std::string::npos);

    NewDesign(ModelType::MV440);
    ASSERT_TRUE(Doc().OnOpenDocument(Work("former.cvp")));
    ASSERT_TRUE(Doc().OnSaveDocument(Work("saved.cvp")));
    EXPECT_EQ(ReadWholeFile(Work("saved.cvp")).find("Surface-mount"), std::string::npos);
    for (const auto& block : Doc().Blocks()) {
        if (block->type == BlockType::Limiter) {
            const auto* limiter = dynamic_cast<const LLimiterController*>(block->controller);
            ASSERT_NE(limiter, nullptr);
            EXPECT_EQ(limiter->GetPresetName(), u"Surface 5in");
            EXPECT_EQ(limiter->GetSettings(), quiet);
            const std::uint8_t* data = block->paramBlob.Data();
            EXPECT_EQ(std::vector<std::uint8_t>(data, data + block->paramBlob.Size()),
                      LLimiterController::EncodeParams(quiet, u"Surface 5in"));
        }
    }
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ProjectFileDocumentTest, AnEmptyDesignsFileHasOnlyTheFixedChunks)
{
    WriteWholeFile(DataFolder() / "BlockDiagram.txt", "header only\n");
    NewDesign(ModelType::MV220P);
    ASSERT_EQ(Doc().GetBlockCount(), 0u);
    ASSERT_TRUE(Doc().OnSaveDocument(Work("empty.cvp")));
    // Signature 16, root header 8, version 12, model 12, polarity 9, end marker 4.
    EXPECT_EQ(ReadWholeFile(Work("empty.cvp")).size(), 61u);
    NewDesign(ModelType::MV440);
    ASSERT_TRUE(Doc().OnOpenDocument(Work("empty.cvp")));
    EXPECT_EQ(Doc().GetModel(), ModelType::MV220P);
    EXPECT_EQ(Doc().GetBlockCount(), 0u);
}

TEST_F(ProjectFileDocumentTest, StoredBlobsReplaceTheDefaultsOnOpen)
{
    NewDesign(ModelType::MV440);
    const std::vector<std::string> defaults = BlobsOf(Doc());
    // A design whose crossover 3 was raised by a high-impedance channel mode.
    Doc().OnFirstStatus(0xB000, 4);
    const std::vector<std::string> edited = BlobsOf(Doc());
    ASSERT_NE(edited, defaults);
    ASSERT_TRUE(Doc().OnSaveDocument(Work("edited.cvp")));
    NewDesign(ModelType::MV440);
    ASSERT_EQ(BlobsOf(Doc()), defaults);
    ASSERT_TRUE(Doc().OnOpenDocument(Work("edited.cvp")));
    EXPECT_EQ(BlobsOf(Doc()), edited);
}

TEST_F(ProjectFileDocumentTest, AnOpenedFileTakesItsPathAndTitleAndPostsTheDeferredGoOnline)
{
    NewDesign(ModelType::MV440);
    ASSERT_TRUE(Doc().OnSaveDocument(Work("design.cvp")));
    application.postedCommands.clear();
    Doc().SetModifiedFlag(true);
    Doc().SetCreatingForAmplifier(true);
    const int idleBefore = application.idlePasses;
    ASSERT_TRUE(Doc().OnOpenDocument(Work("design.cvp")));
    EXPECT_EQ(Doc().GetPathName(), std::filesystem::absolute(Work("design.cvp")));
    EXPECT_EQ(Doc().GetTitle(), "design.cvp");
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_FALSE(Doc().IsFreshDesign());
    EXPECT_FALSE(Doc().IsCreatingForAmplifier());
    EXPECT_EQ(application.idlePasses, idleBefore + 1);
    EXPECT_EQ(application.postedCommands, std::vector<std::uint32_t>{32853});
    EXPECT_EQ(Doc().GetDelayedGoOnlineMode(), 1u);
    ASSERT_NE(Doc().GetMeterList(), nullptr);
    EXPECT_EQ(Doc().GetMeterList()->outputCount, 4u);
}

TEST_F(ProjectFileDocumentTest, OpeningDuringStartUpPostsNoGoOnline)
{
    NewDesign(ModelType::MV220);
    ASSERT_TRUE(Doc().OnSaveDocument(Work("design.cvp")));
    application.postedCommands.clear();
    application.startUpInProgress = true;
    ASSERT_TRUE(Doc().OnOpenDocument(Work("design.cvp")));
    EXPECT_TRUE(application.postedCommands.empty());
}

TEST_F(ProjectFileDocumentTest, TheFirstDesignAfterOpeningAFileIsNoLongerTheStartUpOne)
{
    NewDesign(ModelType::MV220);
    ASSERT_TRUE(Doc().OnSaveDocument(Work("design.cvp")));
    CCorvantEditorDoc fresh(DocumentServices{prompts, application, amplifiers}, DataFolder());
    ASSERT_TRUE(fresh.OnOpenDocument(Work("design.cvp")));
    EXPECT_FALSE(fresh.IsFirstNewDocument());
}

TEST_F(ProjectFileDocumentTest, AFileInTheDataFolderOpensUntitled)
{
    NewDesign(ModelType::MV440);
    ASSERT_TRUE(Doc().OnSaveDocument(DataFolder() / "Template.cvp"));
    ASSERT_TRUE(Doc().OnOpenDocument(DataFolder() / "Template.cvp"));
    EXPECT_TRUE(Doc().GetPathName().empty());
    EXPECT_TRUE(Doc().GetTitle().empty());
    // A folder below the Data folder is not the Data folder.
    std::filesystem::create_directory(DataFolder() / "sub");
    ASSERT_TRUE(Doc().OnSaveDocument(DataFolder() / "sub" / "Mine.cvp"));
    ASSERT_TRUE(Doc().OnOpenDocument(DataFolder() / "sub" / "Mine.cvp"));
    EXPECT_EQ(Doc().GetTitle(), "Mine.cvp");
}

TEST_F(ProjectFileDocumentTest, TheDataFolderIsComparedWithoutRegardToCase)
{
    const std::filesystem::path lower = WorkFolder() / "data";
    const std::filesystem::path upper = WorkFolder() / "DATA";
    std::filesystem::create_directory(lower);
    std::filesystem::create_directory(upper);
    for (const char* name : {"BlockDiagram.txt", "BlockDiagram2.txt"}) {
        std::filesystem::copy_file(DataFolder() / name, lower / name);
    }
    NewDesign(ModelType::MV440);
    ASSERT_TRUE(Doc().OnSaveDocument(upper / "T.cvp"));
    CCorvantEditorDoc other(DocumentServices{prompts, application, amplifiers}, lower);
    ASSERT_TRUE(other.OnOpenDocument(upper / "T.cvp"));
    EXPECT_TRUE(other.GetPathName().empty());
    EXPECT_TRUE(other.GetTitle().empty());
    // A link to the Data folder is the Data folder.
    const std::filesystem::path link = WorkFolder() / "link";
    std::filesystem::create_directory_symlink(lower, link);
    ASSERT_TRUE(Doc().OnSaveDocument(link / "L.cvp"));
    ASSERT_TRUE(other.OnOpenDocument(link / "L.cvp"));
    EXPECT_TRUE(other.GetPathName().empty());
}

TEST_F(ProjectFileDocumentTest, AFileWithUnknownRecordsOpensAndSaysSo)
{
    NewDesign(ModelType::MV440);
    WriteWholeFile(Work("newer.cvp"), ProjectBytes(Chunk(ProjectFormat::kModelTag, U32(2)) + BlockRecord(13, 0, 9, "x")));
    ASSERT_TRUE(Doc().OnOpenDocument(Work("newer.cvp")));
    EXPECT_EQ(prompts.messages, std::vector<std::uint32_t>{StringId::kProjectUnknownParameters});
    EXPECT_EQ(prompts.icons.back(), MessageIcon::Information);
    EXPECT_EQ(Doc().GetModel(), ModelType::MV440);
    EXPECT_GT(Doc().GetBlockCount(), 0u);
}

TEST_F(ProjectFileDocumentTest, AStoredBlobTheControllerCannotDecodeIsReportedAfterOpening)
{
    NewDesign(ModelType::MV440);
    WriteWholeFile(Work("odd.cvp"), ProjectBytes(Chunk(ProjectFormat::kModelTag, U32(2)) + BlockRecord(4, 0, 3, "\x05")));
    ASSERT_TRUE(Doc().OnOpenDocument(Work("odd.cvp")));
    EXPECT_EQ(prompts.messages, std::vector<std::uint32_t>{StringId::kProjectLoadControllersFailed});
    EXPECT_FALSE(Doc().Controllers().empty());
}

struct BadFile {
    std::string bytes;
    std::uint32_t message;
};

// A project reached through a link is saved through it, and keeps the mode it had.
TEST_F(ProjectFileDocumentTest, SavingOverALinkWritesItsTargetAndKeepsTheMode)
{
    NewDesign(ModelType::MV440);
    std::filesystem::create_directory(Work("projects"));
    ASSERT_TRUE(Doc().OnSaveDocument(Work("projects/real.cvp")));
    ASSERT_EQ(::chmod(Work("projects/real.cvp").c_str(), 0640), 0);
    std::filesystem::create_symlink("projects/real.cvp", Work("link.cvp"));
    Doc().SetMutePolarityNormallyOpen(0);
    ASSERT_TRUE(Doc().OnSaveDocument(Work("link.cvp")));
    EXPECT_TRUE(std::filesystem::is_symlink(Work("link.cvp")));
    struct stat st {};
    ASSERT_EQ(::stat(Work("projects/real.cvp").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    ASSERT_TRUE(Doc().OnOpenDocument(Work("projects/real.cvp")));
    EXPECT_EQ(Doc().GetMutePolarityNormallyOpen(), 0);
}

TEST_F(ProjectFileDocumentTest, AFailedOpenShowsItsMessageAndLeavesTheDesignExactlyAsItWas)
{
    NewDesign(ModelType::MV340A);
    Doc().OnFirstStatus(0, 4);
    Doc().SetMutePolarityNormallyOpen(0);
    Doc().SetModifiedFlag(true);
    ASSERT_TRUE(Doc().OnSaveDocument(Work("keep.cvp")));
    Doc().SetModifiedFlag(true);
    const Snapshot before = Take();
    const std::filesystem::path pathBefore = Doc().GetPathName();
    const DiagramBlock* firstBlock = Doc().GetBlock(0);

    const BadFile files[] = {
        {"{59ACE46F-8BB1-43ED-87A0-0FD8433257DE}", StringId::kProjectCorrupted},
        {SignatureBytes() + Chunk(0x12345678, ""), StringId::kProjectTagMismatch},
        {ProjectBytes(Chunk(ProjectFormat::kModelTag, U32(5))), StringId::kProjectModelMissing},
        {ProjectBytes(Chunk(ProjectFormat::kVersionTag, U32(1))), StringId::kProjectModelMissing},
        {ProjectBytes(Chunk(ProjectFormat::kModelTag, "xy")), StringId::kProjectCorrupted},
    };
    for (const BadFile& file : files) {
        prompts.messages.clear();
        observer.hints.clear();
        WriteWholeFile(Work("bad.cvp"), file.bytes);
        EXPECT_FALSE(Doc().OnOpenDocument(Work("bad.cvp")));
        EXPECT_EQ(prompts.messages, std::vector<std::uint32_t>{file.message});
        EXPECT_TRUE(observer.hints.empty());
        EXPECT_EQ(Take(), before);
        EXPECT_EQ(Doc().GetBlock(0), firstBlock);
        EXPECT_TRUE(Doc().IsModified());
        EXPECT_EQ(Doc().GetPathName(), pathBefore);
    }

    // Every cut of a good file inside its root chunk is refused the same way (the zero word
    // after the root is not needed).
    const std::string good = ReadWholeFile(Work("keep.cvp"));
    for (std::size_t length = 0; length + 4 < good.size(); ++length) {
        prompts.messages.clear();
        WriteWholeFile(Work("cut.cvp"), good.substr(0, length));
        EXPECT_FALSE(Doc().OnOpenDocument(Work("cut.cvp"))) << length;
        ASSERT_EQ(prompts.messages.size(), 1u) << length;
        EXPECT_EQ(Take(), before) << length;
        EXPECT_EQ(Doc().GetBlock(0), firstBlock);
    }
}

TEST_F(ProjectFileDocumentTest, AFileThatCannotBeReadAtAllGetsTheFrameworksMessage)
{
    NewDesign(ModelType::MV440);
    const Snapshot before = Take();
    EXPECT_FALSE(Doc().OnOpenDocument(Work("missing.cvp")));
    EXPECT_EQ(prompts.texts, std::vector<std::string>{"Failed to open document."});
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(Take(), before);
}

TEST_F(ProjectFileDocumentTest, AMissingDiagramForTheStoredModelReportsABrokenInstallation)
{
    NewDesign(ModelType::MV440);
    ASSERT_TRUE(Doc().OnSaveDocument(Work("four.cvp")));
    NewDesign(ModelType::MV220);
    const Snapshot before = Take();
    std::filesystem::remove(DataFolder() / "BlockDiagram2.txt");
    EXPECT_FALSE(Doc().OnOpenDocument(Work("four.cvp")));
    EXPECT_EQ(prompts.messages, std::vector<std::uint32_t>{StringId::kBrokenInstallation});
    EXPECT_EQ(Take(), before);
}

TEST_F(ProjectFileDocumentTest, AFileForTheMV440ReadsTheSecondDiagram)
{
    WriteWholeFile(DataFolder() / "BlockDiagram2.txt", "header\n5\t2\t1\t1\t0\t0\t0\t7\t0x20000\tOnly delay\n");
    NewDesign(ModelType::MV440);
    ASSERT_TRUE(Doc().OnSaveDocument(Work("two.cvp")));
    NewDesign(ModelType::MV220);
    ASSERT_TRUE(Doc().OnOpenDocument(Work("two.cvp")));
    EXPECT_EQ(Doc().GetModel(), ModelType::MV440);
    ASSERT_EQ(Doc().GetBlockCount(), 1u);
    EXPECT_EQ(Doc().GetBlock(0)->name, u"Only delay");
}

TEST_F(ProjectFileDocumentTest, OpeningGoesOfflineAndResetsTheViewsOnlyWhenTheFileIsGood)
{
    NewDesign(ModelType::MV440);
    ASSERT_TRUE(Doc().OnSaveDocument(Work("good.cvp")));
    observer.hints.clear();
    ASSERT_TRUE(Doc().OnOpenDocument(Work("good.cvp")));
    EXPECT_EQ(observer.Hints(),
              (std::vector<UpdateHint>{UpdateHint::AmplifierChanged, UpdateHint::EnableControlView, UpdateHint::Reset}));
}

TEST_F(ProjectFileDocumentTest, ASaveReplacesTheOldFileAndLeavesNoTemporaryFile)
{
    NewDesign(ModelType::MV440);
    WriteWholeFile(Work("d.cvp"), "old content");
    Doc().SetModifiedFlag(true);
    ASSERT_TRUE(Doc().OnSaveDocument(Work("d.cvp")));
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Doc().GetTitle(), "d.cvp");
    EXPECT_EQ(ReadWholeFile(Work("d.cvp")).substr(0, 16), SignatureBytes());
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(WorkFolder())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1u);
}

TEST_F(ProjectFileDocumentTest, AFailedSaveLeavesTheOldFileAndSaysSo)
{
    NewDesign(ModelType::MV440);
    const std::filesystem::path locked = WorkFolder() / "locked";
    std::filesystem::create_directory(locked);
    WriteWholeFile(locked / "d.cvp", "old content");
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (::access(locked.c_str(), W_OK) == 0) {
        // Running with privileges that ignore folder permissions: use a path that cannot be a file.
        std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
        std::filesystem::create_directory(locked / "dir.cvp");
        Doc().SetModifiedFlag(true);
        EXPECT_FALSE(Doc().OnSaveDocument(locked / "dir.cvp"));
        EXPECT_TRUE(std::filesystem::is_directory(locked / "dir.cvp"));
    } else {
        Doc().SetModifiedFlag(true);
        EXPECT_FALSE(Doc().OnSaveDocument(locked / "d.cvp"));
        std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    }
    EXPECT_EQ(ReadWholeFile(locked / "d.cvp"), "old content");
    EXPECT_EQ(prompts.messages, std::vector<std::uint32_t>{StringId::kProjectSaveFailed});
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_TRUE(Doc().GetPathName().empty());
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(locked)) {
        files += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(files, 1u);
}

TEST_F(ProjectFileDocumentTest, AWriteThatFailsLeavesTheOldFileAndNoTemporaryFile)
{
    // A document whose model choice was cancelled holds no design: its write fails after
    // the temporary file was made.
    NewDesign(ModelType::MV440);
    prompts.chooseAnswer = ModelType::Unknown;
    ASSERT_FALSE(Doc().OnNewDocument());
    WriteWholeFile(Work("kept.cvp"), "old content");
    EXPECT_FALSE(Doc().OnSaveDocument(Work("kept.cvp")));
    EXPECT_EQ(ReadWholeFile(Work("kept.cvp")), "old content");
    EXPECT_EQ(prompts.messages, std::vector<std::uint32_t>{StringId::kProjectSaveFailed});
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(WorkFolder())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1u);
    EXPECT_FALSE(Doc().OnSaveDocument(Work("none.cvp")));
    EXPECT_FALSE(std::filesystem::exists(Work("none.cvp")));
}

}  // namespace
