#include "playback.h"

namespace orvane {
namespace {

size_t SelectedCount(const ListSelection& list) {
  size_t count = 0;
  for (size_t item = 0; item < list.ItemCount(); ++item) count += list.IsSelected(item);
  return count;
}

}  // namespace

void Playback::RebuildSelection(const ListSelection& list, const std::string& currentFolder) {
  selectedFiles_.clear();
  for (size_t item = 0; item < list.ItemCount(); ++item) {
    if (list.IsSelected(item) && !list.IsFolderItem(item))
      selectedFiles_.push_back(currentFolder + list.ItemText(item));
  }
  if (armed_) {
    playPosition_ = selectedFiles_.empty() ? std::nullopt : std::optional<size_t>(0);
  }
}

void Playback::StartPlayback() {
  playPosition_ = selectedFiles_.empty() ? std::nullopt : std::optional<size_t>(0);
  Arm();
}

void Playback::StopPlayback() {
  Kill();
}

void Playback::OnPlaybackTimer() {
  Kill();
  if (selectedFiles_.empty() || !playPosition_) return;
  const std::string path = selectedFiles_[*playPosition_];
  const size_t next = *playPosition_ + 1;
  playPosition_ = next < selectedFiles_.size() ? std::optional<size_t>(next) : std::nullopt;
  // The decode may show a modal box or stop the timer itself; only a success
  // with files left arms the next tick.
  if (decodeFile_(path) == 1 && playPosition_) Arm();
}

void Playback::SelectAllFiles(ListSelection& list, const std::string& currentFolder) {
  list.FocusList();
  list.SelectAllItems();
  RebuildSelection(list, currentFolder);
}

void Playback::OnSelectionChanged(const ListSelection& list, const std::string& currentFolder) {
  RebuildSelection(list, currentFolder);
  if (SelectedCount(list) == 1) StartPlayback();
}

void Playback::Arm() {
  timer_.Arm(PlaybackPeriod(framesPerSecond));
  armed_ = true;
}

void Playback::Kill() {
  timer_.Kill();
  armed_ = false;
}

}  // namespace orvane
