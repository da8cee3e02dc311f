// The chip catalogue checks itself: names once each, the end row where the
// list stops, and a simulated chip behind every row with the row's size.
#include "app/catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "chips/common/programmer_context.h"
#include "platform/utf8.h"
#include "sim/following_socket.h"
#include "sim/model_factory.h"

namespace fp {
namespace {

TEST(Catalogue, TwelveRowsWithNamesOnceEachThenTheEndRow) {
  const std::span<const ChipDescriptor> rows = catalogue_rows();
  ASSERT_EQ(rows.size(), 12u);
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

TEST(Catalogue, EveryRowHasASimulatedChipWhoseMemoryHasTheRowsSize) {
  for (const ChipDescriptor& row : catalogue_rows()) {
    const std::string name = to_utf8(row.name);
    EXPECT_GT(row.size, 0u) << name;
    EXPECT_LE(row.size, IMAGE_BUFFER_SIZE) << name;
    const std::string_view model_name = row.facts.model;
    ASSERT_FALSE(model_name.empty()) << name << " has no simulated chip";
    const std::unique_ptr<sim::ChipModel> chip = sim::make_chip_model(model_name);
    ASSERT_NE(chip, nullptr) << name << ": no model " << model_name;
    bool size_matches = false;
    for (const std::string_view memory : {"main", "eeprom"}) {
      const std::vector<uint8_t>* cells = chip->memory(memory);
      if (cells != nullptr && cells->size() == row.size) size_matches = true;
    }
    EXPECT_TRUE(size_matches) << name << ": no memory of " << row.size << " bytes in "
                              << model_name;
  }
}

TEST(Catalogue, EveryModelServesARow) {
  std::set<std::string_view> served;
  for (const ChipDescriptor& row : catalogue_rows()) served.insert(row.facts.model);
  for (const std::string_view model : sim::model_names()) {
    EXPECT_TRUE(served.contains(model)) << model << " serves no catalogue row";
    EXPECT_NE(sim::make_chip_model(model), nullptr) << model;
  }
}

}  // namespace
}  // namespace fp
