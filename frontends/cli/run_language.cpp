#include "frontends/cli/run_language.h"

namespace fp::cli {
namespace {

std::optional<Language> language_named(std::string_view name) {
  if (name == "ru") return Language::russian;
  if (name == "en") return Language::english;
  return std::nullopt;
}

}  // namespace

std::optional<Language> language_from_arguments(int argc, const char* const* argv) {
  std::optional<Language> found;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--") break;
    std::optional<Language> named;
    if (argument == "--lang" && i + 1 < argc) {
      named = language_named(argv[++i]);
    } else if (argument.starts_with("--lang=")) {
      named = language_named(argument.substr(7));
    }
    if (named) found = named;
  }
  return found;
}

}  // namespace fp::cli
