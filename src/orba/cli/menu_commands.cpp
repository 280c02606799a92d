// orba menu, click and options: the add-in's menu as the host builds it, and
// choosing one of its items.
#include <algorithm>
#include <iostream>
#include <optional>

#include "base/text.h"
#include "orba/cli/command.h"
#include "orba/cli/model_lookup.h"
#include "orba/cli/search_output.h"
#include "orba/cli/text_files.h"
#include "orba/store/model_session.h"

namespace orba::cli {
namespace {

constexpr char kMenuAddin[] = "SysML";
constexpr char kOptionsItem[] = "&Options";

struct MenuOptions {
  std::string model;
  std::string item;
  std::string select;
  std::string format = "text";
  std::string output;  // the menu only
};

struct Menu {
  std::string heading;
  std::vector<std::string> items;
};

automation::Variant GetMenuItems(session::HostSession& session, const std::string& menu_name) {
  const automation::CallResult result = session.CallAddin(
      kMenuAddin, "Orba_GetMenuItems", {session.Repository(), kMenuLocation, menu_name});
  if (!result.ok) throw CommandError("the add-in's menu could not be read");
  return result.value;
}

// The texts of a submenu answer: an array of texts, one text, or nothing.
std::vector<std::string> ItemTexts(const automation::Variant& answer) {
  std::vector<std::string> items;
  if (answer.type() == automation::Variant::Type::kArray) {
    for (const automation::Variant& item : answer.Array()) items.push_back(item.ToString());
  } else if (!answer.IsEmpty()) {
    items.push_back(answer.ToString());
  }
  return items;
}

// The top-level entry, then, when it names a submenu ("-" first), its items.
Menu ReadMenu(session::HostSession& session) {
  Menu menu{GetMenuItems(session, "").ToString(), {}};
  if (menu.heading.starts_with("-")) menu.items = ItemTexts(GetMenuItems(session, menu.heading));
  return menu;
}

void StartMenuSession(session::HostSession& session, const MenuOptions& options,
                      store::ModelRepository::Access access) {
  if (!options.select.empty() && options.model.empty()) {
    throw CommandError("--select needs a model to select the package in");
  }
  StartSession(session, options.model, access);
  if (!options.select.empty()) {
    store::ModelRepository& repository = *session.Repository();
    repository.SelectPackage(FindPackage(repository, options.select)->PackageID());
  }
}

int ShowMenu(const GlobalOptions& globals, const MenuOptions& options) {
  session::HostSession session(SessionOptionsFor(globals));
  StartMenuSession(session, options, store::ModelRepository::Access::kReadOnly);
  const Menu menu = ReadMenu(session);
  WriteDocument(options.output, [&](std::ostream& out) {
    if (options.format == "json") {
      out << JsonText({{"heading", menu.heading}, {"items", menu.items}}) << "\n";
      return;
    }
    out << menu.heading << "\n";
    for (const std::string& item : menu.items) out << "  " << item << "\n";
  });
  return kExitOk;
}

// Shows what the add-in asks the host to show while its command runs.
void ShowWindowsOnStdout(session::HostSession& session) {
  session.OnSearchResult(
      [](const searches::SearchResult& result) { WriteSearchText(result, std::cout); });
  session.OnDiagramOpened([](const host::DiagramPtr& diagram) {
    std::cout << "opened diagram \"" << diagram->Name() << "\" (" << diagram->Type() << ")\n";
  });
}

// After the add-in's command closed the model that was open (or opened one
// where none was): tells the user and every add-in which model is open now,
// or why the one the add-in asked for could not be opened. Answers whether
// the model the add-in asked for is open.
bool AnnounceModelOpenedByAddin(session::HostSession& session) {
  store::ModelRepository& repository = *session.Repository();
  if (repository.IsOpen()) {
    std::cout << "opened model " << repository.ModelLocation() << "\n";
    session.NotifyFileOpened();
  } else if (!repository.LastOpenError().empty()) {
    std::cerr << "orba: " << repository.LastOpenError() << std::endl;
    return false;
  }
  return true;
}

bool IsOnMenu(const Menu& menu, const std::string& item) {
  return item == menu.heading || std::ranges::find(menu.items, item) != menu.items.end();
}

// Chooses the item. The changes the command makes to the open model are kept
// when it succeeds and undone when it fails; a model the add-in opens
// instead is announced to every add-in. An item that is not on the menu is
// still handed to the add-in (which tells the user so), but the command fails
// unless the host chooses it on its own (the options dialog, say).
enum class MenuCheck { kItemMustBeOnMenu, kHostChosenItem };

int ClickItem(session::HostSession& session, const std::string& item, MenuCheck check) {
  store::ModelRepository& repository = *session.Repository();
  const Menu menu = ReadMenu(session);
  std::optional<store::ModelRepository::Transaction> changes;
  store::ModelSession* model = repository.IsOpen() ? &repository.Session() : nullptr;
  if (model) changes.emplace(repository);
  const automation::CallResult click = session.CallAddin(
      kMenuAddin, "Orba_MenuClick", {session.Repository(), kMenuLocation, menu.heading, item});
  if (!click.ok) return kExitError;
  if (check == MenuCheck::kItemMustBeOnMenu && !IsOnMenu(menu, item)) {
    std::cerr << "orba: \"" << base::EscapeControlCharacters(item)
              << "\" is not an item of the add-in's menu; see orba menu" << std::endl;
    return kExitError;
  }
  // The transaction keeps the model's session alive, so `model` is still valid
  // here even when the add-in closed it.
  if (model && model->IsOpen()) {
    changes->Commit();
    return kExitOk;
  }
  return AnnounceModelOpenedByAddin(session) ? kExitOk : kExitError;
}

int Click(const GlobalOptions& globals, MenuOptions options) {
  if (options.item.empty()) std::swap(options.item, options.model);  // only ITEM was given
  session::HostSession session(SessionOptionsFor(globals));
  StartMenuSession(session, options, store::ModelRepository::Access::kReadWrite);
  ShowWindowsOnStdout(session);
  return ClickItem(session, options.item, MenuCheck::kItemMustBeOnMenu);
}

int RunOptionsDialog(const GlobalOptions& globals) {
  session::HostSession session(SessionOptionsFor(globals));
  StartSession(session, "", store::ModelRepository::Access::kReadOnly);
  return ClickItem(session, kOptionsItem, MenuCheck::kHostChosenItem);
}

void AddSelectOption(CLI::App& command, MenuOptions& options) {
  command.add_option("--select", options.select,
                     "The package selected in the model tree, by name or GUID");
}

}  // namespace

void AddMenuCommands(CLI::App& app, const GlobalOptions& globals, CommandAction& action) {
  auto menu_options = std::make_shared<MenuOptions>();
  CLI::App* menu = app.add_subcommand(
      "menu", "Show the add-in's menu: its top-level entry, then the items of its submenu");
  menu->add_option("MODEL", menu_options->model, "The model open while the menu is built");
  AddSelectOption(*menu, *menu_options);
  menu->add_option("--format", menu_options->format, "text or json")
      ->check(CLI::IsMember({"text", "json"}))
      ->capture_default_str();
  AddOutputOption(*menu, menu_options->output);
  menu->callback([&action, &globals, menu_options] {
    action = [&globals, menu_options] { return ShowMenu(globals, *menu_options); };
  });

  auto click_options = std::make_shared<MenuOptions>();
  CLI::App* click = app.add_subcommand(
      "click",
      "Choose an item of the add-in's menu: orba click [MODEL] ITEM. ITEM is the menu text, "
      "\"&\" included (see orba menu). Changes to the model are saved when the command "
      "succeeds and undone when it fails");
  click->add_option("MODEL", click_options->model, "The model open while the command runs");
  click->add_option("ITEM", click_options->item, "The menu item, e.g. \"&Load SysML Technology\"");
  AddSelectOption(*click, *click_options);
  click->callback([&action, &globals, click_options] {
    if (click_options->model.empty()) throw CLI::RequiredError("ITEM");
    action = [&globals, click_options] { return Click(globals, *click_options); };
  });

  CLI::App* options = app.add_subcommand("options", "Show the add-in's options dialog");
  options->callback(
      [&action, &globals] { action = [&globals] { return RunOptionsDialog(globals); }; });
}

}  // namespace orba::cli
