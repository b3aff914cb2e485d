// The download dialog.
#include "application/ui/DlgPushPullProgress.h"

#include <utility>

#include <QPainter>

#include "application/transfer/ReadParamResult.h"
#include "device_manager/sessions/IParamSessions.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/MessageBox.h"
#include "platform/ui/drawing/CProgressCtrl2.h"
#include "platform/ui/drawing/Canvas.h"
#include "platform/ui/drawing/SystemColors.h"
#include "resources/strings/StringIds.h"
#include "resources/templates/PushPullProgressTemplate.h"

using CobaltDeviceManager::ICDM_Progress;
using CobaltDeviceManager::IReadParamSink;

namespace {

constexpr char kProgressFormat[] = "Downloading parameters... (%u%%)";
constexpr std::uint32_t kRangeEnd = 100;

}  // namespace

DlgPushPullProgress::DlgPushPullProgress(CobaltDeviceManager::ICobaltAmplifier* amplifier,
                                         std::shared_ptr<ReadParamStore> store, QWidget* parent)
    : DControl(kPushPullProgressTemplate, platform::Dialog::Kind::Modal, parent),
      amplifier_(amplifier),
      store_(std::move(store))
{
    if (amplifier_ != nullptr) {
        amplifier_->AddRef();
    }
}

DlgPushPullProgress::~DlgPushPullProgress()
{
    KillTimer(kStallTimer);
    ReleaseSession();
    if (store_) {
        store_->Close();
    }
    if (amplifier_ != nullptr) {
        amplifier_->Release();
    }
}

bool DlgPushPullProgress::IsAbortShown() const
{
    const QWidget* abort = Item(PushPullProgressIds::kAbort);
    return abort != nullptr && !abort->isHidden();
}

bool DlgPushPullProgress::OnInitDialog()
{
    DControl::OnInitDialog();
    progress_ = new platform::CProgressCtrl2;
    ReplaceItem(PushPullProgressIds::kProgress, progress_);
    progress_->textFormat = kProgressFormat;
    progress_->rangeMin = 0;
    progress_->rangeMax = kRangeEnd;
    progress_->SetPos(0);
    lastValue_ = kNoValue;
    SetTimer(kStallTimer, kStallMs);
    if (!StartSession()) {
        platform::ErrorBoxFromResource(StringId::kDownloadStartFailed);
        EndDialog(DownloadEnd::kStartFailed);
    }
    return true;
}

bool DlgPushPullProgress::StartSession()
{
    ICDM_Progress* progress = nullptr;
    IReadParamSink* sink = nullptr;
    if (!store_ || !CreateReadParamResult(Id(), platform::MsgProgress(), store_, &progress, &sink)) {
        return false;
    }
    CobaltDeviceManager::IReadParamSession* session = nullptr;
    bool started = false;
    if (amplifier_ != nullptr && amplifier_->OpenReadParamSession(&session) && session != nullptr) {
        started = session->Start(progress, sink);
    }
    // The session holds its own references to the sink from here on.
    progress->Release();
    sink->Release();
    if (!started) {
        if (session != nullptr) {
            session->Release();
        }
        return false;
    }
    session_ = session;
    return true;
}

void DlgPushPullProgress::ReleaseSession()
{
    if (session_ != nullptr) {
        CobaltDeviceManager::IReadParamSession* session = std::exchange(session_, nullptr);
        session->Release();
    }
}

std::intptr_t DlgPushPullProgress::OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (message != platform::MsgProgress() || IsEnded()) {
        return DControl::OnMessage(message, wParam, lParam);
    }
    if (wParam == ProgressNotice::kProgress) {
        OnProgressValue(static_cast<std::int32_t>(lParam));
    } else if (wParam == ProgressNotice::kFinished) {
        OnFinished(static_cast<std::int32_t>(lParam));
    }
    return 0;
}

void DlgPushPullProgress::OnProgressValue(std::int32_t value)
{
    // Held short of the end, so the bar never looks finished before the session is.
    const auto position = static_cast<std::int32_t>(static_cast<std::int64_t>(value) * 99 / 100);
    if (progress_ != nullptr) {
        progress_->SetPos(static_cast<std::uint32_t>(position));
    }
    if (static_cast<std::uint32_t>(value) != lastValue_) {
        SetTimer(kStallTimer, kStallMs);
        lastValue_ = static_cast<std::uint32_t>(value);
    }
}

void DlgPushPullProgress::OnFinished(std::int32_t result)
{
    if (store_ && amplifier_ != nullptr) {
        store_->SetNormallyOpen(amplifier_->GetMutePolarity());
    }
    ReleaseSession();
    KillTimer(kStallTimer);
    if (result == CobaltDeviceManager::kSessionFailed) {
        platform::MessageBoxId(StringId::kDownloadFailed);
    }
    EndDialog(result == CobaltDeviceManager::kSessionDone ? DownloadEnd::kDone : DownloadEnd::kFailed);
}

void DlgPushPullProgress::OnPanelTimer(std::uint32_t timerId)
{
    if (timerId != kStallTimer) {
        return;
    }
    KillTimer(kStallTimer);
    // Shown without taking the focus from where it is.
    if (QWidget* abort = Item(PushPullProgressIds::kAbort)) {
        abort->setAttribute(Qt::WA_ShowWithoutActivating);
        abort->show();
    }
}

void DlgPushPullProgress::paintEvent(QPaintEvent* event)
{
    DControl::paintEvent(event);
    if (progress_ == nullptr || progress_->isHidden()) {
        return;
    }
    QPainter painter(this);
    platform::Canvas canvas(painter);
    canvas.FrameRect(platform::Rect::FromQRect(progress_->geometry()).Inflated(1, 1),
                     platform::SolidBrush(platform::SysColor::kWindowFrame));
}

void DlgPushPullProgress::OnOK() {}

void DlgPushPullProgress::OnCancel()
{
    EnableItem(PushPullProgressIds::kAbort, false);
    CobaltDeviceManager::IReadParamSession* session = std::exchange(session_, nullptr);
    if (session == nullptr) {
        EndDialog(DownloadEnd::kAborted);
        return;
    }
    // The session's completion (result 1) ends the dialog.
    session->Cancel();
    session->Release();
}

int RunDownloadProgress(CobaltDeviceManager::ICobaltAmplifier* amplifier, std::shared_ptr<ReadParamStore> store)
{
    int code = DownloadEnd::kStartFailed;
    {
        DlgPushPullProgress dialog(amplifier, store);
        code = dialog.DoModal();
    }
    if (store) {
        store->Close();
    }
    return code;
}
