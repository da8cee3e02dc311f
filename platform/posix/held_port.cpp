#include "platform/posix/held_port.h"

namespace fp::posix {

void HeldPort::release() noexcept {
  // The farewell goes out before the flag is set: out() refuses a released port.
  if (released_.load()) return;
  for (const PortWrite& write : farewell_) out(write.port, write.value);
  if (released_.exchange(true)) return;
  let_go();
}

}  // namespace fp::posix
