#include "frontends/cli/dialog_drivers.h"

#include <array>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>

#include "bus/number_text.h"
#include "frontends/cli/hex_number.h"
#include "platform/utf8.h"
#include "ui/control_ids.h"
#include "ui/dialog_templates.h"
#include "ui/message_box.h"

namespace fp::cli {
namespace {

constexpr std::array<int, 4> BLOCK_BOXES{ctl::BLOCK_0, ctl::BLOCK_1, ctl::BLOCK_2, ctl::BLOCK_3};

}  // namespace

std::string DialogDriver::chip_name() const {
  return to_utf8(context_.current_chip->name);
}

bool DialogDriver::click(headless::WindowModel& model, DialogLogic& logic, DialogView& view,
                         int id) {
  model.click(id);
  logic.on_command(view, command_value(id));
  return model.ended.has_value();
}

void DialogDriver::drive(int template_id, headless::WindowModel& model, DialogLogic& logic,
                         DialogView& view) {
  switch (template_id) {
    case dlg::JEDEC_ID:
      drive_id_dialog(model, logic, view);
      break;
    case dlg::ERASE_BLOCK:
      drive_block_dialog(model, logic, view);
      break;
    case dlg::BLOCKS:
      drive_blocks_dialog(model, logic, view);
      break;
    case dlg::ATTINY_FUSES:
      drive_fuse_dialog(model, logic, view);
      break;
    default:
      outcome_.fail("dialog " + std::to_string(template_id) + " is not for the command line");
      break;
  }
}

void DialogDriver::print_labelled(headless::WindowModel& model, int template_id, int value_id) {
  // The label is the static text just before the value in the template.
  const DialogTemplate* found = find_dialog_template(template_id);
  std::u16string label;
  const ControlTemplate* previous = nullptr;
  for (const ControlTemplate& control : found->controls) {
    if (control.id == value_id && previous != nullptr) label = previous->text;
    previous = &control;
  }
  // Codes and bytes as two hexadecimal digits each: "1E 91 0A", not the field's "1E-91-A".
  console_.labelled(label, " ", two_digit_codes(model.control(value_id).text));
}

void DialogDriver::drive_id_dialog(headless::WindowModel& model, DialogLogic& logic,
                                   DialogView& view) {
  if (options_.command == Command::id) {
    print_labelled(model, dlg::JEDEC_ID, ctl::MANUFACTURER_CODE);
    print_labelled(model, dlg::JEDEC_ID, ctl::DEVICE_CODE);
  } else if (options_.command == Command::sdp) {
    if (click(model, logic, view, options_.sdp_on ? ctl::SDP_ON : ctl::SDP_OFF)) return;
  }
  click(model, logic, view, ctl::CANCEL_BUTTON);
}

void DialogDriver::drive_block_dialog(headless::WindowModel& model, DialogLogic& logic,
                                      DialogView& view) {
  if (options_.command != Command::erase) {
    click(model, logic, view, ctl::CANCEL_BUTTON);
    return;
  }
  if (!options_.block || *options_.block == "chip") {
    if (click(model, logic, view, ctl::WHOLE_CHIP)) return;
  } else {
    if (click(model, logic, view, ctl::ONE_BLOCK)) return;
    // The dialog's own number form: upper-case digits, no prefix or suffix.
    const auto address = parse_free_hex(*options_.block);
    model.control(ctl::BLOCK_ADDRESS).text =
        address ? hex_text(*address) : from_utf8(*options_.block);
  }
  if (click(model, logic, view, ctl::OK_BUTTON)) return;
  // The dialog refused the address and stays open.
  outcome_.usage("");
  click(model, logic, view, ctl::CANCEL_BUTTON);
}

void DialogDriver::drive_blocks_dialog(headless::WindowModel& model, DialogLogic& logic,
                                       DialogView& view) {
  std::string labels;
  std::array<std::optional<uint32_t>, BLOCK_BOXES.size()> starts{};
  for (size_t i = 0; i < BLOCK_BOXES.size(); ++i) {
    const std::string label = to_utf8(model.control(BLOCK_BOXES[i]).text);
    starts[i] = parse_free_hex(label);
    labels += " " + label;
  }
  const auto cancel = [&](const std::string& why) {
    outcome_.usage(why);
    click(model, logic, view, ctl::CANCEL_BUTTON);
  };
  std::string wanted;
  if (options_.blocks) {
    wanted = *options_.blocks;
  } else if (options_.command == Command::blank) {
    wanted = "all";
  } else {
    cancel("the " + chip_name() + " erases by blocks: give --blocks all or a list of:" + labels);
    return;
  }
  std::array<bool, BLOCK_BOXES.size()> chosen{};
  if (wanted == "all") {
    chosen.fill(true);
  } else {
    std::stringstream items(wanted);
    for (std::string item; std::getline(items, item, ',');) {
      const auto address = parse_free_hex(item);
      bool found = false;
      for (size_t i = 0; i < starts.size(); ++i) {
        if (address && starts[i] == address) chosen[i] = found = true;
      }
      if (!found) {
        cancel("no block at " + item + "; the blocks of the " + chip_name() + ":" + labels);
        return;
      }
    }
  }
  for (size_t i = 0; i < BLOCK_BOXES.size(); ++i) model.control(BLOCK_BOXES[i]).checked = chosen[i];
  click(model, logic, view, ctl::OK_BUTTON);
}

void DialogDriver::drive_fuse_dialog(headless::WindowModel& model, DialogLogic& logic,
                                     DialogView& view) {
  const auto byte_of = [&model](int first_bit) {
    uint8_t value = 0;
    for (int bit = 0; bit < 8; ++bit) {
      if (model.control(first_bit + bit).checked) value = static_cast<uint8_t>(value | 1 << bit);
    }
    return value;
  };
  const auto set_byte = [&model](int first_bit, uint8_t value) {
    for (int bit = 0; bit < 8; ++bit)
      model.control(first_bit + bit).checked = (value >> bit & 1) != 0;
  };
  const auto byte_text = [](uint8_t value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value);
    return std::string(text);
  };
  const std::array<std::pair<const std::optional<std::string>*, int>, 3> fuses{{
      {&options_.fuse_low, ctl::FUSE_LOW_BIT0},
      {&options_.fuse_high, ctl::FUSE_HIGH_BIT0},
      {&options_.fuse_extended, ctl::FUSE_EXTENDED_BIT0},
  }};
  if (options_.command == Command::fuses) {
    bool writing = false;
    for (const auto& [wanted, first_bit] : fuses) {
      if (*wanted) {
        set_byte(first_bit, *parse_byte(**wanted));
        writing = true;
      }
    }
    if (writing) {
      if (click(model, logic, view, ctl::WRITE_FUSES)) return;
      // The dialog has read the chip again: the boxes hold what it took.
      for (const auto& [wanted, first_bit] : fuses) {
        if (*wanted && byte_of(first_bit) != *parse_byte(**wanted)) {
          outcome_.fail("the fuse write did not take: the chip holds " +
                        byte_text(byte_of(first_bit)) + " for " + byte_text(*parse_byte(**wanted)));
        }
      }
    }
  }
  if (options_.command == Command::lock) {
    set_byte(ctl::LOCK_BIT0, *parse_byte(options_.lock_value));
    if (click(model, logic, view, ctl::WRITE_LOCK)) return;
    if (outcome_.failed()) {
      // Not confirmed: the boxes show the wish, not the chip.
      click(model, logic, view, ctl::OK_BUTTON);
      return;
    }
  }
  print_labelled(model, dlg::ATTINY_FUSES, ctl::SIGNATURE);
  print_labelled(model, dlg::ATTINY_FUSES, ctl::CALIBRATION_BYTE);
  if (options_.command != Command::id) {
    const std::string fuse_line = "low=" + byte_text(byte_of(ctl::FUSE_LOW_BIT0)) +
                                  " high=" + byte_text(byte_of(ctl::FUSE_HIGH_BIT0)) +
                                  " ext=" + byte_text(byte_of(ctl::FUSE_EXTENDED_BIT0));
    console_.labelled(model.control(ctl::FUSES_GROUP).text, ": ", from_utf8(fuse_line));
    console_.labelled(model.control(ctl::LOCK_GROUP).text, ": ",
                      from_utf8(byte_text(byte_of(ctl::LOCK_BIT0))));
  }
  click(model, logic, view, ctl::OK_BUTTON);
}

}  // namespace fp::cli
