// Owns one handle of the system (a file descriptor, a Windows HANDLE) and
// closes it on every path. Traits name the handle type, the value that means
// "none" and the call that closes.
#pragma once

namespace fp {

template <typename Traits>
class OwnedHandle {
 public:
  using Handle = typename Traits::Handle;

  explicit OwnedHandle(Handle handle) : handle_(handle) {}
  ~OwnedHandle() { close(); }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;

  [[nodiscard]] bool is_open() const { return handle_ != Traits::none(); }
  [[nodiscard]] Handle get() const { return handle_; }
  void reset(Handle handle) {
    close();
    handle_ = handle;
  }

 private:
  void close() {
    if (is_open()) Traits::close(handle_);
  }

  Handle handle_;
};

}  // namespace fp
