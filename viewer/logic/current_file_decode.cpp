#include "current_file_decode.h"

namespace orvane {

int CurrentFileDecode::DecodeCurrentFile() {
  const vexo::FileDecodeOutcome outcome = decoder_.Decode(currentFilePath);
  lastDecodeFailed_ = outcome.status != vexo::FileDecodeStatus::kOk;
  if (lastDecodeFailed_) {
    ReportFailure(outcome);
    return 0;
  }
  ShowPicture();
  if (saveBmp) WriteBmp();
  return 1;
}

// The fixed text in a box, and beside it in the status bar which file failed
// and why, since the picture and statistics of the previous file stay up. A
// file that cannot be opened gets no box.
void CurrentFileDecode::ReportFailure(const vexo::FileDecodeOutcome& outcome) {
  services_.status.ShowStatus(vexo::FailureReport(currentFilePath, outcome));
  if (outcome.status == vexo::FileDecodeStatus::kCannotOpen) return;
  // Stop before the modal box, whose message loop could deliver a tick.
  services_.timer.Kill();
  services_.messages.ShowMessage(vexo::FailureText(outcome.status));
}

void CurrentFileDecode::ShowPicture() {
  services_.display.SetImageSize(decoder_.ImageWidth(), decoder_.ImageHeight());
  services_.display.SetImage(decoder_.Bitmap());
  services_.statistics.ShowStatistics(decoder_.Statistics());
}

void CurrentFileDecode::WriteBmp() {
  const vexo::Result<void> saved = decoder_.SaveBmp();
  if (!saved) services_.status.ShowStatus(saved.error().message);
}

}  // namespace orvane
