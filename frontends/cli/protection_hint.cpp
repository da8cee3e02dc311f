#include "frontends/cli/protection_hint.h"

#include "app/chip_slice.h"
#include "platform/utf8.h"

namespace fp::cli {

std::optional<std::string> protection_hint(ProgrammerContext& context, uint32_t address,
                                           bool kept_old_bytes, bool english) {
  const ChipDescriptor& row = *context.current_chip;
  if (context.page_loads.plain_loads == 0 || row.facts.protection == DataProtection::none) {
    return std::nullopt;
  }
  // A chip still writing toggles DQ6 from one read to the next: then it is
  // busy, not protected.
  const auto first = read_chip(context, address, 1);
  const auto second = read_chip(context, address, 1);
  if (!first || !second || *first != *second) return std::nullopt;
  const std::string name = to_utf8(row.name);
  const std::string command = "programmer sdp off --chip " + name + " --port ...";
  if (english) {
    return "the " + name + "'s software data protection may be on: the pages went in without " +
           "a command (--fixed-waits sends them as the window does), which a protected chip " +
           "does not take" +
           (kept_old_bytes ? ", and the pages that differ hold what they held before" : "") + "; " +
           command + " switches it off (a write without --fixed-waits writes a protected chip too)";
  }
  return "программная защита данных " + name + ", возможно, включена: страницы ушли без " +
         "команды (--fixed-waits шлёт их, как окно), а защищённая микросхема такие страницы " +
         "не записывает" +
         (kept_old_bytes ? "; несовпадающие страницы хранят то же, что до записи" : "") +
         "; выключить защиту: " + command +
         " (запись без --fixed-waits записывает и защищённую микросхему)";
}

}  // namespace fp::cli
