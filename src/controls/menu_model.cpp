#include "controls/menu_model.hpp"

#include "base/text.hpp"

namespace kovan {

namespace {

template <typename Items, typename Match>
auto FindIn(Items& items, const Match& match) -> decltype(&items[0]) {
  for (auto& item : items) {
    if (match(item)) return &item;
    if (auto* found = FindIn(item.children, match)) return found;
  }
  return nullptr;
}

}  // namespace

MenuItem SubmenuItem(std::string name, std::string picture, std::vector<MenuItem> children) {
  MenuItem item;
  item.name = std::move(name);
  item.picture = std::move(picture);
  item.children = std::move(children);
  return item;
}

MenuItem MenuSeparator() {
  MenuItem item;
  item.separator = true;
  return item;
}

MenuItem* MenuModel::Find(std::string_view name) {
  return FindIn(items_, [&](const MenuItem& item) { return !item.separator && AsciiIEquals(item.name, name); });
}

const MenuItem* MenuModel::Find(std::string_view name) const { return const_cast<MenuModel*>(this)->Find(name); }

MenuItem* MenuModel::FindCommand(MenuCommandId command) {
  if (command == 0) return nullptr;
  return FindIn(items_, [&](const MenuItem& item) { return item.command == command; });
}

const MenuItem* MenuModel::FindCommand(MenuCommandId command) const {
  return const_cast<MenuModel*>(this)->FindCommand(command);
}

bool MenuModel::ApplyText(std::string_view name, std::string_view property, const std::string& text) {
  MenuItem* item = Find(name);
  if (!item) return false;
  if (AsciiIEquals(property, "Caption")) {
    item->caption = text;
  } else if (AsciiIEquals(property, "Hint")) {
    item->hint = text;
  } else {
    return false;
  }
  return true;
}

}  // namespace kovan
