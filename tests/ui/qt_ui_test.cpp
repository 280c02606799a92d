// The Qt windows, shown for real on a virtual X display and inspected through
// Qt's own API while they are open.
#include "platform/qt_ui.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "automation/errors.h"
#include "platform/platform.h"
#include "support/recording_repository.h"
#include "support/test_platform.h"
#include "ui/about_dialog.h"
#include "ui/options_dialog.h"
#include "ui/xvfb_display.h"

namespace platform {
namespace {

class QtUiTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!testing_support::XvfbInstalled()) {
      GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb): the Qt windows need a display";
    }
    testing_support::UseXvfbDisplay();
    ui_ = std::make_unique<QtUi>(std::make_shared<ScriptedUi>());
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
int Px(int twips) {
  return qRound(twips * QGuiApplication::primaryScreen()->logicalDotsPerInchX() / 1440.0);
}
int Py(int twips) {
  return qRound(twips * QGuiApplication::primaryScreen()->logicalDotsPerInchY() / 1440.0);
}

template <typename Widget = QWidget>
Widget& Find(QWidget& window, const char* name) {
  auto* widget = window.findChild<Widget*>(name);
  if (widget == nullptr) throw std::runtime_error(std::string("the window has no such ") + name);
  return *widget;
}

QString CaptionOf(QWidget& widget) {
  if (auto* frame = qobject_cast<QGroupBox*>(&widget)) return frame->title();
  if (auto* button = qobject_cast<QAbstractButton*>(&widget)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(&widget)) return label->text();
  return "<no caption>";
}

struct Placed {
  const char* name;
  const char* parent;  // the frame, or "" for the window itself
  const char* caption;
  TwipsRect rect;
};

void ExpectPlaced(QWidget& window, const std::vector<Placed>& controls) {
  for (const Placed& control : controls) {
    SCOPED_TRACE(control.name);
    QWidget& widget = Find(window, control.name);
    QWidget* parent = *control.parent ? &Find(window, control.parent) : &window;
    EXPECT_EQ(widget.parentWidget(), parent);
    EXPECT_EQ(CaptionOf(widget).toStdString(), control.caption);
    const TwipsRect& r = control.rect;
    EXPECT_EQ(widget.geometry(), QRect(Px(r.left), Py(r.top), Px(r.width), Py(r.height)));
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

// Saves the window as ${build}/artifacts/NAME.png and checks the saved image's size.
void SaveScreenshot(QWidget& window, const QString& name) {
  QDir().mkpath(TESSARY_ARTIFACTS_DIR);
  const QString path = QString(TESSARY_ARTIFACTS_DIR) + "/" + name + ".png";
  ASSERT_TRUE(window.grab().save(path));
  const QImage saved(path);
  EXPECT_EQ(saved.size(), window.size() * window.devicePixelRatio());
}

bool TextFits(const QLabel& label) {
  const QRect box = label.contentsRect();
  return box.contains(QFontMetrics(label.font()).boundingRect(box, Qt::TextWordWrap, label.text()));
}

void PressKey(QWidget& window, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(&window, &press);
}

const std::vector<Placed> kOptionsLayout = {
    {"Frame2", "", "SysML Toolbox Visibility", {120, 120, 3495, 1095}},
    {"chkShowAlways", "Frame2", "Show Always", {240, 240, 2295, 375}},
    {"chkOnlyWithPerspective", "Frame2", "Only Show with SysML Perspective", {240, 600, 3015, 375}},
    {"Frame1", "", "Element Compartment Visibility", {120, 1320, 3495, 1455}},
    {"chkParts", "Frame1", "Parts", {240, 360, 1815, 195}},
    {"chkFlowPorts", "Frame1", "Flow Ports", {240, 720, 1815, 195}},
    {"chkParameters", "Frame1", "Parameters", {240, 1080, 1815, 195}},
    {"chkRequirements", "Frame1", "Requirements", {1800, 360, 1455, 255}},
    {"chkAllocatedTo", "Frame1", "Allocated To", {1800, 720, 1455, 195}},
    {"chkAllocatedFrom", "Frame1", "Allocated From", {1800, 1080, 1575, 195}},
    {"cmdOK", "", "&OK", {1200, 2880, 1095, 375}},
    {"cmdCancel", "", "&Cancel", {2505, 2880, 1095, 375}},
};

TEST_F(QtUiTest, OptionsWindowShowsTheLayoutAndStoresOnOk) {
  testing_support::MemorySettingsStore settings;
  settings.SetOption("ShowAlways", "1");
  settings.SetOption("AllocatedTo", "1");
  settings.SetOption("AllocatedFrom", "2");
  ui::OptionsDialog dialog(settings);
  WhenShown([](QWidget& window) {
    EXPECT_EQ(window.windowTitle(), "Quindle Technology for SysML - Options");
    EXPECT_EQ(window.size(), QSize(Px(3765), Py(3390)));
    ExpectPlaced(window, kOptionsLayout);
    EXPECT_EQ(
        TabOrder(Find(window, "cmdOK")),
        (std::vector<std::string>{"cmdOK", "cmdCancel", "chkParts", "chkFlowPorts", "chkParameters",
                                  "chkAllocatedTo", "chkAllocatedFrom", "chkShowAlways",
                                  "chkOnlyWithPerspective", "chkRequirements"}));
    EXPECT_EQ(Find<QCheckBox>(window, "chkShowAlways").checkState(), Qt::Checked);
    EXPECT_EQ(Find<QCheckBox>(window, "chkOnlyWithPerspective").checkState(), Qt::Unchecked);
    EXPECT_FALSE(Find(window, "chkAllocatedTo").isEnabled());
    EXPECT_EQ(Find<QCheckBox>(window, "chkAllocatedTo").checkState(), Qt::Checked);
    EXPECT_FALSE(Find(window, "chkAllocatedFrom").isEnabled());
    EXPECT_EQ(Find<QCheckBox>(window, "chkAllocatedFrom").checkState(), Qt::PartiallyChecked);
    EXPECT_TRUE(Find(window, "chkParts").isEnabled());
    SaveScreenshot(window, "options");

    Find<QCheckBox>(window, "chkOnlyWithPerspective").click();
    EXPECT_EQ(Find<QCheckBox>(window, "chkOnlyWithPerspective").checkState(), Qt::Checked);
    EXPECT_EQ(Find<QCheckBox>(window, "chkShowAlways").checkState(), Qt::Unchecked);
    Find<QCheckBox>(window, "chkParts").click();
    Find<QCheckBox>(window, "chkAllocatedTo").click();  // greyed: no effect
    EXPECT_EQ(Find<QCheckBox>(window, "chkParts").checkState(), Qt::Checked);
    EXPECT_EQ(Find<QCheckBox>(window, "chkAllocatedTo").checkState(), Qt::Checked);
    Find<QPushButton>(window, "cmdOK").click();
    EXPECT_FALSE(window.isVisible());
  });
  ui_->ShowModal(dialog);
  EXPECT_EQ(settings.Writes(),
            (std::vector<std::string>{"Parts=1", "FlowPorts=0", "Parameters=0", "AllocatedTo=1",
                                      "AllocatedFrom=2", "ShowAlways=0",
                                      "ShowCompartmentRequirements=0"}));
  EXPECT_TRUE(dialog.IsShowAlwaysChanged());
}

TEST_F(QtUiTest, AGreyedBoxTakesTheModelsValueOnClick) {
  testing_support::MemorySettingsStore settings;
  settings.SetOption("Parts", "2");
  ui::OptionsDialog dialog(settings);
  WhenShown([](QWidget& window) {
    auto& parts = Find<QCheckBox>(window, "chkParts");
    EXPECT_EQ(parts.checkState(), Qt::PartiallyChecked);
    parts.click();  // Qt's own cycle would tick it; the model unticks it
    EXPECT_EQ(parts.checkState(), Qt::Unchecked);
  });
  ui_->ShowModal(dialog);
  EXPECT_EQ(dialog.Value("chkParts"), 0);
}

struct ClosingCase {
  const char* name;
  std::function<void(QWidget&)> close;
};

class QtOptionsClosingTest : public QtUiTest, public testing::WithParamInterface<ClosingCase> {};

TEST_P(QtOptionsClosingTest, WritesNothing) {
  testing_support::MemorySettingsStore settings;
  ui::OptionsDialog dialog(settings);
  bool closed_by_it = false;
  WhenShown([&](QWidget& window) {
    Find<QCheckBox>(window, "chkShowAlways").click();
    GetParam().close(window);
    closed_by_it = !window.isVisible();
  });
  ui_->ShowModal(dialog);
  EXPECT_TRUE(closed_by_it);
  EXPECT_TRUE(dialog.Closed());
  EXPECT_TRUE(settings.Writes().empty());
  EXPECT_FALSE(dialog.IsShowAlwaysChanged());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, QtOptionsClosingTest,
    testing::Values(ClosingCase{"Cancel",
                                [](QWidget& window) {
                                  Find<QPushButton>(window, "cmdCancel").click();
                                }},
                    ClosingCase{"CloseBox", [](QWidget& window) { window.close(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QtUiTest, EscapeLeavesTheOptionsOpen) {
  testing_support::MemorySettingsStore settings;
  ui::OptionsDialog dialog(settings);
  bool open_after_escape = false;
  WhenShown([&](QWidget& window) {
    PressKey(window, Qt::Key_Escape);
    open_after_escape = window.isVisible() && !dialog.Closed();
  });
  ui_->ShowModal(dialog);
  EXPECT_TRUE(open_after_escape);
}

TEST_F(QtUiTest, AFailingWriteClosesTheWindowAndReachesTheCaller) {
  testing_support::MemorySettingsStore settings;
  settings.fail_writes = true;
  ui::OptionsDialog dialog(settings);
  WhenShown([](QWidget& window) { Find<QPushButton>(window, "cmdOK").click(); });
  EXPECT_THROW(ui_->ShowModal(dialog), SettingsError);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(QtUiTest, ABadStoredValueFailsBeforeAnyWindow) {
  testing_support::MemorySettingsStore settings;
  settings.SetOption("Parts", "3");
  ui::OptionsDialog dialog(settings);
  bool shown = false;
  WhenShown([&](QWidget&) { shown = true; });
  EXPECT_THROW(ui_->ShowModal(dialog), automation::Error);
  EXPECT_FALSE(shown);
}

const std::vector<Placed> kAboutLayout = {
    {"cmdOK", "", "OK", {2910, 2280, 1140, 345}},
    {"lblTitle", "", "Quindle Technology for SysML", {1560, 240, 2565, 720}},
    {"lblVersion", "", "Version 1.0", {1560, 1080, 2685, 1065}},
    {"Picture1", "", "", {120, 120, 975, 2535}},
};

TEST_F(QtUiTest, AboutWindowShowsTitleVersionAndPicture) {
  auto repository = std::make_shared<testing_support::RecordingRepository>();
  ui::AboutDialog dialog;
  WhenShown([&](QWidget& window) {
    EXPECT_EQ(window.windowTitle(), "Quindle Technology for SysML - About");
    EXPECT_EQ(window.size(), QSize(Px(4470), Py(2790)));
    ExpectPlaced(window, kAboutLayout);
    EXPECT_EQ(TabOrder(Find(window, "cmdOK")), std::vector<std::string>{"cmdOK"});
    EXPECT_TRUE(Find<QPushButton>(window, "cmdOK").isDefault());
    auto& title = Find<QLabel>(window, "lblTitle");
    EXPECT_EQ(title.font().family(), "MS Sans Serif");
    EXPECT_TRUE(title.font().bold());
    // 13.5 points, or smaller where this machine's substitute font would overflow the label.
    EXPECT_LE(title.font().pointSizeF(), 13.5);
    EXPECT_GT(title.font().pointSizeF(), 8);
    EXPECT_TRUE(TextFits(title));
    EXPECT_FALSE(Find(window, "lblVersion").font().bold());
    const QPixmap picture = Find<QLabel>(window, "Picture1").pixmap();
    EXPECT_EQ(picture.size(), QSize(60, 165));
    EXPECT_EQ(picture.toImage().pixel(10, 14), 0xFFFFFFFFu);  // a block's white corner
    EXPECT_EQ(dialog.Repository(), repository);
    SaveScreenshot(window, "about");
    Find<QPushButton>(window, "cmdOK").click();
  });
  dialog.ShowIt(repository, *ui_);
  EXPECT_TRUE(dialog.Closed());
  EXPECT_EQ(repository.use_count(), 1);
}

class QtAboutClosingTest : public QtUiTest, public testing::WithParamInterface<ClosingCase> {};

TEST_P(QtAboutClosingTest, ClosesAndReleasesTheRepository) {
  auto repository = std::make_shared<testing_support::RecordingRepository>();
  ui::AboutDialog dialog;
  bool closed_by_it = false;
  WhenShown([&](QWidget& window) {
    GetParam().close(window);
    closed_by_it = !window.isVisible();
  });
  dialog.ShowIt(repository, *ui_);
  EXPECT_TRUE(closed_by_it);
  EXPECT_EQ(dialog.Repository(), nullptr);
  EXPECT_EQ(repository.use_count(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, QtAboutClosingTest,
    testing::Values(ClosingCase{"Enter", [](QWidget& window) { PressKey(window, Qt::Key_Return); }},
                    ClosingCase{"Escape",
                                [](QWidget& window) { PressKey(window, Qt::Key_Escape); }},
                    ClosingCase{"CloseBox", [](QWidget& window) { window.close(); }}),
    [](const auto& info) { return std::string(info.param.name); });

// A dialog of its own, to see the rendering of any control list: the frame
// comes after the box it holds, tab indexes run against the list's order, and
// only the cancel button closes it.
class SampleDialog : public Dialog {
 public:
  SampleDialog() {
    Control box = MakeControl("chkBox", ControlKind::kCheckBox, "Box", {150, 300, 1500, 300}, 2);
    box.parent = "fraGroup";
    box.value = 2;
    Control label = MakeControl("lblBig", ControlKind::kLabel, "Big", {150, 1500, 3000, 900}, 9);
    label.font_points = 13.5;
    Control close =
        MakeControl("cmdClose", ControlKind::kButton, "Close", {150, 2550, 1200, 375}, 0);
    close.is_cancel = true;
    controls_ = {box, label, close,
                 MakeControl("fraGroup", ControlKind::kFrame, "Group", {75, 75, 3000, 1200}, 1)};
  }
  std::string Caption() const override { return "Sample"; }
  int ClientWidth() const override { return 3300; }
  int ClientHeight() const override { return 3000; }
  const std::vector<Control>& Controls() const override { return controls_; }
  void Load() override {}
  void Click(const std::string& control) override {
    clicks.push_back(control);
    closed_ = control == "cmdClose";
  }
  void CloseBox() override { clicks.push_back("close box"); }  // stays open
  bool Closed() const override { return closed_; }

  std::vector<std::string> clicks;

 private:
  std::vector<Control> controls_;
  bool closed_ = false;
};

TEST_F(QtUiTest, RendersAnyControlList) {
  SampleDialog dialog;
  WhenShown([](QWidget& window) {
    ExpectPlaced(window, {{"fraGroup", "", "Group", {75, 75, 3000, 1200}},
                          {"chkBox", "fraGroup", "Box", {150, 300, 1500, 300}},
                          {"lblBig", "", "Big", {150, 1500, 3000, 900}},
                          {"cmdClose", "", "Close", {150, 2550, 1200, 375}}});
    EXPECT_EQ(TabOrder(Find(window, "cmdClose")), (std::vector<std::string>{"cmdClose", "chkBox"}));
    EXPECT_EQ(Find<QCheckBox>(window, "chkBox").checkState(), Qt::PartiallyChecked);
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
    PressKey(window, Qt::Key_Escape);
  });
  ui_->ShowModal(dialog);
  EXPECT_EQ(dialog.clicks, (std::vector<std::string>{"chkBox", "close box", "cmdClose"}));
}

struct BoxCase {
  const char* name;
  MessageIcon icon;
  QMessageBox::Icon shown;
};

class QtMessageBoxTest : public QtUiTest, public testing::WithParamInterface<BoxCase> {};

TEST_P(QtMessageBoxTest, ShowsTitleTextIconAndOkOnly) {
  bool inspected = false;
  WhenShown([&](QWidget& window) {
    auto* box = qobject_cast<QMessageBox*>(&window);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "Quindle Technology for SysML");
    EXPECT_EQ(box->text(), "Add-in will only work with Orba 6.5 or later.");
    EXPECT_EQ(box->icon(), GetParam().shown);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    box->button(QMessageBox::Ok)->click();
    inspected = !box->isVisible();
  });
  ui_->MessageBox("Add-in will only work with Orba 6.5 or later.", "Quindle Technology for SysML",
                  GetParam().icon);
  EXPECT_TRUE(inspected);
}

INSTANTIATE_TEST_SUITE_P(
    Icons, QtMessageBoxTest,
    testing::Values(BoxCase{"Exclamation", MessageIcon::kExclamation, QMessageBox::Warning},
                    BoxCase{"CriticalStop", MessageIcon::kCriticalStop, QMessageBox::Critical}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QtUiTest, TheDefaultPlatformShowsWindowsWhenAskedAndADisplayIsThere) {
  setenv("ORBA_UI", "qt", 1);
  const auto with_qt = MakeDefaultPlatform("/opt/sysml");
  setenv("ORBA_UI", "none", 1);
  const auto without_qt = MakeDefaultPlatform("/opt/sysml");
  unsetenv("ORBA_UI");
  EXPECT_NE(dynamic_cast<QtUi*>(&with_qt->UserInterface()), nullptr);
  EXPECT_NE(dynamic_cast<ConsoleUi*>(&without_qt->UserInterface()), nullptr);
}

TEST_F(QtUiTest, KeepsOneApplicationForTheProcess) {
  QCoreApplication* first = QCoreApplication::instance();
  ASSERT_NE(qobject_cast<QApplication*>(first), nullptr);
  QtUi second(std::make_shared<ScriptedUi>());
  EXPECT_TRUE(second.CanShowWindows());
  EXPECT_EQ(QCoreApplication::instance(), first);
}

}  // namespace
}  // namespace platform
