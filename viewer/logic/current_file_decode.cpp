#include "current_file_decode.h"

namespace orvane {

int CurrentFileDecode::DecodeCurrentFile() {
  const vexo::FileDecodeOutcome outcome = decoder_.Decode(currentFilePath);
  if (outcome.status == vexo::FileDecodeStatus::kCannotOpen) return 0;
  if (outcome.status != vexo::FileDecodeStatus::kOk) {
    // Stop before the modal box, whose message loop could deliver a tick.
    services_.timer.Kill();
    services_.messages.ShowMessage(vexo::FailureText(outcome.status));
    return 0;
  }
  ShowPicture();
  if (saveBmp) WriteBmp();
  return 1;
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
