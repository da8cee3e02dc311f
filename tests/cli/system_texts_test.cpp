// The system's refusals in the run's language: English as the C library and
// the platform layer word them, Russian for every errno and failure a user
// meets with files and ports.
#include "frontends/cli/system_texts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "frontends/cli/board_file.h"

namespace fp::cli {
namespace {

using posix::FailureKind;
using posix::SystemFailure;
using testing::HasSubstr;

bool has_cyrillic(const std::string& text) {
  // Cyrillic letters are 0xD0 or 0xD1 followed by a continuation byte in UTF-8.
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == 0xD0 || byte == 0xD1) return true;
  }
  return false;
}

TEST(ErrorText, EveryErrnoOfFilesAndPortsHasItsRussianAndEnglishStaysStrerror) {
  for (const int error : {ENOENT, EACCES, EPERM,  ENOSPC, EDQUOT,       EROFS,  EISDIR, ENOTDIR,
                          EEXIST, ELOOP,  EBUSY,  EIO,    ENAMETOOLONG, EMFILE, ENFILE, ENXIO,
                          ENODEV, EFBIG,  EINVAL, EAGAIN, EPIPE,        ENOTTY}) {
    SCOPED_TRACE(std::strerror(error));
    EXPECT_EQ(error_text(error, true), std::strerror(error));
    const std::string russian = error_text(error, false);
    EXPECT_TRUE(has_cyrillic(russian)) << russian;
    EXPECT_NE(russian, std::strerror(error));
  }
  EXPECT_EQ(error_text(ENOENT, false), "Нет такого файла или каталога");
  EXPECT_EQ(error_text(ENOSPC, false), "На устройстве не осталось свободного места");
}

TEST(ErrorText, AnErrnoWithoutRussianStillSaysWhat) {
  // Seldom met: the C library's text rather than nothing.
  EXPECT_EQ(error_text(ECHILD, false), std::strerror(ECHILD));
}

TEST(FailureText, EveryKindIsWordedInBothLanguagesWithItsFacts) {
  for (int kind = 0; kind <= static_cast<int>(FailureKind::port_permission); ++kind) {
    const SystemFailure failure{static_cast<FailureKind>(kind), "/dev/parport9", ENOENT, 0x378,
                                false};
    const std::string english = failure_text(failure, true);
    const std::string russian = failure_text(failure, false);
    SCOPED_TRACE(english);
    EXPECT_EQ(english, posix::english(failure));
    EXPECT_TRUE(has_cyrillic(russian)) << russian;
    EXPECT_FALSE(has_cyrillic(english));
    const bool names_ports =
        failure.kind == FailureKind::port_range || failure.kind == FailureKind::port_permission;
    EXPECT_THAT(russian, HasSubstr(names_ports ? "378h" : "/dev/parport9"));
  }
}

TEST(FailureText, SaysWhatWasRefusedAndWhy) {
  EXPECT_EQ(failure_text({FailureKind::port_open, "/dev/parport9", ENOENT}, true),
            "cannot open /dev/parport9: No such file or directory");
  EXPECT_EQ(failure_text({FailureKind::port_open, "/dev/parport9", ENOENT}, false),
            "не удаётся открыть /dev/parport9: Нет такого файла или каталога");
  EXPECT_EQ(failure_text({FailureKind::still_in_use, "board.txt", 0, 60}, false),
            "board.txt: всё ещё занят другой программой спустя 60 с");
  // The advice follows who was refused: root is not told to become root.
  const std::string user = failure_text({FailureKind::port_permission, "", EPERM, 0x378}, false);
  const std::string root =
      failure_text({FailureKind::port_permission, "", EPERM, 0x378, true}, false);
  EXPECT_THAT(user, HasSubstr("378h-37Ah: Операция не позволена (для прямого ввода-вывода нужны"));
  EXPECT_THAT(root, HasSubstr("даже root: используйте --port ppdev"));
}

TEST(StoreProblemText, EveryFaultOfABoardFileIsWordedInBothLanguages) {
  for (int fault = 0; fault <= static_cast<int>(sim::StoreFault::last_chip_without_end); ++fault) {
    const sim::StoreProblem problem{
        static_cast<sim::StoreFault>(fault), "board.sim", 7, "AT49F512", "main", 65536, 256};
    const std::string english = store_problem_text(problem, true);
    const std::string russian = store_problem_text(problem, false);
    SCOPED_TRACE(english);
    EXPECT_EQ(english, sim::english(problem));
    EXPECT_EQ(russian.rfind("board.sim:7: ", 0), 0u) << russian;
    EXPECT_TRUE(has_cyrillic(russian)) << russian;
  }
  EXPECT_EQ(store_problem_text(
                {sim::StoreFault::memory_size, "b", 3, "AT49F512", "main", 65536, 256}, false),
            "b:3: память main у AT49F512 — 65536 байтов, а не 256");
}

}  // namespace
}  // namespace fp::cli
