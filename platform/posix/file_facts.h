// What the command line asks of a path or a standard stream before it uses
// it: the kind of file, whether this process may open it, whether two names
// reach one file, whether a person sits at the stream.
#pragma once

#include <optional>
#include <string>

namespace fp::posix {

enum class FileKind { missing, regular, fifo, character_device, directory, other };

struct FileFacts {
  FileKind kind = FileKind::missing;
  std::string group;  // the owning group's name (its number when it has none)
};

// Follows symbolic links.
FileFacts file_facts(const std::string& path);

// Why (the errno) this process may not open path for reading and writing
// (access(2), so with its real IDs); nothing when it may.
std::optional<int> read_write_refusal(const std::string& path);

// Whether both names exist and are one file (device and inode).
std::optional<bool> same_existing_file(const std::string& a, const std::string& b);
// Whether two names reach one file: the same entry, or the same place once
// links and dots are resolved (for a file not made yet).
bool same_file(const std::string& a, const std::string& b);

enum class StandardStream { input, output, error };
bool is_terminal(StandardStream stream);

// A file of the temporary folder ($TMPDIR, else /tmp) that has no name from
// the moment it exists, so no end of the process leaves it behind; path()
// reaches it through the open descriptor. Throws FileError.
class AnonymousFile {
 public:
  AnonymousFile();
  ~AnonymousFile();
  AnonymousFile(const AnonymousFile&) = delete;
  AnonymousFile& operator=(const AnonymousFile&) = delete;
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  int descriptor_ = -1;
  std::string path_;
};

}  // namespace fp::posix
