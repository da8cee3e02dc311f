#include "frontends/cli/texts_en.h"

#include <array>

#include "ui/texts.h"

namespace fp {
namespace {

constexpr std::array ENGLISH{
    // Captions.
    TextPair{text::PROGRAMMER, u"Programmer"},
    TextPair{text::CHIP_TYPE, u"Chip type"},
    TextPair{text::TIMER_LOOPS, u"Idle loops during the timer period"},
    // Progress prefixes and status-bar texts.
    TextPair{text::READING, u"Reading: "},
    TextPair{text::WRITING, u"Writing: "},
    TextPair{text::VERIFYING, u"Verifying: "},
    TextPair{text::ERASING, u"Erasing: "},
    TextPair{text::ERASE_DONE, u"Erase finished..."},
    TextPair{text::CHECK_DONE, u"Check finished..."},
    // Main window.
    TextPair{text::NOT_IMPLEMENTED, u"Not used or not implemented!"},
    TextPair{text::BAD_EXTRA_PARAMETERS, u"Invalid extra parameters!"},
    TextPair{text::FILE_READ_ERROR, u"Error reading the file!"},
    TextPair{text::FILE_SAVED, u"Data written to the file!"},
    TextPair{text::FILE_WRITE_ERROR, u"Error writing the file!"},
    TextPair{text::NOT_CALIBRATED, u"The programmer has not been calibrated!\r\nContinue?"},
    TextPair{text::WRITE_ERROR, u"Write error!"},
    TextPair{text::WRITE_DONE, u"Write completed!"},
    TextPair{text::DATA_EQUAL, u"The data match!"},
    TextPair{text::COMPARE_ERROR, u"Compare error!"},
    TextPair{text::REMOVE_CHIP, u"The ROM chip must be removed!\r\nContinue?"},
    TextPair{text::TIMER_ERROR, u"Timer failure!"},
    TextPair{text::VPP_ON, u"Programming voltage is on!\r\nPress 'OK' to switch it off."},
    TextPair{text::FILTER_BINARY, u"Binary files (*.bin,*.rom)"},
    TextPair{text::FILTER_BINARY_PATTERN, u"*.bin;*.rom"},
    TextPair{text::FILTER_ALL, u"All files"},
    TextPair{text::FILTER_ALL_PATTERN, u"*.*"},
    // Blank checks and erases.
    TextPair{text::BLANK, u"ROM is blank..."},
    TextPair{text::NOT_BLANK, u"ROM is not blank!"},
    TextPair{text::ERASE_ERROR, u"Erase error!"},
    TextPair{text::ERASE_QUESTION, u"Erase the ROM?"},
    TextPair{text::BAD_NUMBER, u"Invalid number!"},
    // ATtiny2313.
    TextPair{text::ODD_BLOCK, u"Odd address or block size not allowed!"},
    TextPair{text::EEPROM_ERASE_REFUSED, u"The EEPROM can be erased only together with the FLASH"},
    TextPair{text::ARE_YOU_SURE, u"Are you sure?"},
    // The Windows program's start.
    TextPair{text::PORT_LIBRARY_MISSING,
             u"Could not load the port access library {}.\r\n"
             u"Put it in the program's folder or in the Windows system folder."},
    TextPair{text::PORT_FUNCTIONS_MISSING,
             u"The port access library {} has no functions Out32 and Inp32."},
    TextPair{text::PORT_DRIVER_NOT_OPEN,
             u"The port access library {} could not start its driver.\r\n"
             u"Run the program as administrator."},
    TextPair{text::MAIN_WINDOW_FAILED, u"Could not open the program's main window."},
    TextPair{text::ALREADY_RUNNING,
             u"The programmer on port {} is running already.\r\n"
             u"Two programs on one port would mix their port writes and ruin the chip."},
    TextPair{
        text::BAD_PORT_ARGUMENT,
        u"Bad command line: {}.\r\n"
        u"The port address is given so: programmer.exe /port D010 (hexadecimal, 100 to FFFD)."},
    TextPair{text::PORT_ARGUMENT_UNKNOWN, u"unknown argument \"{}\""},
    TextPair{text::PORT_ARGUMENT_TWICE, u"{} is given twice"},
    TextPair{text::PORT_ARGUMENT_MISSING, u"{} is not followed by a port address"},
    TextPair{text::PORT_ARGUMENT_NOT_HEX, u"\"{}\" is not a hexadecimal number"},
    TextPair{text::PORT_ARGUMENT_OUT_OF_RANGE, u"port address {} is out of range"},
    TextPair{text::CAPTION_PORT, u" (port {})"},
    TextPair{text::ABOUT_MENU, u"About..."},
    TextPair{text::ABOUT_CAPTION, u"About"},
    TextPair{text::ABOUT_VERSION, u"Version {}"},
    TextPair{text::ABOUT_PORT_LIBRARY, u"Port access library: {}"},
    TextPair{text::ABOUT_PORT_FOLDER, u"Library folder: {}"},
    TextPair{text::ABOUT_PORT_ADDRESS, u"Port: {}"},
    TextPair{text::ABOUT_SIMULATED_BOARD, u"Board: simulated (no port)"},
    // Dialog labels the command-line program prints (their Russian text is
    // the template's; a test keeps the two in step).
    TextPair{u"Производитель:", u"Manufacturer:"},
    TextPair{u"Устройство:", u"Device:"},
    TextPair{u"Сигнатура:", u"Signature:"},
    TextPair{u"Калибровочный байт:", u"Calibration byte:"},
    TextPair{u"Фьюзы", u"Fuses"},
    TextPair{u"Лок-биты", u"Lock bits"},
};

}  // namespace

std::span<const TextPair> english_texts() {
  return ENGLISH;
}

std::u16string_view english_text(std::u16string_view russian) {
  for (const auto& [key, english] : ENGLISH) {
    if (key == russian) return english;
  }
  return russian;
}

std::u16string in_english(std::u16string_view russian) {
  const std::u16string_view whole = english_text(russian);
  if (whole != russian) return std::u16string(whole);
  for (const auto& [key, english] : ENGLISH) {
    if (key.size() < russian.size() && russian.starts_with(key) && key.ends_with(u' ')) {
      return std::u16string(english) + std::u16string(russian.substr(key.size()));
    }
  }
  return std::u16string(russian);
}

}  // namespace fp
