// The image file between the command line and the window: the window reads
// and writes raw files only, so a record file (Intel HEX, S-record) is staged
// as a raw temporary file for it, and a read's raw result goes back into the
// records.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "chips/common/programmer_context.h"
#include "ui/cli/cli_options.h"
#include "ui/cli/image_format.h"
#include "ui/cli/run_outcome.h"

namespace fp::cli {

// A file of the temporary folder, gone with the object.
class TempFile {
 public:
  TempFile();
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
};

class ImageStaging {
 public:
  ImageStaging(const CliOptions& options, ImageFormat format)
      : options_(options), format_(format) {}

  // The path the window's image field gets; nothing after noting why on the outcome.
  std::optional<std::u16string> stage(const ProgrammerContext& context, RunOutcome& outcome);
  // After the window saved a read: puts the slice into the record file.
  void take_read(const ProgrammerContext& context, Console& console, RunOutcome& outcome);
  [[nodiscard]] bool staged() const { return temp_ != nullptr; }

 private:
  bool stage_records(const ProgrammerContext& context, RunOutcome& outcome);

  const CliOptions& options_;
  ImageFormat format_;
  std::unique_ptr<TempFile> temp_;
  RecordImage read_target_;
};

}  // namespace fp::cli
