// The document's project files: reading into a separate design that replaces the current one
// only when the whole file was read, and saving through a temporary file.
#include <algorithm>
#include <cctype>
#include <system_error>

#include "application/document/BlockDiagramFile.h"
#include "application/document/CCorvantEditorDoc.h"
#include "application/document/ProjectFile.h"
#include "application/settings/SafeReplaceFile.h"
#include "platform/base/ByteStreamFile.h"
#include "resources/strings/StringIds.h"

namespace {

std::string FoldCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The folder as one text: absolute, links resolved where they exist, no trailing separator.
std::string FolderKey(const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(folder, error);
    if (error) {
        resolved = std::filesystem::absolute(folder, error).lexically_normal();
    }
    std::string text = resolved.generic_string();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    return FoldCase(text);
}

// Files shipped in the Data folder are templates: they open as untitled designs, so that a
// save never writes over the installation.
bool LiesDirectlyIn(const std::filesystem::path& file, const std::filesystem::path& folder)
{
    std::error_code error;
    const std::filesystem::path absoluteFile = std::filesystem::absolute(file, error);
    if (error) {
        return false;
    }
    return FolderKey(absoluteFile.parent_path()) == FolderKey(folder);
}

platform::ByteStreamRef OpenFileStream(const std::filesystem::path& path, platform::FileMode mode)
{
    platform::FileStream* stream = nullptr;
    if (platform::Failed(platform::FileStream::Open(path, mode, &stream))) {
        return {};
    }
    return platform::ByteStreamRef::Adopt(stream);
}

}  // namespace

int CCorvantEditorDoc::ReadProjectStream(platform::ByteStream* stream)
{
    ProjectContents contents;
    const DiagramLoader loader = [this](ModelType model, std::vector<std::unique_ptr<DiagramBlock>>& blocks) {
        return ReadBlockDiagramFile(dataFolder_ / BlockDiagramFileName(model), blocks);
    };
    const int result = ::ReadProjectStream(stream, loader, contents);
    if (result < 0) {
        return result;
    }
    DeleteContents();
    model_ = contents.model;
    blocks_ = std::move(contents.blocks);
    mutePolarityNormallyOpen_ = contents.mutePolarityNormallyOpen;
    return result;
}

bool CCorvantEditorDoc::WriteProjectStream(platform::ByteStream* stream) const
{
    // A document without a model holds no design; its file could never be opened.
    if (model_ < ModelType::MV220 || model_ > ModelType::MV340A) {
        return false;
    }
    return ::WriteProjectStream(stream, model_, blocks_, mutePolarityNormallyOpen_);
}

bool CCorvantEditorDoc::OnOpenDocument(const std::filesystem::path& path)
{
    // The framework's check that the file can be read at all.
    if (!OpenFileStream(path, platform::FileMode::Read)) {
        services_.prompts.ShowText(std::string(kFailedToOpenDocumentText), MessageIcon::Error, MessageButtons::Ok);
        return false;
    }

    int result = ProjectRead::kCannotOpen;
    {
        platform::ByteStreamRef stream = OpenFileStream(path, platform::FileMode::Read);
        if (stream) {
            result = ReadProjectStream(stream.Get());
        }
    }
    if (result < 0) {
        services_.prompts.ShowMessage(ProjectReadMessageId(result), MessageIcon::Error, MessageButtons::Ok);
        return false;
    }

    modified_ = false;
    firstNewDocument_ = 0;
    freshDesign_ = 0;
    if (result == ProjectRead::kUnmatchedRecords) {
        services_.prompts.ShowMessage(StringId::kProjectUnknownParameters, MessageIcon::Information,
                                      MessageButtons::Ok);
    }
    if (!CreateDesignControllers()) {
        services_.prompts.ShowMessage(StringId::kProjectLoadControllersFailed, MessageIcon::Error, MessageButtons::Ok);
    }
    BuildMeterList();
    ApplyModelToControllers(model_);
    services_.application.RunIdlePass();
    creatingForAmplifier_ = 0;
    if (!services_.application.IsStartUpInProgress()) {
        PostDelayedGoOnline(GoOnlineMode::kOpenedFile);
    }

    if (LiesDirectlyIn(path, dataFolder_)) {
        pathName_.clear();
        title_.clear();
    } else {
        SetPathAndTitleFromFile(path);
    }
    return true;
}

bool CCorvantEditorDoc::OnSaveDocument(const std::filesystem::path& path)
{
    std::filesystem::path folder = path.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::filesystem::path temporary;
    bool saved = CreateTempFileIn(folder, "cvp", temporary) == 0;
    if (saved) {
        platform::FileStream* file = nullptr;
        saved = platform::Succeeded(platform::FileStream::Open(temporary, platform::FileMode::Create, &file));
        if (saved) {
            const platform::ByteStreamRef hold = platform::ByteStreamRef::Adopt(file);
            saved = WriteProjectStream(file) && platform::Succeeded(file->Sync()) && platform::Succeeded(file->Close());
        }
        saved = saved && SafeReplaceFile(temporary, path) == 0;
        if (!saved) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
        }
    }
    if (!saved) {
        services_.prompts.ShowMessage(StringId::kProjectSaveFailed, MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    modified_ = false;
    SetPathAndTitleFromFile(path);
    return true;
}

void CCorvantEditorDoc::SetPathAndTitleFromFile(const std::filesystem::path& path)
{
    std::error_code error;
    const std::filesystem::path absolutePath = std::filesystem::absolute(path, error);
    pathName_ = error ? path : absolutePath;
    title_ = path.filename().string();
}
