#include "qt_ui/qt_ui.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <clocale>
#include <exception>
#include <functional>
#include <map>
#include <stdexcept>

namespace platform {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

// The dialogs' twips layouts were made for the classic 8-point sans serif
// dialog font. Where it is missing, a narrow sans serif stands in, which keeps
// every caption within its control; labels that name it get the same.
constexpr char kDialogFontFamily[] = "MS Sans Serif";
constexpr double kDialogFontPoints = 8;

void RegisterDialogFontSubstitutes() {
  QFont::insertSubstitutions(kDialogFontFamily,
                             {"Liberation Sans", "Arimo", "DejaVu Sans Condensed", "DejaVu Sans"});
}

// Twips to pixels at the screen's logical DPI: 15 twips to a pixel at 96 DPI.
class TwipsScale {
 public:
  explicit TwipsScale(const QScreen& screen)
      : dpi_x_(screen.logicalDotsPerInchX()), dpi_y_(screen.logicalDotsPerInchY()) {}
  int X(int twips) const { return qRound(twips * dpi_x_ / 1440.0); }
  int Y(int twips) const { return qRound(twips * dpi_y_ / 1440.0); }
  QRect Rect(const TwipsRect& rect) const {
    return QRect(X(rect.left), Y(rect.top), X(rect.width), Y(rect.height));
  }

 private:
  double dpi_x_;
  double dpi_y_;
};

// A check box that a click leaves as it is: only the model changes its value.
class ModelCheckBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {}
};

Qt::CheckState CheckStateOf(int value) {
  switch (value) {
    case 1: return Qt::Checked;
    case 2: return Qt::PartiallyChecked;
    default: return Qt::Unchecked;
  }
}

QPixmap PictureOf(const Control& control) {
  const int width = control.picture_width;
  const int height = control.picture_height;
  if (width <= 0 || height <= 0 || control.picture.size() != size_t(width) * size_t(height)) {
    return {};
  }
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, 0xFF000000u | control.picture[y * width + x]);
  }
  return QPixmap::fromImage(image);
}

void ApplyFont(QWidget& widget, const Control& control) {
  QFont font = widget.font();
  if (!control.font_family.empty()) font.setFamily(Text(control.font_family));
  if (control.font_points > 0) font.setPointSizeF(control.font_points);
  font.setBold(control.font_bold);
  widget.setFont(font);
}

// A label keeps the font it names unless its text would overflow the label
// (fonts here may be wider than the ones the layout was made for); then the
// font steps down, to the dialog's font size at the least.
void FitFont(QLabel& label, const Control& control) {
  ApplyFont(label, control);
  QFont font = label.font();
  const QRect box = label.contentsRect();
  const auto overflows = [&] {
    const QRect text = QFontMetrics(font).boundingRect(box, Qt::TextWordWrap, label.text());
    return text.height() > box.height() || text.width() > box.width();
  };
  while (font.pointSizeF() > kDialogFontPoints && overflows()) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
  }
  label.setFont(font);
}

void SetCaption(QWidget& widget, const Control& control) {
  switch (control.kind) {
    case ControlKind::kFrame:
      static_cast<QGroupBox&>(widget).setTitle(Text(control.caption));
      break;
    case ControlKind::kCheckBox:
    case ControlKind::kButton:
      static_cast<QAbstractButton&>(widget).setText(Text(control.caption));
      break;
    case ControlKind::kLabel:
      static_cast<QLabel&>(widget).setText(Text(control.caption));
      FitFont(static_cast<QLabel&>(widget), control);
      break;
    case ControlKind::kPicture: break;
  }
}

// The window of one dialog model, open while the model is.
class DialogWindow : public QDialog {
 public:
  explicit DialogWindow(Dialog& dialog);

  // Runs the window modally; a failure of the model closes it and is rethrown here.
  void Run();

 protected:
  void reject() override;  // Escape
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControls();
  QWidget* Create(const Control& control);
  QCheckBox* CreateCheckBox(const Control& control, QWidget* parent);
  QLabel* CreateLabel(QWidget* parent);
  QPushButton* CreateButton(const Control& control, QWidget* parent);
  QLabel* CreatePicture(const Control& control, QWidget* parent);
  // A click on the button goes to the model as a click on the control `name`.
  void ReportClicks(QAbstractButton& button, const std::string& name);
  void SetTabOrder();
  // Runs a model action, then shows the model's state (and closes with it).
  void Update(const std::function<void()>& action);
  void Refresh();

  Dialog& dialog_;
  TwipsScale scale_;
  std::map<std::string, QWidget*> widgets_;
  QPushButton* cancel_button_ = nullptr;
  std::exception_ptr failure_;
};

DialogWindow::DialogWindow(Dialog& dialog)
    : dialog_(dialog), scale_(*QGuiApplication::primaryScreen()) {
  setWindowTitle(Text(dialog.Caption()));
  QFont font(kDialogFontFamily);
  font.setPointSizeF(kDialogFontPoints);
  setFont(font);
  setFixedSize(scale_.X(dialog.ClientWidth()), scale_.Y(dialog.ClientHeight()));
  CreateControls();
  SetTabOrder();
  Refresh();
}

void DialogWindow::Run() {
  if (!dialog_.Closed()) exec();
  if (failure_) std::rethrow_exception(failure_);
}

// Frames first, so that every other control can be placed in its frame.
void DialogWindow::CreateControls() {
  for (const bool frames : {true, false}) {
    for (const Control& control : dialog_.Controls()) {
      if ((control.kind == ControlKind::kFrame) != frames) continue;
      QWidget* widget = Create(control);
      widget->setObjectName(Text(control.name));
      widget->setGeometry(scale_.Rect(control.rect));
      ApplyFont(*widget, control);
      widgets_[control.name] = widget;
    }
  }
}

QWidget* DialogWindow::Create(const Control& control) {
  QWidget* parent = control.parent.empty() ? this : widgets_.at(control.parent);
  switch (control.kind) {
    case ControlKind::kFrame: return new QGroupBox(parent);
    case ControlKind::kCheckBox: return CreateCheckBox(control, parent);
    case ControlKind::kLabel: return CreateLabel(parent);
    case ControlKind::kButton: return CreateButton(control, parent);
    case ControlKind::kPicture: return CreatePicture(control, parent);
  }
  throw std::logic_error("unknown control kind of " + control.name);
}

QCheckBox* DialogWindow::CreateCheckBox(const Control& control, QWidget* parent) {
  auto* box = new ModelCheckBox(parent);
  ReportClicks(*box, control.name);
  return box;
}

QLabel* DialogWindow::CreateLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

QPushButton* DialogWindow::CreateButton(const Control& control, QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setDefault(control.is_default);
  if (control.is_cancel) cancel_button_ = button;
  ReportClicks(*button, control.name);
  return button;
}

QLabel* DialogWindow::CreatePicture(const Control& control, QWidget* parent) {
  auto* picture = new QLabel(parent);
  picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  picture->setAlignment(Qt::AlignCenter);
  picture->setPixmap(PictureOf(control));
  return picture;
}

void DialogWindow::ReportClicks(QAbstractButton& button, const std::string& name) {
  connect(&button, &QAbstractButton::clicked, this,
          [this, name] { Update([&] { dialog_.Click(name); }); });
}

// Focusable controls in the order of their tab indexes; the first has the focus.
void DialogWindow::SetTabOrder() {
  std::vector<const Control*> order;
  for (const Control& control : dialog_.Controls()) {
    if (widgets_.at(control.name)->focusPolicy() & Qt::TabFocus) order.push_back(&control);
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const Control* a, const Control* b) { return a->tab_index < b->tab_index; });
  for (size_t i = 1; i < order.size(); ++i) {
    QWidget::setTabOrder(widgets_.at(order[i - 1]->name), widgets_.at(order[i]->name));
  }
  if (!order.empty()) widgets_.at(order.front()->name)->setFocus();
}

void DialogWindow::reject() {
  if (cancel_button_ != nullptr && cancel_button_->isEnabled()) cancel_button_->click();
}

void DialogWindow::closeEvent(QCloseEvent* event) {
  if (!dialog_.Closed()) Update([this] { dialog_.CloseBox(); });
  event->setAccepted(dialog_.Closed() || failure_);
}

// Qt cannot carry an exception through its event loop: a failing action
// closes the window and Run rethrows it.
void DialogWindow::Update(const std::function<void()>& action) {
  try {
    action();
    Refresh();
  } catch (...) {
    failure_ = std::current_exception();
    done(QDialog::Rejected);
  }
}

void DialogWindow::Refresh() {
  for (const Control& control : dialog_.Controls()) {
    QWidget& widget = *widgets_.at(control.name);
    widget.setEnabled(control.enabled);
    SetCaption(widget, control);
    if (control.kind == ControlKind::kCheckBox) {
      static_cast<QCheckBox&>(widget).setCheckState(CheckStateOf(control.value));
    }
  }
  if (dialog_.Closed()) done(QDialog::Accepted);
}

QMessageBox::Icon QtIcon(MessageIcon icon) {
  return icon == MessageIcon::kCriticalStop ? QMessageBox::Critical : QMessageBox::Warning;
}

// Whether Qt can reach the display, tried in a child process: Qt ends a
// process that cannot connect to its display rather than reporting it.
bool DisplayReachable() {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    const int null_device = open("/dev/null", O_WRONLY);
    if (null_device >= 0) dup2(null_device, STDERR_FILENO);
    int argc = 1;
    char name[] = "orba";
    char* argv[] = {name, nullptr};
    QGuiApplication probe(argc, argv);
    _exit(0);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

QtUi::QtUi(std::shared_ptr<Ui> fallback) : fallback_(std::move(fallback)) {}

bool QtUi::CanShowWindows() {
  if (QCoreApplication::instance() == nullptr) {
    static const bool reachable = DisplayReachable();
    if (!reachable) return false;
    // Kept for the rest of the process: later boxes and dialogs use it too.
    static int argc = 1;
    static char name[] = "orba";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    // Qt takes the user's locale for the whole process; numbers are read and
    // written the runtime's way ("2.5"), whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");
  }
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return false;
  static const bool fonts_registered = (RegisterDialogFontSubstitutes(), true);
  return fonts_registered;
}

void QtUi::MessageBox(const std::string& text, const std::string& title, MessageIcon icon) {
  if (!CanShowWindows()) return fallback_->MessageBox(text, title, icon);
  QMessageBox box(QtIcon(icon), Text(title), Text(text), QMessageBox::Ok);
  box.exec();
}

void QtUi::ShowModal(Dialog& dialog) {
  if (!CanShowWindows()) return fallback_->ShowModal(dialog);
  dialog.Load();
  DialogWindow window(dialog);
  window.Run();
}

}  // namespace platform
