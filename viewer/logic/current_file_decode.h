// The decode of the file the playback tick names: the file decode, then the
// picture to the display, the statistics to their pane, the BMP beside the
// source when asked for, and every failure to the user.
#pragma once

#include <string>

#include "file_decoder.h"
#include "viewer_services.h"

namespace orvane {

struct DecodeServices {
  DisplaySink& display;
  StatisticsSink& statistics;
  MessageSink& messages;
  StatusSink& status;
  PlaybackTimer& timer;
};

class CurrentFileDecode {
 public:
  explicit CurrentFileDecode(DecodeServices services) : services_(services) {}

  // Decodes currentFilePath. Returns 1 when a picture was shown, 0 otherwise.
  // Every failure names the file and what was wrong in the status bar; all
  // but a file that cannot be opened also show their fixed text in a box and
  // stop the playback timer. A BMP that cannot be written is reported in the
  // status bar and does not fail the decode.
  int DecodeCurrentFile();

  std::string currentFilePath;
  bool saveBmp = false;

  const vexo::FileDecoder& Decoder() const { return decoder_; }
  bool LastDecodeFailed() const { return lastDecodeFailed_; }

 private:
  void ReportFailure(const vexo::FileDecodeOutcome& outcome);
  void ShowPicture();
  void WriteBmp();

  DecodeServices services_;
  vexo::FileDecoder decoder_;
  bool lastDecodeFailed_ = false;
};

}  // namespace orvane
