// English for every text of texts.h and for the dialog labels that the
// command-line program prints, keyed by the Russian text itself, so that no
// text is written twice and a new Russian text without English stands out.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace fp {

using TextPair = std::pair<std::u16string_view, std::u16string_view>;

// Russian, English.
std::span<const TextPair> english_texts();

// The English text, or the Russian one itself when the table lacks it.
std::u16string_view english_text(std::u16string_view russian);

// A whole text as shown: a known text, or a known prefix followed by
// something else (the progress texts "Запись: 1C00h"). Lines of numbers
// and other unknown texts stay as they are.
std::u16string in_english(std::u16string_view russian);

}  // namespace fp
