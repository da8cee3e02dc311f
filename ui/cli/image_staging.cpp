#include "ui/cli/image_staging.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/utf8.h"
#include "ui/cli/hex_number.h"
#include "ui/cli/option_checks.h"
#include "ui/texts.h"

namespace fp::cli {

TempFile::TempFile() {
  const char* folder = std::getenv("TMPDIR");
  std::string pattern =
      std::string(folder != nullptr && *folder != 0 ? folder : "/tmp") + "/programmer-image-XXXXXX";
  const int descriptor = ::mkstemp(pattern.data());
  if (descriptor < 0) throw ImageError("cannot create a temporary file in " + pattern);
  ::close(descriptor);
  path_ = pattern;
}

TempFile::~TempFile() {
  std::remove(path_.c_str());
}

std::optional<std::u16string> ImageStaging::stage(const ProgrammerContext& context,
                                                  RunOutcome& outcome) {
  if (format_ == ImageFormat::raw) return from_utf8(options_.file);
  try {
    temp_ = std::make_unique<TempFile>();
    if (!stage_records(context, outcome)) return std::nullopt;
  } catch (const ImageError& error) {
    outcome.fail(error.what());
    return std::nullopt;
  }
  return from_utf8(temp_->path());
}

bool ImageStaging::stage_records(const ProgrammerContext& context, RunOutcome& outcome) {
  if (options_.command == Command::read) {
    // The slice goes into the records already there, as into a raw file.
    std::error_code missing;
    if (std::filesystem::exists(options_.file, missing)) {
      read_target_ = read_record_file(options_.file, format_);
    }
    return true;
  }
  const RecordImage image = read_record_file(options_.file, format_);
  if (image.empty()) {
    outcome.fail(options_.file + ": holds no data");
    return false;
  }
  // File address a holds chip byte a - file offset + chip offset.
  const uint32_t file_offset = slice_value(options_.file_offset);
  const uint32_t chip_offset = slice_value(options_.chip_offset);
  const uint32_t chip_start = file_offset > chip_offset ? file_offset - chip_offset : 0;
  const uint32_t chip_end = file_offset - std::min(file_offset, chip_offset) + context.chip_size -
                            (chip_offset > file_offset ? chip_offset - file_offset : 0);
  const auto below = image.first_in(0, chip_start);
  const auto above = image.first_in(chip_end, image.end());
  if (below || above) {
    outcome.fail(options_.file + ": data at " + hex(below ? *below : *above) +
                 " lies outside the chip (" + to_utf8(context.current_chip->name) + ", " +
                 hex(context.chip_size) + " bytes)");
    return false;
  }
  const uint32_t raw_size =
      std::max(image.end(), file_offset + slice_length(options_, context.chip_size));
  const std::vector<uint8_t> raw = image.raw(0, raw_size);
  std::ofstream out(temp_->path(), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(raw.data()), static_cast<std::streamsize>(raw.size()));
  if (!out.flush()) {
    outcome.fail("cannot write the temporary image " + temp_->path());
    return false;
  }
  return true;
}

void ImageStaging::take_read(const ProgrammerContext& context, Console& console,
                             RunOutcome& outcome) {
  const uint32_t file_offset = context.file_offset;
  const uint32_t count = context.block_length;
  std::ifstream raw(temp_->path(), std::ios::binary);
  std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(raw), {});
  if (bytes.size() < static_cast<size_t>(file_offset) + count) {
    console.error(text::FILE_WRITE_ERROR);
    outcome.fail("the temporary image " + temp_->path() + " is short");
    return;
  }
  for (uint32_t i = 0; i < count; ++i) read_target_.set(file_offset + i, bytes[file_offset + i]);
  try {
    write_record_file(options_.file, format_, read_target_);
  } catch (const ImageError& error) {
    console.error(text::FILE_WRITE_ERROR);
    outcome.fail(error.what());
  }
}

}  // namespace fp::cli
