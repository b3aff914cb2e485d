#include "tests/app_document/DocumentTestSupport.h"

#include "application/document/AmplifierRef.h"
#include "application/document/ProjectFile.h"

MessageAnswer ScriptedPrompts::ShowMessage(std::uint32_t stringId, MessageIcon icon, MessageButtons)
{
    messages.push_back(stringId);
    icons.push_back(icon);
    log_.push_back("message:" + std::to_string(stringId));
    return MessageAnswer::Ok;
}

MessageAnswer ScriptedPrompts::ShowText(const std::string& text, MessageIcon, MessageButtons)
{
    texts.push_back(text);
    log_.push_back("text:" + text);
    return MessageAnswer::Ok;
}

ModelType ScriptedPrompts::ChooseModel(ModelType preset)
{
    choosePresets.push_back(preset);
    log_.push_back("choose:" + std::to_string(static_cast<int>(preset)));
    return chooseAnswer;
}

ModelType FakeApplication::TakePendingNewDesignModel()
{
    const ModelType model = pendingModel;
    pendingModel = ModelType::Unknown;
    return model;
}

void FakeApplication::PostCommand(std::uint32_t commandId)
{
    postedCommands.push_back(commandId);
    log_.push_back("post:" + std::to_string(commandId));
}

void FakeApplication::RunIdlePass()
{
    ++idlePasses;
    log_.push_back("idle");
}

void FakeApplication::PostWakeUp(CobaltDeviceManager::WindowId window)
{
    lastWakeUpWindow.store(window);
    ++wakeUps;
}

void FakeApplication::ShowLockDialog(std::uint32_t stringId, std::uint32_t delayMs)
{
    log_.push_back("lock:" + std::to_string(stringId) + "," + std::to_string(delayMs));
}

std::uint32_t FakeAmplifierDirectory::ForFirstActiveAmplifier(CobaltDeviceManager::ICobaltAmplifier** first)
{
    if (!present.empty()) {
        present.front()->AddRef();
        *first = present.front();
    }
    return static_cast<std::uint32_t>(present.size());
}

void FakeAmplifierDirectory::SetScanMode(std::uint32_t suspend, std::uint32_t clearList)
{
    log_.push_back("scan:" + std::to_string(suspend) + "," + std::to_string(clearList));
}

std::vector<UpdateHint> RecordingObserver::Hints() const
{
    std::vector<UpdateHint> result;
    for (const RecordedHint& recorded : hints) {
        result.push_back(recorded.hint);
    }
    return result;
}

DocumentTest::DocumentTest()
{
    CurrentAmplifier::Set(nullptr);
    for (const char* name : {"BlockDiagram.txt", "BlockDiagram2.txt"}) {
        std::filesystem::copy_file(std::filesystem::path(QUARRY_SHIPPED_DATA_DIR) / name, data_.Path() / name);
    }
}

DocumentTest::~DocumentTest()
{
    if (document_) {
        document_->RemoveObserver(&observer);
    }
    document_.reset();
    CurrentAmplifier::Set(nullptr);
}

CCorvantEditorDoc& DocumentTest::Doc()
{
    if (!document_) {
        document_ = std::make_unique<CCorvantEditorDoc>(DocumentServices{prompts, application, amplifiers}, data_.Path());
        document_->AddObserver(&observer);
    }
    return *document_;
}

void DocumentTest::NewDesign(ModelType model)
{
    CCorvantEditorDoc& document = Doc();
    if (document.IsFirstNewDocument()) {
        // The first design after start-up takes its model without asking; use it up.
        ASSERT_TRUE(document.OnNewDocument());
    }
    application.pendingModel = model;
    ASSERT_TRUE(document.OnNewDocument());
    ASSERT_EQ(document.GetModel(), model);
}

std::string U32(std::uint32_t value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return bytes;
}

std::string Chunk(std::uint32_t tag, const std::string& payload)
{
    return U32(static_cast<std::uint32_t>(payload.size())) + U32(tag) + payload;
}

std::string SignatureBytes()
{
    return std::string(ProjectFormat::kSignature.begin(), ProjectFormat::kSignature.end());
}

std::string ProjectBytes(const std::string& rootPayload)
{
    return SignatureBytes() + Chunk(ProjectFormat::kRootTag, rootPayload) + U32(0);
}

std::string BlockRecord(std::uint32_t type, std::uint32_t channel, std::uint32_t stage, const std::string& blob)
{
    return Chunk(ProjectFormat::kBlockTag,
                 U32(type) + U32(channel) + U32(stage) + Chunk(ProjectFormat::kParamBlobTag, blob));
}

std::vector<std::string> BlobsOf(const CCorvantEditorDoc& document)
{
    std::vector<std::string> blobs;
    for (const std::unique_ptr<DiagramBlock>& block : document.Blocks()) {
        const std::span<const std::uint8_t> bytes = block->paramBlob.Bytes();
        blobs.emplace_back(bytes.begin(), bytes.end());
    }
    return blobs;
}
