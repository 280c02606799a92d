// The Qt windows, shown for real on a virtual X display and inspected through
// Qt's own API while they are open.
#include "qt_ui/qt_ui.h"

#include <gtest/gtest.h>

#include <QtWidgets>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "automation/errors.h"
#include "platform/platform.h"
#include "support/test_model.h"
#include "support/test_platform.h"
#include "support/xvfb_display.h"
#include "ui/about_dialog.h"
#include "ui/form.h"
#include "ui/options_dialog.h"

namespace platform {
namespace {

class QtUiTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!testing_support::XvfbInstalled()) {
      GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb): the Qt windows need a display";
    }
    testing_support::UseXvfbDisplay();
    ui_ = std::make_unique<QtUi>(std::make_shared<testing_support::ScriptedUi>());
    ASSERT_TRUE(ui_->CanShowWindows());
    timers_ = std::make_unique<QObject>();
  }

  // Runs `inspect` on the modal window once it is up. A window that the
  // inspection leaves open is closed by its close box, so that a failed
  // check never leaves the test waiting (nor an exception crosses Qt).
  void WhenShown(std::function<void(QWidget&)> inspect) {
    QTimer::singleShot(0, timers_.get(), [inspect] {
      QWidget* window = QApplication::activeModalWidget();
      if (window == nullptr) {
        ADD_FAILURE() << "no modal window is shown";
        return QApplication::closeAllWindows();
      }
      try {
        inspect(*window);
      } catch (const std::exception& failure) {
        ADD_FAILURE() << failure.what();
      }
      if (window->isVisible()) window->close();
    });
  }

  std::unique_ptr<QtUi> ui_;
  std::unique_ptr<QObject> timers_;  // its end cancels timers a test left pending
};

// Twips to pixels at the screen's logical DPI.
QRect Pixels(const TwipsRect& r) {
  const QScreen& screen = *QGuiApplication::primaryScreen();
  const auto x = [&](int twips) { return qRound(twips * screen.logicalDotsPerInchX() / 1440.0); };
  const auto y = [&](int twips) { return qRound(twips * screen.logicalDotsPerInchY() / 1440.0); };
  return QRect(x(r.left), y(r.top), x(r.width), y(r.height));
}

template <typename Widget = QWidget>
Widget& Find(QWidget& window, const char* name) {
  auto* widget = window.findChild<Widget*>(name);
  if (widget == nullptr) throw std::runtime_error(std::string("the window has no such ") + name);
  return *widget;
}

Qt::CheckState StateOf(QWidget& window, const char* box) {
  return Find<QCheckBox>(window, box).checkState();
}

// Clicks a control, presses a key ("Enter", "Escape") or the close box.
void Press(QWidget& window, const std::string& way) {
  if (way == "close box") {
    window.close();
  } else if (way == "Enter" || way == "Escape") {
    QKeyEvent press(QEvent::KeyPress, way == "Enter" ? Qt::Key_Return : Qt::Key_Escape,
                    Qt::NoModifier);
    QApplication::sendEvent(&window, &press);
  } else {
    Find<QAbstractButton>(window, way.c_str()).click();
  }
}

// The focusable controls from `first` on, following the focus chain round.
std::vector<std::string> TabOrder(QWidget& first) {
  std::vector<std::string> order;
  QWidget* widget = &first;
  do {
    if ((widget->focusPolicy() & Qt::TabFocus) && !widget->objectName().isEmpty()) {
      order.push_back(widget->objectName().toStdString());
    }
    widget = widget->nextInFocusChain();
  } while (widget != &first && order.size() < 100);
  return order;
}

// Saves the window as ${build}/artifacts/NAME.png, for a person to look at.
void SaveScreenshot(QWidget& window, const QString& name) {
  QDir().mkpath(TESSARY_ARTIFACTS_DIR);
  const QString path = QString(TESSARY_ARTIFACTS_DIR) + "/" + name + ".png";
  ASSERT_TRUE(window.grab().save(path));
  EXPECT_EQ(QImage(path).size(), window.size() * window.devicePixelRatio());
}

// Escape keeps the window open (it has no cancel button); what stays open is
// closed by its close box once inspected.
TEST_F(QtUiTest, OptionsWindowShowsTheStoredValuesReactsAndOnlyOkStores) {
  // clang-format off
  const std::vector<std::string> stored_by_ok = {"Parts=0", "FlowPorts=1", "Parameters=0", "AllocatedTo=1",
                                                 "AllocatedFrom=2", "ShowAlways=0", "ShowCompartmentRequirements=0"};
  // clang-format on
  for (const std::string leave : {"cmdOK", "cmdCancel", "close box", "Escape"}) {
    SCOPED_TRACE(leave);
    testing_support::MemorySettingsStore settings;
    settings.SetOptions("ShowAlways=1;AllocatedTo=1;AllocatedFrom=2;Parts=2");
    ui::OptionsDialog dialog(settings);
    bool closed_by_it = false;
    WhenShown([&](QWidget& window) {
      EXPECT_EQ(window.windowTitle(), "Quindle Technology for SysML - Options");
      EXPECT_EQ(StateOf(window, "chkShowAlways"), Qt::Checked);
      EXPECT_EQ(StateOf(window, "chkOnlyWithPerspective"), Qt::Unchecked);
      EXPECT_EQ(StateOf(window, "chkAllocatedTo"), Qt::Checked);
      EXPECT_EQ(StateOf(window, "chkAllocatedFrom"), Qt::PartiallyChecked);
      EXPECT_EQ(StateOf(window, "chkParts"), Qt::PartiallyChecked);
      EXPECT_FALSE(Find(window, "chkAllocatedTo").isEnabled());
      EXPECT_TRUE(Find(window, "chkParts").isEnabled());
      if (leave == "cmdOK") SaveScreenshot(window, "options");
      Press(window, "chkOnlyWithPerspective");
      EXPECT_EQ(StateOf(window, "chkShowAlways"), Qt::Unchecked);
      Press(window, "chkParts");  // Qt's own cycle would tick a greyed box; the model unticks it
      EXPECT_EQ(StateOf(window, "chkParts"), Qt::Unchecked);
      Press(window, "chkFlowPorts");
      Press(window, "chkAllocatedTo");  // disabled: no effect
      EXPECT_EQ(StateOf(window, "chkAllocatedTo"), Qt::Checked);
      Press(window, leave);
      closed_by_it = !window.isVisible() && dialog.Closed();
    });
    ui_->ShowModal(dialog);
    EXPECT_EQ(closed_by_it, leave != "Escape");
    EXPECT_EQ(settings.Writes(), leave == "cmdOK" ? stored_by_ok : std::vector<std::string>{});
    EXPECT_EQ(dialog.IsShowAlwaysChanged(), leave == "cmdOK");
  }
}

TEST_F(QtUiTest, FailuresOfTheOptionsReachTheCaller) {
  testing_support::MemorySettingsStore settings;
  settings.fail_writes = true;  // a failing write closes the window
  ui::OptionsDialog dialog(settings);
  WhenShown([](QWidget& window) { Press(window, "cmdOK"); });
  EXPECT_THROW(ui_->ShowModal(dialog), SettingsError);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  settings.SetOption("Parts", "3");  // a bad stored value fails before any window
  ui::OptionsDialog bad(settings);
  bool shown = false;
  WhenShown([&](QWidget&) { shown = true; });
  EXPECT_THROW(ui_->ShowModal(bad), automation::Error);
  EXPECT_FALSE(shown);
}

// OK is both the default and the cancel button: Enter, Escape and the close
// box close the window as it does, and the repository is released.
TEST_F(QtUiTest, AboutWindowShowsTitleVersionAndPictureAndClosesEveryWay) {
  const testing_support::TestModel model(testing_support::kEmptyModel);
  const host::RepositoryPtr repository = model.Repository();
  for (const std::string leave : {"cmdOK", "Enter", "Escape", "close box"}) {
    SCOPED_TRACE(leave);
    ui::AboutDialog dialog;
    bool closed_by_it = false;
    WhenShown([&](QWidget& window) {
      EXPECT_EQ(window.windowTitle(), "Quindle Technology for SysML - About");
      EXPECT_EQ(TabOrder(Find(window, "cmdOK")), std::vector<std::string>{"cmdOK"});
      EXPECT_TRUE(Find<QPushButton>(window, "cmdOK").isDefault());
      EXPECT_EQ(Find<QLabel>(window, "lblVersion").text(), "Version 1.0");
      auto& title = Find<QLabel>(window, "lblTitle");
      EXPECT_EQ(title.font().family(), "MS Sans Serif");
      EXPECT_TRUE(title.font().bold());
      // 13.5 points, or smaller where this machine's substitute font would overflow the label.
      EXPECT_LE(title.font().pointSizeF(), 13.5);
      EXPECT_GT(title.font().pointSizeF(), 8);
      const QRect box = title.contentsRect();
      EXPECT_TRUE(box.contains(
          QFontMetrics(title.font()).boundingRect(box, Qt::TextWordWrap, title.text())));
      EXPECT_FALSE(Find(window, "lblVersion").font().bold());
      const QPixmap picture = Find<QLabel>(window, "Picture1").pixmap();
      EXPECT_EQ(picture.size(), QSize(60, 165));
      EXPECT_EQ(picture.toImage().pixel(10, 14), 0xFFFFFFFFu);  // a block's white corner
      if (leave == "cmdOK") SaveScreenshot(window, "about");
      Press(window, leave);
      closed_by_it = !window.isVisible();
    });
    dialog.ShowIt(repository, *ui_);
    EXPECT_TRUE(closed_by_it);
    EXPECT_TRUE(dialog.Closed());
    EXPECT_EQ(dialog.Repository(), nullptr);
    EXPECT_EQ(repository.use_count(), 2);  // here and in the model
  }
}

// A dialog of its own, to see the rendering of any control list: the frame
// comes after the box it holds, tab indexes run against the list's order, and
// only the cancel button closes it.
class SampleDialog : public ui::Form {
 public:
  SampleDialog()
      : Form("Sample", 3300, 3000,
             {MakeControl("chkBox", ControlKind::kCheckBox, "Box", {150, 300, 1500, 300}, 2),
              MakeControl("lblBig", ControlKind::kLabel, "Big", {150, 1500, 3000, 900}, 9),
              MakeControl("cmdClose", ControlKind::kButton, "Close", {150, 2550, 1200, 375}, 0),
              MakeControl("fraGroup", ControlKind::kFrame, "Group", {75, 75, 3000, 1200}, 1)}) {
    Mutable("chkBox").parent = "fraGroup";
    Mutable("chkBox").value = 2;
    Mutable("lblBig").font_points = 13.5;
    Mutable("cmdClose").is_cancel = true;
  }
  void Load() override {}
  void Click(const std::string& control) override {
    clicks.push_back(control);
    if (control == "cmdClose") Unload();
  }
  void CloseBox() override { clicks.push_back("close box"); }  // stays open

  std::vector<std::string> clicks;
};

TEST_F(QtUiTest, RendersAnyControlList) {
  SampleDialog dialog;
  WhenShown([&dialog](QWidget& window) {
    EXPECT_EQ(window.windowTitle(), "Sample");
    EXPECT_EQ(window.size(), Pixels({0, 0, 3300, 3000}).size());
    for (const Control& control : dialog.Controls()) {
      QWidget& widget = Find(window, control.name.c_str());
      QWidget& parent = control.parent.empty() ? window : Find(window, control.parent.c_str());
      EXPECT_EQ(widget.parentWidget(), &parent) << control.name;
      const char* caption = qobject_cast<QGroupBox*>(&widget) ? "title" : "text";
      EXPECT_EQ(widget.property(caption).toString().toStdString(), control.caption);
      EXPECT_EQ(widget.geometry(), Pixels(control.rect)) << control.name;
    }
    EXPECT_EQ(TabOrder(Find(window, "cmdClose")), (std::vector<std::string>{"cmdClose", "chkBox"}));
    EXPECT_DOUBLE_EQ(Find(window, "lblBig").font().pointSizeF(), 13.5);  // room enough: kept
    auto& box = Find<QCheckBox>(window, "chkBox");
    int changes = 0;
    auto counting = QObject::connect(&box, &QCheckBox::stateChanged, [&] { ++changes; });
    box.click();  // the model leaves the value as it is, and so does the view
    QObject::disconnect(counting);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(box.checkState(), Qt::PartiallyChecked);
    window.close();  // the model stays open, so the window does too
    EXPECT_TRUE(window.isVisible());
    Press(window, "Escape");
  });
  ui_->ShowModal(dialog);
  EXPECT_EQ(dialog.clicks, (std::vector<std::string>{"chkBox", "close box", "cmdClose"}));
}

// Each box is shown through the windows linked here and through the module
// the add-in loads from beside itself.
TEST_F(QtUiTest, MessageBoxesShowTitleTextIconAndOkOnly) {
  const auto loaded = MakeDefaultPlatform(TESSARY_QT_MODULE_DIR, "qt", true);
  for (Ui* ui : {static_cast<Ui*>(ui_.get()), &loaded->UserInterface()}) {
    for (const auto& [icon, shown] :
         {std::pair{MessageIcon::kExclamation, QMessageBox::Warning},
          std::pair{MessageIcon::kCriticalStop, QMessageBox::Critical}}) {
      bool inspected = false;
      WhenShown([&, shown = shown](QWidget& window) {
        auto& box = dynamic_cast<QMessageBox&>(window);
        EXPECT_EQ(box.windowTitle(), "Quindle Technology for SysML");
        EXPECT_EQ(box.text(), "Add-in will only work with Orba 6.5 or later.");
        EXPECT_EQ(box.icon(), shown);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
        box.button(QMessageBox::Ok)->click();
        inspected = !box.isVisible();
      });
      ui->MessageBox("Add-in will only work with Orba 6.5 or later.",
                     "Quindle Technology for SysML", icon);
      EXPECT_TRUE(inspected);
    }
  }
}

}  // namespace
}  // namespace platform
