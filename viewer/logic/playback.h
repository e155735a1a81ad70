// The slide show: the selected paths, the position of the next one, the
// frame rate, and the one-shot timer whose tick decodes the next file.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "viewer_services.h"

namespace orvane {

// The rates offered, in menu order; 0 means no delay.
inline constexpr std::array<int, 6> kFrameRates = {0, 30, 15, 10, 60, 1};

// 1000 / framesPerSecond milliseconds, or 1 for no delay.
constexpr int PlaybackPeriod(int framesPerSecond) {
  return framesPerSecond > 0 ? 1000 / framesPerSecond : 1;
}

class Playback {
 public:
  // decodeFile decodes one path and returns 1 on success, 0 to end the run.
  Playback(PlaybackTimer& timer, std::function<int(const std::string&)> decodeFile)
      : timer_(timer), decodeFile_(std::move(decodeFile)) {}

  // The paths of the selected pictures, in list order; folder entries are
  // passed over, since they are not pictures. While a run is armed it
  // restarts from the first path of the new selection, so the position never
  // refers to a path that is gone.
  void RebuildSelection(const ListSelection& list, const std::string& currentFolder);
  // Plays selectedFiles from the first one, one period from now.
  void StartPlayback();
  void StopPlayback();
  void OnPlaybackTimer();
  // Focuses the list, selects every item and rebuilds the selection; does
  // not start playback.
  void SelectAllFiles(ListSelection& list, const std::string& currentFolder);
  // A click or a keyboard change of the selection: exactly one item selected
  // plays it; any other count only rebuilds the selection.
  void OnSelectionChanged(const ListSelection& list, const std::string& currentFolder);

  bool IsArmed() const { return armed_; }
  const std::vector<std::string>& SelectedFiles() const { return selectedFiles_; }
  std::optional<size_t> PlayPosition() const { return playPosition_; }

  int framesPerSecond = 0;

 private:
  void Arm();
  void Kill();

  PlaybackTimer& timer_;
  std::function<int(const std::string&)> decodeFile_;
  std::vector<std::string> selectedFiles_;
  std::optional<size_t> playPosition_;
  bool armed_ = false;
};

}  // namespace orvane
