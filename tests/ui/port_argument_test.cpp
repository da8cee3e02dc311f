// The command line of programmer.exe: the port's base address, and every
// wrong command line refused with what was wrong.
#include "frontends/win32/port_argument.h"

#include <gtest/gtest.h>

#include "ui/texts.h"

namespace fp {
namespace {

PortArgument argument_of(std::u16string_view line) {
  const auto parsed = parse_port_argument(line);
  EXPECT_TRUE(std::holds_alternative<PortArgument>(parsed)) << "refused";
  return std::holds_alternative<PortArgument>(parsed) ? std::get<PortArgument>(parsed)
                                                      : PortArgument{0, false};
}

uint16_t base_of(std::u16string_view line) {
  return argument_of(line).base;
}

std::u16string refusal_of(std::u16string_view line) {
  const auto parsed = parse_port_argument(line);
  EXPECT_TRUE(std::holds_alternative<PortArgumentError>(parsed)) << "taken";
  return std::holds_alternative<PortArgumentError>(parsed)
             ? std::get<PortArgumentError>(parsed).what
             : std::u16string();
}

TEST(PortArgument, AddressesOfCardsAndTheDefault) {
  EXPECT_EQ(base_of(u""), 0x378);
  EXPECT_EQ(base_of(u"  "), 0x378);
  EXPECT_EQ(base_of(u"/port D010"), 0xD010);
  EXPECT_EQ(base_of(u"/PORT e000"), 0xE000);
  EXPECT_EQ(base_of(u"-port 0x278"), 0x278);
  EXPECT_EQ(base_of(u"\t/Port\t3bc "), 0x3BC);
  EXPECT_EQ(base_of(u"/port 100"), LOWEST_PORT_BASE);
  EXPECT_EQ(base_of(u"/port FFFD"), HIGHEST_PORT_BASE);
  EXPECT_EQ(base_of(u"/port 00D010"), 0xD010);
}

TEST(PortArgument, WrongCommandLinesSayWhatWasWrong) {
  EXPECT_EQ(refusal_of(u"/port"), u"после /port нет адреса порта");
  EXPECT_EQ(refusal_of(u"/port 37G"), u"«37G» не шестнадцатеричное число");
  EXPECT_EQ(refusal_of(u"/port -378"), u"«-378» не шестнадцатеричное число");
  EXPECT_EQ(refusal_of(u"/port 0x"), u"«0x» не шестнадцатеричное число");
  // Hexadecimal, only too large: the refusal names the range, not the spelling.
  EXPECT_EQ(refusal_of(u"/port 10000"), u"адрес порта 10000 вне пределов");
  EXPECT_EQ(refusal_of(u"/port 0x1FFFFFFFFFFFFFFFF"),
            u"адрес порта 0x1FFFFFFFFFFFFFFFF вне пределов");
  EXPECT_EQ(refusal_of(u"/port 10000G"), u"«10000G» не шестнадцатеричное число");
  EXPECT_EQ(refusal_of(u"/port FF"), u"адрес порта FF вне пределов");
  EXPECT_EQ(refusal_of(u"/port FFFE"), u"адрес порта FFFE вне пределов");
  EXPECT_EQ(refusal_of(u"/port 378 /port 278"), u"/port задан дважды");
  EXPECT_EQ(refusal_of(u"D010"), u"неизвестный аргумент «D010»");
  EXPECT_EQ(refusal_of(u"/ports D010"), u"неизвестный аргумент «/ports»");
}

TEST(PortArgument, OnlyAnAddressGivenCountsAsNamed) {
  EXPECT_FALSE(argument_of(u"").named);
  EXPECT_FALSE(argument_of(u" \t").named);
  // The default address spelt out is still the operator's choice.
  EXPECT_TRUE(argument_of(u"/port 378").named);
  EXPECT_TRUE(argument_of(u"/port D010").named);
}

TEST(PortArgument, CaptionNamesThePortAndGivesTheTemplatesBack) {
  const std::u16string caption = caption_with_port(u"Программатор FLASH", 0xD010);
  EXPECT_EQ(caption, u"Программатор FLASH (порт D010h)");
  EXPECT_EQ(caption_without_port(caption), u"Программатор FLASH");
  EXPECT_EQ(caption_without_port(caption_with_port(u"Программатор FLASH", 0x378)),
            u"Программатор FLASH");
  // Captions without a port stay whole, even with brackets of their own.
  EXPECT_EQ(caption_without_port(u"Программатор FLASH"), u"Программатор FLASH");
  EXPECT_EQ(caption_without_port(u"Выбор блоков (1)"), u"Выбор блоков (1)");
}

TEST(PortArgument, AddressTextAsTheProgramWritesAddresses) {
  EXPECT_EQ(port_address_text(0x378), u"378h");
  EXPECT_EQ(port_address_text(0xD010), u"D010h");
  EXPECT_EQ(port_address_text(0x100), u"100h");
}

}  // namespace
}  // namespace fp
