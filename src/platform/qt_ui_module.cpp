#include "platform/qt_ui_module.h"

#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace platform {

std::shared_ptr<Ui> LoadQtUi(const std::filesystem::path& folder, std::shared_ptr<Ui> fallback) {
  const std::filesystem::path module = folder / kQtUiModuleFile;
  void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr)
    throw std::runtime_error(std::string("cannot show Qt windows: ") + dlerror());
  auto create = reinterpret_cast<CreateQtUiFunction>(dlsym(handle, TESSARY_CREATE_QT_UI_SYMBOL));
  if (create == nullptr) {
    throw std::runtime_error("cannot show Qt windows: " + module.string() + " does not export " +
                             TESSARY_CREATE_QT_UI_SYMBOL);
  }
  return std::shared_ptr<Ui>(create(&fallback));
}

}  // namespace platform
