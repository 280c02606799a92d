// The Qt windows live in a module of their own, beside the add-in module, so
// that only a process which shows windows loads Qt: a headless machine runs
// every command without Qt's libraries. The module exports one factory:
//
//   extern "C" platform::Ui* TessaryCreateQtUi(const std::shared_ptr<platform::Ui>* fallback);
//
// which answers a new Ui (owned by the caller) that shows message boxes and
// dialogs as Qt windows, and leaves them to `fallback` when no display can be
// reached.
#pragma once

#include <filesystem>
#include <memory>

#include "platform/ui.h"

#define TESSARY_CREATE_QT_UI_SYMBOL "TessaryCreateQtUi"

namespace platform {

inline constexpr char kQtUiModuleFile[] = "libtessary_qt.so";

using CreateQtUiFunction = Ui* (*)(const std::shared_ptr<Ui>* fallback);

// Loads the module from `folder` (once per process; it is never unloaded) and
// creates its Ui. Throws std::runtime_error with the loader's reason when the
// module or the Qt libraries it needs cannot be loaded.
std::shared_ptr<Ui> LoadQtUi(const std::filesystem::path& folder, std::shared_ptr<Ui> fallback);

}  // namespace platform
