// Doubles and helpers for the document tests: scripted prompts, a recording application and
// amplifier list, an amplifier that counts its references, views that record their hints,
// temporary folders and hand-built project bytes.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "application/document/CCorvantEditorDoc.h"
#include "application/document/DocumentServices.h"
#include "tests/support/RecordingAmplifier.h"
#include "tests/support/TempFolder.h"

// What happened across the doubles, in order ("message:149", "choose:2", "scan:1,0", ...).
using EventLog = std::vector<std::string>;

class ScriptedPrompts final : public IDocumentPrompts {
public:
    explicit ScriptedPrompts(EventLog& log) : log_(log) {}
    MessageAnswer ShowMessage(std::uint32_t stringId, MessageIcon icon, MessageButtons buttons) override;
    MessageAnswer ShowText(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    ModelType ChooseModel(ModelType preset) override;

    std::vector<std::uint32_t> messages;  // ids in order
    std::vector<MessageIcon> icons;
    std::vector<std::string> texts;       // fixed texts in order
    std::vector<ModelType> choosePresets;
    ModelType chooseAnswer = ModelType::Unknown;

private:
    EventLog& log_;
};

class FakeApplication final : public IDocumentApplication {
public:
    explicit FakeApplication(EventLog& log) : log_(log) {}
    ModelType TakePendingNewDesignModel() override;
    bool IsStartUpInProgress() override { return startUpInProgress; }
    void PostCommand(std::uint32_t commandId) override;
    void RunIdlePass() override;
    CobaltDeviceManager::WindowId MainWindow() override { return mainWindow; }
    void PostWakeUp(CobaltDeviceManager::WindowId window) override;
    void ShowLockDialog(std::uint32_t stringId, std::uint32_t delayMs) override;

    ModelType pendingModel = ModelType::Unknown;
    bool startUpInProgress = false;
    CobaltDeviceManager::WindowId mainWindow = 77;
    std::vector<std::uint32_t> postedCommands;
    int idlePasses = 0;
    // Touched by the amplifier's worker thread in the callback tests.
    std::atomic<int> wakeUps{0};
    std::atomic<CobaltDeviceManager::WindowId> lastWakeUpWindow{0};

private:
    EventLog& log_;
};

class FakeAmplifierDirectory final : public IAmplifierDirectory {
public:
    explicit FakeAmplifierDirectory(EventLog& log) : log_(log) {}
    std::uint32_t ForFirstActiveAmplifier(CobaltDeviceManager::ICobaltAmplifier** first) override;
    void SetScanMode(std::uint32_t suspend, std::uint32_t clearList) override;

    std::vector<RecordingAmplifier*> present;

private:
    EventLog& log_;
};

struct RecordedHint {
    UpdateHint hint;
    CobaltDeviceManager::ICobaltAmplifier* amplifier;
    friend bool operator==(const RecordedHint&, const RecordedHint&) = default;
};

class RecordingObserver final : public IDocumentObserver {
public:
    void OnUpdate(CCorvantEditorDoc&, UpdateHint hint, CobaltDeviceManager::ICobaltAmplifier* amplifier) override
    {
        hints.push_back({hint, amplifier});
    }
    std::vector<UpdateHint> Hints() const;
    std::vector<RecordedHint> hints;
};

// A document over a private Data folder that holds copies of the shipped block diagrams.
class DocumentTest : public ::testing::Test {
protected:
    DocumentTest();
    ~DocumentTest() override;

    // Creates the document on first use (tests may change the data folder before).
    CCorvantEditorDoc& Doc();
    // A new design of the model, chosen through a new-design command.
    void NewDesign(ModelType model);
    const std::filesystem::path& DataFolder() const { return data_.Path(); }
    const std::filesystem::path& WorkFolder() const { return work_.Path(); }

    EventLog log;
    ScriptedPrompts prompts{log};
    FakeApplication application{log};
    FakeAmplifierDirectory amplifiers{log};
    RecordingObserver observer;

private:
    TempFolder data_;
    TempFolder work_;
    std::unique_ptr<CCorvantEditorDoc> document_;
};

// Hand-built project bytes (little-endian).
std::string U32(std::uint32_t value);
std::string Chunk(std::uint32_t tag, const std::string& payload);
std::string SignatureBytes();
// Signature, root chunk around `rootPayload`, end marker.
std::string ProjectBytes(const std::string& rootPayload);
std::string BlockRecord(std::uint32_t type, std::uint32_t channel, std::uint32_t stage, const std::string& blob);

// The blob of every block in order, as text.
std::vector<std::string> BlobsOf(const CCorvantEditorDoc& document);

inline constexpr ModelType kAllModels[] = {ModelType::MV220, ModelType::MV220P, ModelType::MV440, ModelType::MV440A,
                                           ModelType::MV340A};
