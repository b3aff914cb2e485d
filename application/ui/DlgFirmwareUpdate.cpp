// The firmware dialog.
#include "application/ui/DlgFirmwareUpdate.h"

#include <algorithm>
#include <climits>

#include <QListWidget>
#include <QPainter>

#include "application/firmware/FirmwareFileList.h"
#include "application/firmware/FirmwareUpdateFlow.h"
#include "application/firmware/ProgressSink.h"
#include "device_manager/sessions/IParamSessions.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/MessageBox.h"
#include "platform/ui/drawing/CProgressCtrl2.h"
#include "resources/strings/StringFormat.h"
#include "resources/strings/StringIds.h"
#include "resources/templates/FirmwareUpdateTemplate.h"

using CobaltDeviceManager::ICDM_Progress;
using CobaltDeviceManager::ICobaltAmplifier;
using CobaltDeviceManager::IUpdateFirmwareSession;
using namespace FirmwareUpdateIds;

namespace {

constexpr char kIdleProgressFormat[] = " ";  // no percentage before an update
constexpr char kUpdateProgressFormat[] = "%u%%";
constexpr std::uint32_t kRangeEnd = 100;

}  // namespace

DlgFirmwareUpdate::DlgFirmwareUpdate(IAmplifierDirectory& amplifiers, ICobaltAmplifier& amplifier,
                                     std::filesystem::path firmwareFolder, QWidget* parent)
    : platform::Dialog(kFirmwareUpdateTemplate, Kind::Modal, parent),
      amplifiers_(amplifiers),
      amplifier_(&amplifier),
      firmwareFolder_(std::move(firmwareFolder)),
      background_(kTopColour, kBottomColour)
{
    amplifier_->AddRef();
}

DlgFirmwareUpdate::~DlgFirmwareUpdate()
{
    KillTimer(kPresenceTimer);
    ReleaseSession();
    amplifier_->Release();
}

const FirmwareFile* DlgFirmwareUpdate::Selected() const
{
    return selected_ && *selected_ < files_.size() ? &files_[*selected_] : nullptr;
}

bool DlgFirmwareUpdate::OnInitDialog()
{
    fileList_ = ItemAs<QListWidget>(kFileList);
    progress_ = new platform::CProgressCtrl2;
    ReplaceItem(kProgress, progress_);
    UseTransparentStatics(*this);
    Collapse();
    // Built apart, then moved in: GCC 12 at -O3 flags the in-place assignment's copy as overlapping.
    progress_->textFormat = std::string(kIdleProgressFormat);
    progress_->leftAligned = 0;

    FirmwareVersion version;
    const bool versionRead = ParseDeviceFirmwareVersion(amplifier_->GetFirmwareVersion(), version.major, version.minor);
    if (!versionRead) {
        Messages().Post(platform::MsgError());
    }
    files_ = BuildFirmwareFileList(firmwareFolder_);
    if (files_.empty()) {
        SetStatus(StringId::kNoFirmwareFiles);
    } else if (!versionRead) {
        SetStatus(StringId::kFirmwareSelectFile);
    } else if (version < files_.front().Version()) {
        selected_ = 0;
        SetStatus(StringId::kFirmwareNeedsUpdate,
                  FormatStringId(StringId::kFirmwareNeedsUpdate, version.major, version.minor, files_.front().major,
                                 files_.front().minor));
    } else {
        SetStatus(StringId::kFirmwareUpToDate);
    }
    if (fileList_ != nullptr) {
        for (const FirmwareFile& file : files_) {
            fileList_->addItem(QString::fromStdString(file.name));
        }
        fileList_->setCurrentRow(-1);
    }
    EnableItem(kUpdate, Selected() != nullptr);
    SetTimer(kPresenceTimer, kPresenceMs);
    return true;
}

void DlgFirmwareUpdate::Collapse()
{
    if (fileList_ == nullptr) {
        return;
    }
    const QRect list = fileList_->geometry();
    const int middle = (list.top() + list.top() + list.height()) / 2;
    int smallestTop = INT_MAX;
    for (QWidget* child : Items()) {
        if (child != nullptr && child->geometry().top() >= middle) {
            movedWindows_.emplace_back(child);
            smallestTop = std::min(smallestTop, child->geometry().top());
        }
    }
    if (movedWindows_.empty()) {
        return;
    }
    collapseHeight_ = smallestTop - list.top();
    fileList_->hide();
    for (const QPointer<QWidget>& window : movedWindows_) {
        window->move(window->x(), window->y() - collapseHeight_);
    }
    resize(width(), height() - collapseHeight_);
}

void DlgFirmwareUpdate::Expand()
{
    if (expanded_) {
        return;
    }
    expanded_ = true;
    resize(width(), height() + collapseHeight_);
    for (const QPointer<QWidget>& window : movedWindows_) {
        if (window) {
            window->move(window->x(), window->y() + collapseHeight_);
        }
    }
    if (fileList_ != nullptr) {
        fileList_->show();
    }
    EnableItem(kAdvanced, false);
    update();
}

void DlgFirmwareUpdate::SetStatus(std::uint32_t stringId, const std::string& text)
{
    // The status text is transparent: what lies behind it is drawn again first.
    if (QWidget* status = Item(kStatus)) {
        update(status->geometry());
    }
    SetItemText(kStatus, text);
    statusHistory_.push_back(stringId);
}

void DlgFirmwareUpdate::SetStatus(std::uint32_t stringId)
{
    SetStatus(stringId, FormatStringId(stringId));
}

void DlgFirmwareUpdate::OnListSelChange(std::int32_t id)
{
    if (id != kFileList || fileList_ == nullptr) {
        return;
    }
    const int row = fileList_->currentRow();
    selected_.reset();
    if (row >= 0 && static_cast<std::size_t>(row) < files_.size()) {
        selected_ = static_cast<std::size_t>(row);
    }
    EnableItem(kUpdate, Selected() != nullptr);
}

void DlgFirmwareUpdate::OnButtonClicked(std::int32_t id)
{
    if (id == kAdvanced) {
        Expand();
    }
}

bool DlgFirmwareUpdate::IsAmplifierStillThere()
{
    amplifiers_.SetScanMode(0, 0);
    amplifiers_.SetScanMode(1, 0);
    return IsOnlyPresentAmplifier(amplifiers_, *amplifier_);
}

void DlgFirmwareUpdate::OnOK()
{
    const FirmwareFile* file = Selected();
    if (file == nullptr || session_ != nullptr || IsEnded()) {
        return;
    }
    FirmwareVersion version;
    const bool versionRead = ParseDeviceFirmwareVersion(amplifier_->GetFirmwareVersion(), version.major, version.minor);
    if (!versionRead || IsNewFirmwareClass(version.major, version.minor) != IsNewFirmwareClass(file->major, file->minor)) {
        platform::MessageBoxRequest request;
        request.stringId = StringId::kFirmwareFileIncompatible;
        request.text = FormatStringId(StringId::kFirmwareFileIncompatible);
        request.icon = platform::MessageIcon::Warning;
        request.buttons = platform::MessageButtons::YesNo;
        request.secondButtonDefault = true;
        if (platform::ShowMessageBox(std::move(request)) != platform::MessageAnswer::Yes) {
            return;
        }
    }
    // An amplifier unplugged while the question was open is not asked to do anything. A
    // dialog that reports a finished update stays with its result; only an untouched one goes.
    if (!IsAmplifierStillThere()) {
        if (showsResult_) {
            platform::ErrorBoxFromResource(StringId::kFirmwareStartFailed);
            return;
        }
        KillTimer(kPresenceTimer);
        EndDialog(DialogId::kCancel);
        return;
    }
    progress_->rangeMin = 0;
    progress_->rangeMax = kRangeEnd;
    const std::filesystem::path path = firmwareFolder_ / file->name;
    // The image is read before the amplifier is sent into its boot loader, which it would
    // otherwise be left in with nothing to write.
    IUpdateFirmwareSession* session = nullptr;
    ICDM_Progress* sink = nullptr;
    bool started = IsFirmwareImageReadable(path) && amplifier_->OpenFirmwareUpdateSession(path, &session) &&
                   session != nullptr && CreateProgressSink(Id(), platform::MsgProgress(), &sink) &&
                   session->Start(sink);
    if (sink != nullptr) {
        sink->Release();
    }
    if (!started) {
        if (session != nullptr) {
            session->Release();
        }
        platform::ErrorBoxFromResource(StringId::kFirmwareStartFailed);
        return;
    }
    progress_->textFormat = kUpdateProgressFormat;
    progress_->leftAligned = 0;
    progress_->SetPos(0);
    ReleaseSession();
    session_ = session;
    SetStatus(StringId::kFirmwareWriting);
    EnableItem(kUpdate, false);
    EnableItem(kClose, false);
}

void DlgFirmwareUpdate::OnCancel()
{
    const QWidget* close = Item(kClose);
    if (close != nullptr && !close->isEnabled()) {
        return;
    }
    KillTimer(kPresenceTimer);
    EndDialog(updateSucceeded_ != 0 ? DialogId::kOk : DialogId::kCancel);
}

void DlgFirmwareUpdate::OnTimer(std::uint32_t timerId)
{
    if (timerId != kPresenceTimer) {
        platform::Dialog::OnTimer(timerId);
        return;
    }
    // During an update the amplifier resets on purpose, and once an update has ended the
    // dialog shows its result until the user closes it, even when the amplifier was pulled
    // and its failure is the news; only an idle dialog takes a missing amplifier as unplugged.
    if (IsEnded() || session_ != nullptr || showsResult_) {
        return;
    }
    if (!IsAmplifierStillThere()) {
        KillTimer(kPresenceTimer);
        EndDialog(DialogId::kCancel);
    }
}

std::intptr_t DlgFirmwareUpdate::OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (message == platform::MsgProgress()) {
        OnProgressNotice(static_cast<int>(wParam), static_cast<int>(lParam));
        return 0;
    }
    if (message == platform::MsgError()) {
        OnVersionUnreadable();
        return 0;
    }
    return platform::Dialog::OnMessage(message, wParam, lParam);
}

void DlgFirmwareUpdate::OnProgressNotice(int code, int value)
{
    notices_.emplace_back(code, value);
    switch (code) {
    case CobaltDeviceManager::kFirmwareProgressPercent:
        progress_->SetPos(static_cast<std::uint32_t>(value));
        break;
    case CobaltDeviceManager::kFirmwareProgressResetting:
        SetStatus(StringId::kFirmwareSwitchingMode);
        break;
    case CobaltDeviceManager::kFirmwareProgressTransfer:
        SetStatus(StringId::kFirmwareWriting);
        break;
    case CobaltDeviceManager::kFirmwareProgressFinalReset:
        SetStatus(StringId::kFirmwareRestarting);
        break;
    case CobaltDeviceManager::kFirmwareProgressFinished:
        ReleaseSession();
        showsResult_ = true;
        EnableItem(kClose, true);
        if (value == 0) {
            SetStatus(StringId::kFirmwareUpdated);
            updateSucceeded_ = 1;
        } else {
            SetStatus(StringId::kFirmwareUpdateFailed);
            EnableItem(kUpdate, true);
            updateSucceeded_ = 0;
        }
        break;
    default:
        break;
    }
}

void DlgFirmwareUpdate::OnVersionUnreadable()
{
    show();
    repaint();
    platform::ErrorBoxFromResource(StringId::kFirmwareVersionUnidentified);
    Expand();
}

void DlgFirmwareUpdate::ReleaseSession()
{
    if (IUpdateFirmwareSession* session = std::exchange(session_, nullptr)) {
        session->Release();
    }
}

void DlgFirmwareUpdate::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    background_.Paint(painter, size());
}

bool RunFirmwareUpdateDialog(IAmplifierDirectory& amplifiers, ICobaltAmplifier& amplifier,
                             const std::filesystem::path& firmwareFolder)
{
    DlgFirmwareUpdate dialog(amplifiers, amplifier, firmwareFolder);
    return dialog.DoModal() == DialogId::kOk;
}
