// A pop-up menu as data: its items in display order, each with its caption,
// hint, picture and state, and the items of a submenu nested inside the item
// that opens it. Window logic owns one per menu and tests it natively; the
// Win32 menu builder turns it into a real menu by this structure alone.
#pragma once

#include <concepts>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace kovan {

// A window's command enum, stored as its number; 0 means no command.
using MenuCommandId = unsigned;

template <typename Command>
  requires std::is_enum_v<Command>
constexpr MenuCommandId CommandIdOf(Command command) {
  return static_cast<MenuCommandId>(command);
}

struct MenuItem {
  std::string name;     // what language files call the item; "" for a separator
  std::string picture;  // the picture's name; "" for none
  MenuCommandId command = 0;
  bool separator = false;
  bool enabled = true;
  std::string caption;
  std::string hint;
  std::vector<MenuItem> children;  // a submenu's items
};

// An item that runs `command`, or opens `children` as its submenu.
template <typename Command>
MenuItem CommandItem(std::string name, std::string picture, Command command, bool enabled = true) {
  MenuItem item;
  item.name = std::move(name);
  item.picture = std::move(picture);
  item.command = CommandIdOf(command);
  item.enabled = enabled;
  return item;
}
MenuItem SubmenuItem(std::string name, std::string picture, std::vector<MenuItem> children);
MenuItem MenuSeparator();

class MenuModel {
 public:
  MenuModel() = default;
  explicit MenuModel(std::vector<MenuItem> items) : items_(std::move(items)) {}

  const std::vector<MenuItem>& Items() const { return items_; }

  // The first item of that name or command at any depth; null when none.
  MenuItem* Find(std::string_view name);
  const MenuItem* Find(std::string_view name) const;
  MenuItem* FindCommand(MenuCommandId command);
  const MenuItem* FindCommand(MenuCommandId command) const;
  template <typename Command>
    requires std::is_enum_v<Command>
  MenuItem* Find(Command command) {
    return FindCommand(CommandIdOf(command));
  }
  template <typename Command>
    requires std::is_enum_v<Command>
  const MenuItem* Find(Command command) const {
    return FindCommand(CommandIdOf(command));
  }
  template <typename Command>
    requires std::is_enum_v<Command>
  void SetEnabled(Command command, bool enabled) {
    if (MenuItem* item = Find(command)) item->enabled = enabled;
  }

  // Sets the "Caption" or "Hint" of the named item from a translation; false
  // when the name or the property is not one of the menu's.
  bool ApplyText(std::string_view name, std::string_view property, const std::string& text);

  // Every item at every depth, parents before their children.
  template <typename Visit>
  void ForEach(Visit&& visit) const {
    ForEachIn(items_, visit);
  }

 private:
  template <typename Visit>
  static void ForEachIn(const std::vector<MenuItem>& items, Visit& visit) {
    for (const MenuItem& item : items) {
      visit(item);
      ForEachIn(item.children, visit);
    }
  }

  std::vector<MenuItem> items_;
};

}  // namespace kovan
