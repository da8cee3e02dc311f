#include "frontends/headless/model_main_view.h"

#include "ui/control_ids.h"

namespace fp::headless {

void ModelMainView::set_status_text(std::u16string_view text) {
  model_.control(ctl::STATUS_BAR).text = text;
  host_.status_text(text);
}

int ModelMainView::list_add(int id, std::u16string_view text) {
  auto& items = model_.control(id).items;
  items.emplace_back(std::u16string(text), 0);
  return static_cast<int>(items.size()) - 1;
}

void ModelMainView::list_set_item_data(int id, int index, intptr_t data) {
  auto& items = model_.control(id).items;
  if (index >= 0 && static_cast<size_t>(index) < items.size()) {
    items[static_cast<size_t>(index)].second = data;
  }
}

intptr_t ModelMainView::list_item_data(int id, int index) {
  const auto& items = model_.control(id).items;
  if (index < 0 || static_cast<size_t>(index) >= items.size()) return -1;
  return items[static_cast<size_t>(index)].second;
}

}  // namespace fp::headless
