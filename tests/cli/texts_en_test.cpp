// The English texts: every Russian text of the program has one, and the
// console shows texts and progress in the language chosen.
#include "frontends/cli/texts_en.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "frontends/cli/console.h"
#include "platform/utf8.h"
#include "ui/dialog_templates.h"
#include "ui/texts.h"

namespace fp {
namespace {

// The texts of ui/texts.h by name, read from the header itself, so that a
// text added later without its English fails here instead of showing
// Russian in an English run.
std::vector<std::pair<std::string, std::u16string>> program_texts() {
  std::ifstream header(FP_SOURCE_DIR "/ui/texts.h");
  const std::string source{std::istreambuf_iterator<char>(header), {}};
  const std::regex literal(R"re(char16_t (\w+)\[\]\s*=\s*((?:\s*u"(?:[^"\\]|\\.)*")+);)re");
  const std::regex piece(R"re(u"((?:[^"\\]|\\.)*)")re");
  std::vector<std::pair<std::string, std::u16string>> texts;
  const std::sregex_iterator end;
  for (std::sregex_iterator it(source.begin(), source.end(), literal); it != end; ++it) {
    std::string joined;
    const std::string pieces = (*it)[2];
    for (std::sregex_iterator p(pieces.begin(), pieces.end(), piece); p != end; ++p) {
      joined += (*p)[1];
    }
    joined = std::regex_replace(joined, std::regex(R"(\\r)"), "\r");
    joined = std::regex_replace(joined, std::regex(R"(\\n)"), "\n");
    texts.emplace_back((*it)[1], from_utf8(joined));
  }
  return texts;
}

bool in_table(std::u16string_view russian) {
  for (const auto& [key, english] : english_texts()) {
    if (key == russian) return true;
  }
  return false;
}

TEST(EnglishTexts, EveryTextOfTheProgramHasOne) {
  const auto texts = program_texts();
  EXPECT_GT(texts.size(), 30u) << "ui/texts.h was not read";
  for (const auto& [name, russian] : texts) {
    EXPECT_TRUE(in_table(russian))
        << "text::" << name << " has no English in frontends/cli/texts_en.cpp";
  }
}

TEST(EnglishTexts, EveryKeyIsATextOrATemplateLabel) {
  const auto texts = program_texts();
  for (const auto& [russian, english] : english_texts()) {
    bool known = false;
    for (const auto& [name, text] : texts) known = known || text == russian;
    for (const DialogTemplate& dialog : dialog_templates()) {
      for (const ControlTemplate& control : dialog.controls) {
        known = known || (control.text != nullptr && russian == control.text);
      }
    }
    EXPECT_TRUE(known) << to_utf8(russian) << " is neither in texts.h nor a dialog label";
  }
}

TEST(EnglishTexts, ProgressTextsKeepTheirAddress) {
  EXPECT_EQ(in_english(u"Запись: 1C00h"), u"Writing: 1C00h");
  EXPECT_EQ(in_english(text::CHECK_DONE), u"Check finished...");
  EXPECT_EQ(in_english(u"89\r\n94"), u"89\r\n94");
}

TEST(ConsoleLines, MessageBoxTextsBecomeLinesInTheChosenLanguage) {
  std::ostringstream out, err;
  std::istringstream in;
  cli::Console russian(out, err, in, {});
  russian.result(text::NOT_CALIBRATED);
  russian.error(text::WRITE_ERROR);
  russian.labelled(text::CHIP_TYPE, ": ", u"89 94");
  EXPECT_EQ(out.str(),
            "Калибровка программатора не производилась!\nПродолжить?\n"
            "Тип микросхемы: 89 94\n");
  EXPECT_EQ(err.str(), "Ошибка записи!\n");

  std::ostringstream out_en, err_en;
  cli::Console english(out_en, err_en, in, {.language = cli::Language::english});
  english.result(text::DATA_EQUAL);
  english.labelled(text::CHIP_TYPE, ": ", u"89 94");
  EXPECT_EQ(out_en.str(), "The data match!\nChip type: 89 94\n");
}

TEST(ConsoleQuestions, YesFlagTerminalAndNobodyToAsk) {
  std::ostringstream out, err;
  std::istringstream none;
  cli::Console assumed(out, err, none, {.assume_yes = true});
  EXPECT_EQ(assumed.ask(text::REMOVE_CHIP, false), true);
  EXPECT_EQ(err.str(), "");

  cli::Console piped(out, err, none, {});
  EXPECT_EQ(piped.ask(text::REMOVE_CHIP, true), std::nullopt);

  const struct {
    const char* typed;
    bool default_yes;
    std::optional<bool> answer;
  } cases[] = {{"y\n", false, true}, {"да\n", false, true}, {"n\n", true, false},
               {"\n", false, false}, {"\n", true, true},    {"", true, std::nullopt}};
  for (const auto& c : cases) {
    std::istringstream typed(c.typed);
    std::ostringstream prompt;
    cli::Console terminal(out, prompt, typed, {.input_is_terminal = true});
    EXPECT_EQ(terminal.ask(text::REMOVE_CHIP, c.default_yes), c.answer) << c.typed;
    EXPECT_NE(prompt.str().find("Продолжить?"), std::string::npos);
  }
}

TEST(ConsoleProgress, ShownOnATerminalOnlyWithPercent) {
  std::ostringstream out, err;
  std::istringstream in;
  cli::Console piped(out, err, in, {});
  piped.progress_range(0, 0x20000);
  piped.progress(u"Чтение: 10000h");
  EXPECT_EQ(err.str(), "");

  cli::Console terminal(out, err, in, {.error_is_terminal = true});
  terminal.progress_range(0x1000, 0x2000);
  terminal.progress(u"Чтение: 2000h");
  EXPECT_NE(err.str().find("Чтение: 2000h  50%  0:00"), std::string::npos) << err.str();
  terminal.result(text::FILE_SAVED);
  EXPECT_TRUE(err.str().ends_with("\r\033[K")) << "the line is cleared before a message";
  EXPECT_EQ(cli::progress_address(u"Запись: 1C00h"), 0x1C00u);
  EXPECT_EQ(cli::progress_address(u"Стирание: "), std::nullopt);
  EXPECT_EQ(cli::progress_address(u"Проверка завершена..."), std::nullopt);
}

}  // namespace
}  // namespace fp
