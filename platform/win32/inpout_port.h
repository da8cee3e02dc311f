// The parallel port through the InpOut library (Out32/Inp32). The library is
// taken only from the program's own folder or from the system folder, never
// from the current directory, where anyone could have left a file of that name.
#pragma once

#include <memory>
#include <string>
#include <variant>

#include "platform/port_io.h"

namespace fp {

enum class PortLoadError {
  library_missing,    // in neither folder, or not loadable
  functions_missing,  // loaded, but without Out32 and Inp32
  driver_not_open,    // the library says its kernel driver did not start
};

class InpOutPort final : public PortIo {
 public:
  using Out32Function = void(__stdcall*)(short port, short value);
  using Inp32Function = short(__stdcall*)(short port);

  // inpoutx64.dll in a 64-bit build, inpout32.dll in a 32-bit one.
  static const char16_t* library_name();
  static std::variant<std::unique_ptr<InpOutPort>, PortLoadError> load();

  ~InpOutPort() override;
  InpOutPort(const InpOutPort&) = delete;
  InpOutPort& operator=(const InpOutPort&) = delete;

  void out(uint16_t port, uint8_t value) override;
  uint8_t in(uint16_t port) override;

 private:
  InpOutPort(void* module, Out32Function out32, Inp32Function inp32)
      : module_(module), out32_(out32), inp32_(inp32) {}

  void* module_;
  Out32Function out32_;
  Inp32Function inp32_;
};

// Takes the current directory out of the DLL search for the rest of the run.
void remove_current_directory_from_dll_search();

}  // namespace fp
