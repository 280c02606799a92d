// The console options form as a user meets it: the form program runs on a
// pseudo-terminal, this test types at its prompts and then reads the settings
// file it left; without a terminal to read from the form is cancelled.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>

#include "platform/settings_store.h"
#include "support/temp_folder.h"

namespace {

constexpr char kPrompt[] = "Number to press, or q to close: ";
constexpr int kGiveUpMs = 60000;  // only against a hung program; never reached when it works

// The form program on the slave side of a pseudo-terminal.
class TerminalSession {
 public:
  // `orba_ui` is the user interface the program asks for, or null for its default;
  // `no_input`: its standard input is /dev/null, not the terminal.
  TerminalSession(const std::filesystem::path& config_home, const char* orba_ui, bool no_input) {
    child_ = forkpty(&terminal_, nullptr, nullptr, nullptr);
    if (child_ == 0) {
      if (no_input && !freopen("/dev/null", "r", stdin)) _exit(126);
      unsetenv("DISPLAY");
      unsetenv("WAYLAND_DISPLAY");
      setenv("XDG_CONFIG_HOME", config_home.c_str(), 1);
      execl(OPTIONS_FORM_HELPER, OPTIONS_FORM_HELPER, orba_ui, static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~TerminalSession() {
    if (child_ > 0 && !ended_) {
      kill(child_, SIGKILL);
      waitpid(child_, nullptr, 0);
    }
    if (terminal_ >= 0) close(terminal_);
  }
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;

  bool Started() const { return child_ > 0; }

  // Everything the program writes until `marker` appears (or it ends).
  std::string ReadUntil(const std::string& marker) {
    const size_t from = output_.size();
    while (output_.find(marker, from) == std::string::npos && ReadSome()) {
    }
    return output_.substr(from);
  }
  void Type(const std::string& line) {
    const std::string text = line + "\n";
    ASSERT_EQ(write(terminal_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  // Reads to the end and answers the exit status (-1 when it did not exit normally).
  int Wait() {
    while (ReadSome()) {
    }
    int status = 0;
    waitpid(child_, &status, 0);
    ended_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  const std::string& Output() const { return output_; }

 private:
  bool ReadSome() {
    pollfd ready{terminal_, POLLIN, 0};
    if (poll(&ready, 1, kGiveUpMs) <= 0) return false;
    char buffer[4096];
    const ssize_t got = read(terminal_, buffer, sizeof buffer);  // EIO once the program ended
    if (got <= 0) return false;
    output_.append(buffer, static_cast<size_t>(got));
    return true;
  }

  int terminal_ = -1;
  pid_t child_ = -1;
  bool ended_ = false;
  std::string output_;
};

// The number the form gives the OK button ("7) <OK>").
std::string OkNumber(const std::string& form) {
  std::smatch match;
  if (!std::regex_search(form, match, std::regex(R"((\d+)\) <OK>)"))) return "";
  return match[1];
}

bool SettingsFileExists(const std::filesystem::path& config_home) {
  return std::filesystem::exists(config_home / "orba" / "SysML.ini");
}

// Typing "1" toggles "Show Always"; OK then stores all seven keys, q closes
// without storing. Without a display every user interface but "none" is
// the typed form.
TEST(ConsoleFormTest, TypedAnswersDriveTheForm) {
  const std::pair<const char*, bool> runs[] = {{"console", true}, {nullptr, false}, {"qt", false}};
  for (const auto& [orba_ui, ok] : runs) {
    SCOPED_TRACE(orba_ui ? orba_ui : "unset");
    testing_support::TempFolder config_home;
    TerminalSession session(config_home.path(), orba_ui, false);
    ASSERT_TRUE(session.Started());
    const std::string form = session.ReadUntil(kPrompt);
    ASSERT_NE(form.find("== Quindle Technology for SysML - Options =="), std::string::npos) << form;
    ASSERT_FALSE(OkNumber(form).empty()) << form;
    session.Type("1");
    session.ReadUntil(kPrompt);
    session.Type(ok ? OkNumber(form) : "q");
    EXPECT_EQ(session.Wait(), 0) << session.Output();
    EXPECT_NE(session.Output().find(ok ? "toolbox choice changed" : "toolbox choice kept"),
              std::string::npos)
        << session.Output();
    EXPECT_EQ(SettingsFileExists(config_home.path()), ok);
    platform::IniSettingsStore store(config_home.path() / "orba");
    for (const char* key : {"Parts", "FlowPorts", "Parameters", "AllocatedTo", "AllocatedFrom",
                            "ShowAlways", "ShowCompartmentRequirements"}) {
      const std::string stored = ok ? (key == std::string("ShowAlways") ? "1" : "0") : "<absent>";
      EXPECT_EQ(store.GetSetting("SysML", "Options", key, "<absent>"), stored) << key;
    }
  }
}

// The form is shown but cancelled: with the user interface "none", and without a terminal to read
// from.
TEST(ConsoleFormTest, WithNoUserInterfaceOrNoInputTheFormIsCancelled) {
  for (const auto& [orba_ui, no_input] : {std::pair{"none", false}, std::pair{"console", true}}) {
    SCOPED_TRACE(orba_ui);
    testing_support::TempFolder config_home;
    TerminalSession session(config_home.path(), orba_ui, no_input);
    ASSERT_TRUE(session.Started());
    EXPECT_EQ(session.Wait(), 0) << session.Output();
    const std::string& output = session.Output();
    EXPECT_NE(output.find("== Quindle Technology for SysML - Options =="), std::string::npos)
        << output;
    EXPECT_EQ(output.find(kPrompt), std::string::npos) << output;
    EXPECT_NE(output.find("toolbox choice kept"), std::string::npos) << output;
    EXPECT_FALSE(SettingsFileExists(config_home.path()));
  }
}

}  // namespace
