// Conversations of the add-in with its host, kept as data in cases/*.txt and
// played by this one driver. The format of a case file:
//
//   == NAME               a case: a fresh add-in connected to its host, an
//                         empty model open in memory on a modern host
//   model JSON            (first) this model instead (tests/support/test_model.h);
//                         lines after it that start with a space continue it
//   disabled              the host has not connected the add-in
//   select KEY            the user selects this package in the model tree
//   stored KEY=VALUE;...  options the user stored
//   answer MEMBER TEXT    the repository's MEMBER (or CLASS.MEMBER) answers TEXT from now on
//   clicks CONTROL ...    the next dialog shown gets these clicks
//   fails MEMBER          the next call's first call of the repository's MEMBER fails
//   call OPERATION ARG... [=> VALUE]
//                         the host calls the operation by name; it answers
//                         VALUE, or fails with "error: TEXT" in its error.
//                         An ARG is "text", a word, a number (2% a 16-bit one), host (the
//                         repository), nothing (a null object), guid:KEY (the
//                         GUID of the model's element KEY), new:KEY (the
//                         new-element event of it) or event:ARG (one holding
//                         ARG); a VALUE is an ARG, True, False, or [ ARG ... ]
//   each-fails CALL...    plays the call on fresh add-ins given the stored,
//                         answer and select lines before it, once, then with
//                         each host call it made failing in turn: that ends it
//                         with the failure (or, given => VALUE, answering VALUE)
//   calls CALL; CALL...   the host calls it made, the repository's without
//                         "Repository.", a document argument as <search>,
//                         <technology> or <perspective> (the add-in's
//                         resources) or else <document>
//   warns TEXT            it showed this warning (stops TEXT: this stop box),
//   dialog CAPTION        then this dialog,
//   help PAGE             then opened this page of the help,
//   writes N              then stored N settings
//   compartments TEXT     the add-in's Compartments afterwards
//
// What the lines after a call do not state did not happen: it answered
// nothing (an empty value), made no host call, showed no box, dialog or help
// page and stored no setting.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iomanip>
#include <map>
#include <set>
#include <sstream>
#include <utility>

#include "addin/tessary.h"
#include "orba/store/host_services_objects.h"
#include "platform/ansi_text.h"
#include "resources/resource_table.h"
#include "search/allocation_search.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "support/test_model.h"
#include "support/test_platform.h"
#include "ui/about_dialog.h"

namespace addin {
namespace {

using automation::Variant;

// The add-in under test: a CTessary on test platform services, and the host
// it is handed: a ScriptedHost around a model of the reference host's own
// store (by default an empty one, open in memory, on a modern host).
class AddinTest : public testing::Test {
 protected:
  explicit AddinTest(std::string_view model = testing_support::kEmptyModel) : model_(model) {}

  // Connects the add-in, as the host does on start, and forgets the calls so far.
  void Connect() {
    addin_.Orba_Connect(host_);
    Plan().ClearCalls();
  }
  testing_support::FaultPlan& Plan() { return host_->Plan(); }

  testing_support::TestModel model_;
  testing_support::TestPlatform platform_;
  CTessary addin_{platform_.platform};
  std::shared_ptr<testing_support::ScriptedHost> host_ =
      std::make_shared<testing_support::ScriptedHost>(model_.Repository());
};

struct Step {
  std::string where;  // file:line
  std::string keyword, rest;
  std::string answer;  // of a call: what follows " => "
};

struct Case {
  std::string name;
  std::vector<Step> steps;
  friend void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }
};

std::vector<Case> ReadCases() {
  std::vector<Case> cases;
  for (const std::string file : {"menus.txt", "commands.txt", "operations.txt", "failures.txt"}) {
    std::ifstream in(TESSARY_SOURCE_ROOT "/tests/addin/cases/" + file);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
      ++number;
      if (line.empty() || line[0] == '#') continue;
      if (line[0] == ' ') {  // continues the line before
        cases.back().steps.back().rest += line;
        continue;
      }
      Step step{file + ":" + std::to_string(number), "", "", ""};
      std::istringstream words(line);
      std::getline(words >> step.keyword >> std::ws, step.rest);
      if (const size_t arrow = step.rest.find(" => "); arrow != std::string::npos) {
        step.answer = step.rest.substr(arrow + 4);
        step.rest.resize(arrow);
      }
      if (step.keyword == "==") {
        cases.push_back({step.rest, {}});
      } else {
        cases.back().steps.push_back(step);
      }
    }
  }
  return cases;
}

class ConversationTest : public AddinTest, public testing::WithParamInterface<Case> {
 protected:
  ConversationTest()
      : AddinTest(!GetParam().steps.empty() && GetParam().steps[0].keyword == "model"
                      ? std::string_view(GetParam().steps[0].rest)
                      : testing_support::kEmptyModel) {}

  // The values of `text`, split at spaces outside "double quotes".
  std::vector<Variant> Values(const std::string& text) {
    std::vector<std::vector<Variant>> open(1);
    std::istringstream words(text);
    for (std::string word; words >> std::ws && !words.eof();) {
      if (words.peek() == '"') {
        words >> std::quoted(word);
        open.back().push_back(word);
        continue;
      }
      words >> word;
      if (word == "[") {
        open.emplace_back();
      } else if (word == "]") {
        Variant array(std::move(open.back()));
        open.pop_back();
        open.back().push_back(array);
      } else if (word == "host") {
        open.back().push_back(Variant(host_));
      } else if (word == "nothing") {
        open.back().push_back(automation::ObjectPtr());
      } else if (word.starts_with("guid:")) {
        open.back().push_back(model_.ElementGuid(word.substr(5)));
      } else if (word.starts_with("new:") || word.starts_with("event:")) {
        const Variant id = word.starts_with("new:") ? Variant(model_.ElementId(word.substr(4)))
                                                    : Values(word.substr(6)).front();
        open.back().push_back(host_->Wrap(
            std::make_shared<orba::store::EventArgumentList>(std::vector<Variant>{id})));
      } else if (word == "True" || word == "False") {
        open.back().push_back(word == "True");
      } else if (word.ends_with('%')) {  // a 16-bit whole number, as Basic writes it
        open.back().push_back(static_cast<int16_t>(std::stoi(word)));
      } else if (std::isdigit(word.back()) && word.find_first_not_of("-.0123456789") == word.npos) {
        open.back().push_back(word.find('.') == word.npos ? Variant(int32_t{std::stoi(word)})
                                                          : Variant(std::stod(word)));
      } else {
        open.back().push_back(word);
      }
    }
    return open.front();
  }

  void Do(const Step& step) {
    const std::string& rest = step.rest;
    if (step.keyword == "stored") {
      platform_.settings->SetOptions(rest);
    } else if (step.keyword == "answer") {
      const size_t space = rest.find(' ');
      const std::string member = rest.substr(0, space);
      Plan().Answer((member.find('.') == std::string::npos ? "Repository." : "") + member,
                    space == std::string::npos ? "" : rest.substr(space + 1));
    } else if (step.keyword == "fails") {
      failing_ = "Repository." + rest;
      Plan().FailOn(failing_);
    } else if (step.keyword == "select") {
      model_.SelectPackage(rest);
    } else if (step.keyword == "clicks") {
      platform_.ui->ExpectDialog([rest](platform::Dialog& dialog) {
        std::istringstream controls(rest);
        for (std::string control; controls >> control;) dialog.Click(control);
      });
    } else if (step.keyword == "call") {
      EndCall();
      const automation::CallResult result = Call(rest);
      Plan().FailOn(std::exchange(failing_, ""), 0);
      Check(result, step.answer);
      called_ = false;
      call_where_ = step.where;
    } else if (step.keyword == "each-fails") {
      EndCall();
      FailEachHostCallInTurn(step);
    } else if (step.keyword == "calls") {
      called_ = true;
      std::vector<std::string> calls;
      std::istringstream list(rest);
      for (std::string call; std::getline(list >> std::ws, call, ';');) calls.push_back(call);
      EXPECT_EQ(Calls(), calls);
    } else if (std::set<std::string>{"warns", "stops", "dialog", "help", "writes"}.contains(
                   step.keyword)) {
      effects_.push_back(step.keyword + " " + rest);
    } else if (step.keyword == "compartments") {
      EXPECT_EQ(addin_.Compartments, rest);
    } else if (step.keyword != "disabled" && step.keyword != "model") {
      FAIL() << "unknown keyword " << step.keyword;
    }
  }

  // Calls the operation by name with just as many arguments as given.
  automation::CallResult Call(const std::string& rest) {
    const std::vector<Variant> words = Values(rest);
    std::vector<Variant> arguments(words.begin() + 1, words.end());
    return automation::Call(addin_, words.front().String(), arguments);
  }
  void Check(const automation::CallResult& result, const std::string& answer) {
    if (answer.starts_with("error: ")) {
      EXPECT_FALSE(result.ok);
      EXPECT_THAT(result.error, testing::HasSubstr(answer.substr(7)));
    } else {
      ASSERT_TRUE(result.ok) << result.error;
      const std::vector<Variant> value = Values(answer);
      if (value.empty()) {
        EXPECT_TRUE(result.value.IsEmpty());
      } else {
        EXPECT_EQ(result.value, value.front());
      }
    }
  }

  // Plays the call of an each-fails line on fresh add-ins, each first given
  // the stored, answer and select lines before it: once as it is, then with
  // each host call it made failing in turn.
  void FailEachHostCallInTurn(const Step& step) {
    struct Fresh : ConversationTest {
      void TestBody() override {}
    };
    const auto fresh = [&](size_t failing) {
      auto test = std::make_unique<Fresh>();
      for (const Step* before = GetParam().steps.data(); before != &step; ++before) {
        if (std::set<std::string>{"stored", "answer", "select"}.contains(before->keyword))
          test->Do(*before);
      }
      test->Connect();
      test->Plan().FailAtCall(static_cast<int>(failing));
      return test;
    };
    const auto once = fresh(0);
    const automation::CallResult result = once->Call(step.rest);
    ASSERT_TRUE(result.ok) << result.error;
    const size_t calls = once->Plan().Calls().size();
    EXPECT_GT(calls, 0u);
    for (size_t n = 1; n <= calls; ++n) {
      const auto test = fresh(n);
      const automation::CallResult failed_result = test->Call(step.rest);
      const std::string failed = test->Plan().Calls().at(n - 1);
      SCOPED_TRACE("with call " + std::to_string(n) + " failing, " + failed);
      test->Check(failed_result,
                  step.answer.empty() ? "error: injected failure of " + failed : step.answer);
      EXPECT_EQ(test->Plan().Calls().size(), n) << "the operation went on";
    }
  }

  // The host calls so far, the repository's without "Repository." and every
  // document (an argument of several lines) by the name of the resource it is.
  std::vector<std::string> Calls() {
    const std::map<std::string, std::string> documents = {
        {testing_support::FileBytes(TESSARY_SOURCE_ROOT "/src/resources/custom_search.xml"),
         "<search>"},
        {Resource("TECHFILE", 101), "<technology>"},
        {Resource("PERSPECTIVE", 102), "<perspective>"}};
    std::vector<std::string> calls;
    for (size_t i = 0; i < Plan().Calls().size(); ++i) {
      std::string call = Plan().Calls()[i] + "(";
      for (const std::string& argument : Plan().Arguments()[i]) {
        std::string shown = argument;
        if (argument.find('\n') != std::string::npos)
          shown = documents.contains(argument) ? documents.at(argument) : "<document>";
        call += (call.ends_with("(") ? "" : ", ") + shown;
      }
      calls.push_back(call.substr(call.starts_with("Repository.") ? 11 : 0) + ")");
    }
    return calls;
  }
  static std::string Resource(std::string_view type, int id) {
    return platform::AnsiToText(resources::LoadResData(type, id));
  }

  // Checks what the last call's lines did not state, then forgets what it did.
  void EndCall() {
    SCOPED_TRACE("after the call of " + call_where_);
    if (!called_) {
      EXPECT_THAT(Calls(), testing::IsEmpty());
    }
    // The items of `all` from the `seen`-th on, which then count as seen.
    const auto since = [](const auto& all, size_t& seen) {
      return std::vector(all.begin() + static_cast<std::ptrdiff_t>(std::exchange(seen, all.size())),
                         all.end());
    };
    std::vector<std::string> effects;
    for (const auto& box : since(platform_.ui->MessageBoxes(), seen_[0])) {
      const bool stop = box.icon == platform::MessageIcon::kCriticalStop;
      EXPECT_EQ(box, (testing_support::RecordedMessageBox{
                         box.text, "Quindle Technology for SysML",
                         stop ? box.icon : platform::MessageIcon::kExclamation}))
          << box.text;
      effects.push_back((stop ? "stops " : "warns ") + box.text);
    }
    for (const auto& caption : since(platform_.ui->DialogsShown(), seen_[1]))
      effects.push_back("dialog " + caption);
    for (const auto& page : since(platform_.help->shown, seen_[2]))
      effects.push_back("help " + page);
    if (size_t writes = since(platform_.settings->Writes(), seen_[3]).size()) {
      effects.push_back("writes " + std::to_string(writes));
    }
    EXPECT_EQ(effects, effects_);
    effects_.clear();
    Plan().ClearCalls();
    called_ = true;
  }

  bool called_ = true;
  std::string failing_;
  std::string call_where_;
  std::vector<std::string> effects_;  // as stated, in the order EndCall lists them
  size_t seen_[4] = {};               // message boxes, dialogs, help pages, writes
};

TEST_P(ConversationTest, GoesAsWritten) {
  if (std::ranges::none_of(GetParam().steps, [](const Step& s) { return s.keyword == "disabled"; }))
    Connect();
  for (const Step& step : GetParam().steps) {
    SCOPED_TRACE(step.where);
    Do(step);
  }
  EndCall();
}

INSTANTIATE_TEST_SUITE_P(Cases, ConversationTest, testing::ValuesIn(ReadCases()),
                         [](const auto& info) { return info.param.name; });

// ---- Beyond the conversations: what the host sees of the add-in itself ----

TEST_F(AddinTest, CompartmentsStartEmptyAndAreAProperty) {
  EXPECT_EQ(addin_.Compartments, "");
  ASSERT_TRUE(automation::PutProperty(addin_, "Compartments", Variant("parts")).ok);
  EXPECT_EQ(automation::GetProperty(addin_, "Compartments").value.String(), "parts");
}

TEST_F(AddinTest, AboutKeepsTheRepositoryOnlyWhileShown) {
  Connect();
  platform_.ui->ExpectDialog([this](platform::Dialog& dialog) {
    auto& about = dynamic_cast<ui::AboutDialog&>(dialog);
    EXPECT_EQ(about.Repository(), host_);
    EXPECT_EQ(about.Get("lblVersion").caption, "Version 1.0");
    dialog.Click("cmdOK");
    EXPECT_EQ(about.Repository(), nullptr);
  });
  const long uses_before = host_.use_count();
  addin_.Orba_MenuClick(host_, "", "-&SysML Technology", "&About");
  EXPECT_EQ(host_.use_count(), uses_before);
  EXPECT_THAT(Plan().Calls(), testing::IsEmpty());
}

// Both texts arrive by reference and come back as text, the first even when
// the host passed a number; the second holds the document, or stays untouched
// while the add-in is disabled.
TEST_F(AddinTest, AllocationSearchDeliversTheDocumentInItsSecondTextWhateverTheFirst) {
  std::vector<Variant> arguments = {Variant(host_), int16_t{5}, "untouched"};
  ASSERT_TRUE(automation::Call(addin_, "AllocationSearch", arguments).ok);
  EXPECT_EQ(arguments[2], Variant("untouched"));
  Connect();
  const automation::CallResult result = automation::Call(addin_, "AllocationSearch", arguments);
  EXPECT_EQ(result.value, Variant(std::string()));
  EXPECT_EQ(arguments[1], Variant("5"));
  EXPECT_EQ(arguments[2], Variant(search::AllocationSearchDocument(*model_.Repository())));
}

}  // namespace
}  // namespace addin
