#include "platform/win32/inpout_port.h"

#include <windows.h>

#include <array>

namespace fp {
namespace {

using DriverOpenFunction = BOOL(__stdcall*)();

#ifdef _WIN64
constexpr wchar_t LIBRARY_NAME[] = L"inpoutx64.dll";
#else
constexpr wchar_t LIBRARY_NAME[] = L"inpout32.dll";
#endif

std::wstring program_folder() {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring system_folder() {
  std::array<wchar_t, MAX_PATH> buffer{};
  const UINT length = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return {};
  return std::wstring(buffer.data(), length);
}

HMODULE load_from(const std::wstring& folder) {
  if (folder.empty()) return nullptr;
  const std::wstring path = folder + L"\\" + LIBRARY_NAME;
  // A full path is never searched for; the library's own imports are looked
  // up from its folder first.
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

template <typename Function>
Function find(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

const char16_t* InpOutPort::library_name() {
  return reinterpret_cast<const char16_t*>(LIBRARY_NAME);
}

std::variant<std::unique_ptr<InpOutPort>, PortLoadError> InpOutPort::load() {
  HMODULE module = load_from(program_folder());
  if (module == nullptr) module = load_from(system_folder());
  if (module == nullptr) return PortLoadError::library_missing;
  const auto out32 = find<Out32Function>(module, "Out32");
  const auto inp32 = find<Inp32Function>(module, "Inp32");
  if (out32 == nullptr || inp32 == nullptr) {
    FreeLibrary(module);
    return PortLoadError::functions_missing;
  }
  // Older versions of the library do not export the check; they fail silently.
  if (const auto driver_open = find<DriverOpenFunction>(module, "IsInpOutDriverOpen");
      driver_open != nullptr && !driver_open()) {
    FreeLibrary(module);
    return PortLoadError::driver_not_open;
  }
  return std::unique_ptr<InpOutPort>(new InpOutPort(module, out32, inp32));
}

InpOutPort::~InpOutPort() {
  FreeLibrary(static_cast<HMODULE>(module_));
}

void InpOutPort::out(uint16_t port, uint8_t value) {
  const auto address = static_cast<uint16_t>(port - DATA_PORT + base_);
  out32_(static_cast<short>(address), static_cast<short>(value));
}

uint8_t InpOutPort::in(uint16_t port) {
  const auto address = static_cast<uint16_t>(port - DATA_PORT + base_);
  return static_cast<uint8_t>(inp32_(static_cast<short>(address)) & 0xFF);
}

std::u16string InpOutPort::library_path() const {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = GetModuleFileNameW(static_cast<HMODULE>(module_), path.data(),
                                            static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return std::u16string(path.begin(), path.end());
}

void remove_current_directory_from_dll_search() {
  SetDllDirectoryW(L"");
}

}  // namespace fp
