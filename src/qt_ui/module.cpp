// libtessary_qt: the Qt windows, loaded by the add-in only when it shows them.
#include <new>

#include "platform/qt_ui_module.h"
#include "qt_ui/qt_ui.h"

extern "C" __attribute__((visibility("default"))) platform::Ui* TessaryCreateQtUi(
    const std::shared_ptr<platform::Ui>* fallback) {
  return new (std::nothrow) platform::QtUi(*fallback);
}
