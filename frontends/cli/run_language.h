// The one language of a command-line run: --lang, else the locale the
// environment names (LC_ALL, LC_MESSAGES, LANG: the first one set), Russian
// for "ru...", English otherwise.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "frontends/cli/console.h"

namespace fp::cli {

// The language of LC_ALL, LC_MESSAGES and LANG (the first non-empty of them);
// get(name) is getenv's answer, null when unset.
template <typename GetEnv>
Language language_from_locale(GetEnv&& get) {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = get(name);
    if (value == nullptr || *value == '\0') continue;
    return std::string_view(value).starts_with("ru") ? Language::russian : Language::english;
  }
  return Language::english;
}

// The value of the last sound --lang among the arguments, wherever it stands
// (so that the parser's own errors come in it); nothing when none is given.
std::optional<Language> language_from_arguments(int argc, const char* const* argv);

}  // namespace fp::cli
