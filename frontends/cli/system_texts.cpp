#include "frontends/cli/system_texts.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace fp::cli {
namespace {

struct ErrorText {
  int error;
  std::string_view russian;
};

// Worded as Russian system messages are, so that a user who searches for
// one finds the same trouble.
constexpr ErrorText RUSSIAN_ERRORS[] = {
    {ENOENT, "Нет такого файла или каталога"},
    {EACCES, "Отказано в доступе"},
    {EPERM, "Операция не позволена"},
    {ENOSPC, "На устройстве не осталось свободного места"},
    {EDQUOT, "Превышена дисковая квота"},
    {EROFS, "Файловая система доступна только для чтения"},
    {EISDIR, "Это каталог"},
    {ENOTDIR, "Это не каталог"},
    {EEXIST, "Файл существует"},
    {ELOOP, "Слишком много уровней символических ссылок"},
    {EBUSY, "Устройство или ресурс занято"},
    {EIO, "Ошибка ввода/вывода"},
    {ENAMETOOLONG, "Слишком длинное имя файла"},
    {EMFILE, "Слишком много открытых файлов"},
    {ENFILE, "Слишком много открытых файлов в системе"},
    {ENXIO, "Нет такого устройства или адреса"},
    {ENODEV, "Нет такого устройства"},
    {EFBIG, "Файл слишком велик"},
    {EINVAL, "Недопустимый аргумент"},
    {ETXTBSY, "Текстовый файл занят"},
    {EAGAIN, "Ресурс временно недоступен"},
    {EPIPE, "Обрыв канала"},
    {ENOMEM, "Невозможно выделить память"},
    {EINTR, "Прерван системный вызов"},
    {ENOTTY, "Неподходящий ioctl для устройства"},
    {EXDEV, "Неверная ссылка между устройствами"},
};

std::string hex(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%llXh", static_cast<unsigned long long>(value));
  return text;
}

std::string russian(const posix::SystemFailure& failure) {
  using posix::FailureKind;
  const std::string& path = failure.path;
  const std::string reason = error_text(failure.error, false);
  switch (failure.kind) {
    case FailureKind::system:
      return path + ": " + reason;
    case FailureKind::not_regular:
      return path + ": не обычный файл";
    case FailureKind::in_use:
      return path + ": занят другой программой";
    case FailureKind::still_in_use:
      return path + ": всё ещё занят другой программой спустя " + std::to_string(failure.amount) +
             " с";
    case FailureKind::larger_than:
      return path + ": больше " + std::to_string(failure.amount) + " байтов";
    case FailureKind::no_temporary_file:
      return "не удаётся создать временный файл в " + path + ": " + reason;
    case FailureKind::temporary_unreached:
      return "временный файл недоступен как " + path + ": " + reason;
    case FailureKind::line_cut_short:
      return path + ": строка записана не полностью (диск заполнен?)";
    case FailureKind::port_open:
      return "не удаётся открыть " + path + ": " + reason;
    case FailureKind::port_exclusive:
      return "не удаётся монопольно захватить " + path + ": " + reason;
    case FailureKind::port_claim:
      return "не удаётся захватить " + path + ": " + reason;
    case FailureKind::port_mode:
      return "не удаётся перевести " + path + " в режим совместимости: " + reason;
    case FailureKind::port_data_write:
      return "запись данных в " + path + " не удалась: " + reason;
    case FailureKind::port_control_write:
      return "запись управления в " + path + " не удалась: " + reason;
    case FailureKind::port_status_read:
      return "чтение состояния из " + path + " не удалось: " + reason;
    case FailureKind::port_range:
      return "по адресу " + hex(failure.amount) + " нет трёх портов";
    case FailureKind::port_permission: {
      std::string text = "нет доступа к портам " + hex(failure.amount) + "-" +
                         hex(failure.amount + 2) + ": " + reason;
      if (failure.error == EPERM || failure.error == EACCES) {
        text += failure.root ? " (ядро не разрешает прямой ввод-вывод даже root: используйте "
                               "--port ppdev)"
                             : " (для прямого ввода-вывода нужны права root)";
      }
      return text;
    }
  }
  return path;
}

}  // namespace

std::string error_text(int error, bool english) {
  if (!english) {
    for (const ErrorText& known : RUSSIAN_ERRORS) {
      if (known.error == error) return std::string(known.russian);
    }
  }
  return std::strerror(error);
}

std::string failure_text(const posix::SystemFailure& failure, bool english) {
  return english ? posix::english(failure) : russian(failure);
}

}  // namespace fp::cli
