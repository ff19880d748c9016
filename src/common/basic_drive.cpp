#include "common/basic_drive.h"

#include <utility>

#include "resources/resource.h"

namespace common {

CBasicDrive::CBasicDrive(std::wstring name, ui::IStatusHost& statusHost,
                         const res::IStringTable& strings)
    : name_(std::move(name)), statusHost_(statusHost), strings_(strings) {}

CBasicDrive::~CBasicDrive() { CloseStatus(); }

int CBasicDrive::GetSelectedIndex() const {
  if (comboBox_ == nullptr) return -1;
  const int index = comboBox_->GetSelection();
  return index < 0 ? -1 : index;
}

bool CBasicDrive::ShowStatus(bool disableCancel) {
  if (statusWindow_ && statusShown_) {
    // Already open: one window per object, never a second one over it.
    statusWindow_->Show();
    statusWindow_->EnableCancel(!disableCancel);
    return true;
  }
  if (!statusWindow_) {
    statusWindow_ = statusHost_.NewStatusDlg();
    if (!statusWindow_) return false;
  }
  if (!statusWindow_->Create()) {
    statusWindow_.reset();
    return false;
  }
  statusWindow_->SetCaption(strings_.Load(IDS_APP_TITLE));
  statusWindow_->Show();
  if (disableCancel) statusWindow_->EnableCancel(false);
  statusShown_ = true;
  return true;
}

void CBasicDrive::SetStatusProgress(std::int32_t position) {
  if (statusWindow_) statusWindow_->SetPos(position);
}

void CBasicDrive::CloseStatus() {
  if (!statusWindow_) return;
  ui::ScreenRect rect;
  const bool hadRect = statusWindow_->GetScreenRect(&rect);
  statusWindow_->Destroy();
  if (hadRect) statusHost_.RepaintScreenRect(rect);
  statusShown_ = false;
  statusWindow_.reset();
}

}  // namespace common
