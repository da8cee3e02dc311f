// The image file between the command line and the chip. Write and verify
// take the slice's bytes from the file (raw or records, told apart by their
// content) or from standard input; a read's slice goes into the file, raw or
// records, or to standard output.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/chip_slice.h"
#include "chips/common/programmer_context.h"
#include "frontends/cli/cli_options.h"
#include "frontends/cli/image_format.h"
#include "frontends/cli/option_checks.h"
#include "frontends/cli/run_outcome.h"
#include "platform/posix/file_facts.h"

namespace fp::cli {

// The whole file; nothing, with errno set, when it cannot be read (a folder,
// a file the user may not read) or holds more than any image (a device that
// never ends).
std::optional<std::vector<uint8_t>> image_file_bytes(const std::string& path);

// Intel HEX or S-record when every line that is not blank is a record of the
// one kind; nothing otherwise.
std::optional<ImageFormat> format_by_content(const std::vector<uint8_t>& bytes);

class ImageStaging {
 public:
  ImageStaging(const CliOptions& options, const CheckedOptions& checked, Console& console)
      : options_(options), checked_(checked), console_(console) {}

  // Write and verify from "-": standard input, whole, before the board is
  // opened (the run that holds a board file may be the one writing into the
  // pipe); false after noting why.
  bool read_standard_input(RunOutcome& outcome);
  // Write and verify: the slice's bytes; nothing after noting why.
  std::optional<ImageSlice> load_slice(const ProgrammerContext& context, RunOutcome& outcome);
  // Read: how the slice will be saved, decided before the chip is read (the
  // file's format from what it holds now).
  void prepare_read();
  // Read: the chip's slice into the file (raw at the file offset, or into
  // its records; a whole-chip read replaces the file), or onto standard
  // output; false after noting why.
  bool save_read(const std::vector<uint8_t>& bytes, RunOutcome& outcome);

 private:
  [[nodiscard]] bool from_standard_stream() const { return options_.file == "-"; }
  [[nodiscard]] std::string standard_input_name() const {
    return console_.pick("standard input", "стандартный ввод");
  }
  std::optional<std::vector<uint8_t>> input_bytes(RunOutcome& outcome);
  // --format, else the content, else the name's extension (raw for a stream).
  [[nodiscard]] ImageFormat image_format(const std::vector<uint8_t>& bytes) const;
  RecordImage records(const std::vector<uint8_t>& bytes, ImageFormat format);
  std::optional<ImageSlice> raw_slice(const std::vector<uint8_t>& bytes, uint32_t length,
                                      RunOutcome& outcome);
  std::optional<ImageSlice> record_slice(const RecordImage& image, const ProgrammerContext& context,
                                         RunOutcome& outcome);

  const CliOptions& options_;
  const CheckedOptions& checked_;
  Console& console_;
  ImageFormat read_format_ = ImageFormat::raw;
  // A whole-chip read into a file: it gets the chip alone, nothing of its old content.
  bool fresh_read_ = false;
  std::optional<std::vector<uint8_t>> standard_input_;
};

}  // namespace fp::cli
