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

  // The bus addresses the registers at DATA_PORT, DATA_PORT+1 and +2; they
  // go to base, base+1 and base+2 (a card's port is seldom at 0x378).
  void set_base(uint16_t base) { base_ = base; }
  [[nodiscard]] uint16_t base() const { return base_; }
  // The full path of the library in use.
  [[nodiscard]] std::u16string library_path() const;

 private:
  InpOutPort(void* module, Out32Function out32, Inp32Function inp32)
      : module_(module), out32_(out32), inp32_(inp32) {}

  void* module_;
  Out32Function out32_;
  Inp32Function inp32_;
  uint16_t base_ = DATA_PORT;
};

// Takes the current directory out of the DLL search for the rest of the run.
void remove_current_directory_from_dll_search();

}  // namespace fp
