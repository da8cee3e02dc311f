// The chip catalogue checks itself: the window's rows first and in order,
// every row's facts consistent with its size and with each other, a
// simulated chip behind every row that agrees with the facts, and no 12 V
// for a chip whose pin 1 cannot take it.
#include "app/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "chips/common/programmer_context.h"
#include "platform/utf8.h"
#include "sim/jedec/jedec_variants.h"
#include "sim/model_factory.h"
#include "tests/support/programmer_rigs.h"
#include "tests/support/row_params.h"
#include "ui/message_box.h"

namespace fp {
namespace {

TEST(Catalogue, TheWindowsTwelveRowsComeFirstInOrderThenTheEndRow) {
  const std::vector<std::u16string> window{
      u"i28F001BX-T",    u"i28F001BX-B",    u"AT29C010A",          u"AT29C040A",
      u"AT49F512",       u"AT49F002",       u"ATTINY2313 - FLASH", u"ATTINY2313 - EEPROM",
      u"AT89C2051/2052", u"AT89C4051/4052", u"AM28F001",           u"W29EE512"};
  const std::span<const ChipDescriptor> rows = catalogue_rows();
  ASSERT_GE(rows.size(), WINDOW_ROW_COUNT);
  ASSERT_EQ(window.size(), WINDOW_ROW_COUNT);
  for (size_t i = 0; i < WINDOW_ROW_COUNT; ++i) EXPECT_EQ(rows[i].name, window[i]) << i;
  std::set<std::u16string> names;
  for (const ChipDescriptor& row : rows) {
    ASSERT_NE(row.name, nullptr);
    EXPECT_TRUE(names.insert(row.name).second) << to_utf8(row.name) << " twice";
  }
  const ChipDescriptor& end = chip_catalogue()[rows.size()];
  EXPECT_EQ(end.name, nullptr);
  EXPECT_EQ(end.size, 0u);
  EXPECT_EQ(end.slots.on_write, nullptr);
}

TEST(Catalogue, SizesPagesAndEraseMapsFitTogether) {
  for (const ChipDescriptor& row : catalogue_rows()) {
    SCOPED_TRACE(to_utf8(row.name));
    const ChipFacts& facts = row.facts;
    EXPECT_NE(facts.family, ChipFamily::none);
    EXPECT_NE(facts.driver, ChipDriver::none);
    EXPECT_GT(row.size, 0u);
    EXPECT_LE(row.size, IMAGE_BUFFER_SIZE);
    ASSERT_GT(facts.write_unit, 0u);
    EXPECT_EQ(row.size % facts.write_unit, 0u) << "pages do not divide the size";
    EXPECT_TRUE(std::has_single_bit(facts.write_unit));
    if (facts.byte_load_window_us != 0) {
      EXPECT_GT(facts.write_unit, 1u);
    }
    EXPECT_GT(facts.program_max_us, 0u);
    if (facts.erase != EraseLayout::none) {
      EXPECT_GT(facts.erase_max_ms, 0u);
    }
    if (facts.protection != DataProtection::none) {
      // The protection commands load one page.
      EXPECT_EQ(row.param, facts.write_unit);
    }
    const bool mapped = facts.erase == EraseLayout::sectors || facts.erase == EraseLayout::blocks;
    EXPECT_EQ(!facts.erase_map.empty(), mapped) << "a map where the layout has none, or none";
    uint32_t next = 0;
    for (const BlockRange& block : facts.erase_map) {
      EXPECT_EQ(block.address, next) << "gap or overlap at " << block.address;
      EXPECT_GT(block.size, 0u);
      next = block.address + block.size;
    }
    if (mapped) {
      EXPECT_EQ(next, row.size) << "the map does not cover the size exactly";
    }
    // A write that needs an erase has one to use.
    if (!facts.rewrites_in_place) {
      EXPECT_NE(facts.erase, EraseLayout::none);
    }
  }
}

bool jedec_maker(IdMethod method) {
  return method == IdMethod::jedec_software || method == IdMethod::intel_command ||
         method == IdMethod::am28f_command;
}

bool names_alias(const ChipDescriptor& a, const ChipDescriptor& b) {
  const std::string aliases = a.facts.aliases;
  return aliases.find(to_utf8(b.name)) != std::string::npos;
}

TEST(Catalogue, IdsAreReadableUniquePerSocketAndJedecMakersHaveOddParity) {
  std::map<std::pair<SocketKind, std::vector<uint8_t>>, const ChipDescriptor*> seen;
  for (const ChipDescriptor& row : catalogue_rows()) {
    SCOPED_TRACE(to_utf8(row.name));
    const ChipFacts& facts = row.facts;
    ASSERT_NE(facts.id_method, IdMethod::none);
    const auto codes = facts.id.span();
    ASSERT_GE(codes.size(), 2u);
    if (jedec_maker(facts.id_method)) {
      EXPECT_EQ(std::popcount(codes[0]) % 2, 1) << "maker code " << int{codes[0]};
    }
    const auto key = std::make_pair(facts.socket, std::vector<uint8_t>(codes.begin(), codes.end()));
    const auto [found, inserted] = seen.emplace(key, &row);
    if (inserted) continue;
    // Two memories of one chip share its ID; other rows only as declared aliases.
    const ChipDescriptor& other = *found->second;
    EXPECT_TRUE(std::string(facts.model) == other.facts.model || names_alias(row, other) ||
                names_alias(other, row))
        << "the same ID as " << to_utf8(other.name);
  }
}

TEST(Catalogue, EveryRowHasASimulatedChipOfItsSizeThatAgreesWithItsFacts) {
  for (const ChipDescriptor& row : catalogue_rows()) {
    SCOPED_TRACE(to_utf8(row.name));
    const std::unique_ptr<sim::ChipModel> chip = sim::make_chip_model(row.facts.model);
    ASSERT_NE(chip, nullptr) << "no model " << row.facts.model;
    bool size_matches = false;
    for (const std::string_view memory : {"main", "eeprom"}) {
      const std::vector<uint8_t>* cells = chip->memory(memory);
      if (cells != nullptr && cells->size() == row.size) size_matches = true;
    }
    EXPECT_TRUE(size_matches) << "no memory of " << row.size << " bytes";
    if (row.facts.family != ChipFamily::jedec) continue;
    const auto variant = sim::find_jedec_variant(row.facts.model);
    ASSERT_TRUE(variant);
    EXPECT_EQ(variant->manufacturer_code, row.facts.id.codes[0]);
    EXPECT_EQ(variant->device_code, row.facts.id.codes[1]);
    EXPECT_EQ(variant->write_unit == sim::WriteUnit::page, row.facts.write_unit > 1);
    if (row.facts.write_unit > 1) {
      EXPECT_EQ(variant->page_size, row.facts.write_unit);
    }
    if (row.facts.byte_load_window_us != 0) {
      EXPECT_EQ(variant->byte_load_limit_us, row.facts.byte_load_window_us);
    }
    ASSERT_EQ(variant->sectors.size(), row.facts.erase_map.size());
    for (size_t i = 0; i < variant->sectors.size(); ++i) {
      EXPECT_EQ(variant->sectors[i].start, row.facts.erase_map[i].address);
      EXPECT_EQ(variant->sectors[i].size, row.facts.erase_map[i].size);
    }
  }
}

TEST(Catalogue, EveryModelServesARow) {
  std::set<std::string_view> served;
  for (const ChipDescriptor& row : catalogue_rows()) served.insert(row.facts.model);
  for (const std::string_view model : sim::model_names()) {
    EXPECT_TRUE(served.contains(model)) << model << " serves no catalogue row";
  }
}

struct Operation {
  const char* name;
  uint8_t bit;
  void (*run)(ProgrammerContext& context, const ChipDescriptor& row, std::vector<uint8_t>& image);
};

const Operation OPERATIONS[] = {
    {"identify", vpp_use::IDENTIFY,
     [](ProgrammerContext& context, const ChipDescriptor& row, std::vector<uint8_t>&) {
       if (row.slots.on_identify != nullptr) row.slots.on_identify(context);
     }},
    {"read", vpp_use::READ,
     [](ProgrammerContext& context, const ChipDescriptor& row, std::vector<uint8_t>& image) {
       read_handler(row)(context, image.data(), 0, row.facts.write_unit);
     }},
    {"write", vpp_use::WRITE,
     [](ProgrammerContext& context, const ChipDescriptor& row, std::vector<uint8_t>& image) {
       if (row.slots.on_write != nullptr) {
         row.slots.on_write(context, image.data(), 0, row.facts.write_unit);
       }
     }},
    {"blank check", vpp_use::BLANK_CHECK,
     [](ProgrammerContext& context, const ChipDescriptor& row, std::vector<uint8_t>&) {
       if (row.slots.on_blank_check != nullptr) row.slots.on_blank_check(context);
     }},
    {"erase", vpp_use::ERASE,
     [](ProgrammerContext& context, const ChipDescriptor& row, std::vector<uint8_t>&) {
       if (row.slots.on_erase != nullptr) row.slots.on_erase(context);
     }},
};

// The facts say which operations may switch the programming voltage on; the
// handlers, run on the row's own chip with every question answered yes, do
// so in no other. A chip whose pin 1 cannot take 12 V has none.
class RowVoltage : public test::RowTest {};

TEST_P(RowVoltage, NoOperationGetsTwelveVoltsWherePinOneCannotTakeThem) {
  const ChipDescriptor& row = this->row();
  const ChipFacts& facts = row.facts;
  if (!facts.takes_vpp()) {
    EXPECT_EQ(facts.vpp_operations, 0)
        << "12 V planned for a pin 1 that allows " << facts.pin1_max_mv << " mV";
    EXPECT_LT(facts.id_mv, VPP_MV);
  }
  EXPECT_EQ(facts.id_mv >= VPP_MV, (facts.vpp_operations & vpp_use::IDENTIFY) != 0);
  for (const Operation& operation : OPERATIONS) {
    SCOPED_TRACE(operation.name);
    test::SimulatedRig rig(row.name, facts.model);
    for (int i = 0; i < 8; ++i) rig.view.window.answers.push_back(answer::YES);
    std::vector<uint8_t> image(std::max(row.size, facts.write_unit), 0x5A);
    operation.run(*rig.context, row, image);
    const bool switched_on = rig.board.vpp_switch_ons() > 0;
    if (switched_on) {
      EXPECT_NE(facts.vpp_operations & operation.bit, 0) << "12 V the facts do not allow";
    }
    if (operation.bit == vpp_use::WRITE || operation.bit == vpp_use::IDENTIFY) {
      EXPECT_EQ(switched_on, (facts.vpp_operations & operation.bit) != 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, RowVoltage, ::testing::ValuesIn(test::rows_where()),
                         test::row_param_label);

}  // namespace
}  // namespace fp
