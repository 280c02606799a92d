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
//   answer MEMBER TEXT    the repository's MEMBER answers TEXT from now on
//   clicks CONTROL ...    the next dialog shown gets these clicks
//   fails MEMBER          the next call's first call of the repository's MEMBER fails
//   call OPERATION ARG... [=> VALUE]
//                         the host calls the operation by name; it answers
//                         VALUE, or fails with "error: TEXT" in its error.
//                         An ARG is "text", a word, a whole number, host (the
//                         repository), nothing (a null object), guid:KEY (the
//                         GUID of the model's element KEY) or new:KEY (the
//                         new-element event of it); a VALUE is
//                         an ARG, True, False, or [ ARG ... ] for an array
//   each-fails CALL...    plays the call on fresh add-ins given the stored,
//                         answer and select lines before it: once; then with
//                         each host call it made failing in turn, which ends
//                         it: it fails with that failure (or, given => VALUE,
//                         traps it and answers VALUE) and calls nothing more
//   calls CALL; CALL...   the host calls it made, the repository's without
//                         "Repository.", a document (several lines) as <document>
//   warns TEXT            it showed this warning (stops TEXT: this stop box),
//   dialog CAPTION        then this dialog,
//   help PAGE             then opened this page of the help,
//   writes N              then stored N settings (in this order)
//   compartments TEXT     the add-in's Compartments afterwards
//
// What the lines after a call do not state did not happen: it answered
// nothing (an empty value), made no host call, showed no box, dialog or help
// page and stored no setting.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <iomanip>
#include <set>
#include <sstream>
#include <utility>

#include "addin/addin_fixture.h"
#include "orba/store/host_services_objects.h"

namespace addin {
namespace {

using automation::Variant;

struct Step {
  std::string where;  // file:line
  std::string keyword;
  std::string rest;
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
      const size_t space = std::min(line.find(' '), line.size());
      Step step{file + ":" + std::to_string(number), line.substr(0, space),
                space < line.size() ? line.substr(space + 1) : ""};
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
      } else if (word.starts_with("new:")) {
        open.back().push_back(host_->Wrap(std::make_shared<orba::store::EventArgumentList>(
            std::vector<Variant>{model_.ElementId(word.substr(4))})));
      } else if (word == "True" || word == "False") {
        open.back().push_back(word == "True");
      } else if (std::isdigit(word.back()) && word.find_first_not_of("-0123456789") == word.npos) {
        open.back().push_back(int32_t{std::stoi(word)});
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
      Plan().Answer("Repository." + rest.substr(0, space),
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
      Check(result, Answer(rest));
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
    const std::vector<Variant> words = Values(rest.substr(0, rest.find(" => ")));
    std::vector<Variant> arguments(words.begin() + 1, words.end());
    return automation::Call(addin_, words.front().String(), arguments);
  }
  static std::string Answer(const std::string& rest) {
    const size_t arrow = rest.find(" => ");
    return arrow == std::string::npos ? "" : rest.substr(arrow + 4);
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
    const auto run = [&](size_t failing, auto check) {
      Fresh fresh;
      for (const Step& before : GetParam().steps) {
        if (&before == &step) break;
        if (std::set<std::string>{"stored", "answer", "select"}.contains(before.keyword)) {
          fresh.Do(before);
        }
      }
      fresh.Connect();
      fresh.Plan().FailAtCall(static_cast<int>(failing));
      check(fresh, fresh.Call(step.rest));
    };
    size_t calls = 0;
    run(0, [&](Fresh& fresh, const automation::CallResult& result) {
      ASSERT_TRUE(result.ok) << result.error;
      calls = fresh.Plan().Calls().size();
    });
    EXPECT_GT(calls, 0u);
    for (size_t n = 1; n <= calls; ++n) {
      run(n, [&](Fresh& fresh, const automation::CallResult& result) {
        const std::string failed = fresh.Plan().Calls().at(n - 1);
        SCOPED_TRACE("with call " + std::to_string(n) + " failing, " + failed);
        const std::string answer = Answer(step.rest);
        fresh.Check(result, answer.empty() ? "error: injected failure of " + failed : answer);
        EXPECT_EQ(fresh.Plan().Calls().size(), n) << "the operation went on";
      });
    }
  }

  // The items of `all` from the `seen`-th on, which then count as seen.
  template <class T>
  static std::vector<T> Since(const std::vector<T>& all, size_t& seen) {
    std::vector<T> news(all.begin() + static_cast<std::ptrdiff_t>(seen), all.end());
    seen = all.size();
    return news;
  }

  // The host calls so far, the repository's without "Repository." and every
  // document (an argument of several lines) shown as "<document>".
  std::vector<std::string> Calls() {
    std::vector<std::string> calls;
    for (size_t i = 0; i < Plan().Calls().size(); ++i) {
      std::string call = Plan().Calls()[i];
      if (call.starts_with("Repository.")) call.erase(0, std::string_view("Repository.").size());
      call += "(";
      for (const std::string& argument : Plan().Arguments()[i]) {
        call += (call.ends_with("(") ? "" : ", ") +
                (argument.find('\n') == std::string::npos ? argument : "<document>");
      }
      calls.push_back(call + ")");
    }
    return calls;
  }

  // Checks what the last call's lines did not state, then forgets what it did.
  void EndCall() {
    SCOPED_TRACE("after the call of " + call_where_);
    if (!called_) {
      EXPECT_THAT(Calls(), testing::IsEmpty());
    }
    std::vector<std::string> effects;
    for (const auto& box : Since(platform_.ui->MessageBoxes(), seen_[0])) {
      EXPECT_EQ(box.title, "Quindle Technology for SysML") << box.text;
      const bool stop = box.icon == platform::MessageIcon::kCriticalStop;
      EXPECT_TRUE(stop || box.icon == platform::MessageIcon::kExclamation) << box.text;
      effects.push_back((stop ? "stops " : "warns ") + box.text);
    }
    for (const auto& caption : Since(platform_.ui->DialogsShown(), seen_[1]))
      effects.push_back("dialog " + caption);
    for (const auto& page : Since(platform_.help->shown, seen_[2]))
      effects.push_back("help " + page);
    if (size_t writes = Since(platform_.settings->Writes(), seen_[3]).size()) {
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

}  // namespace
}  // namespace addin
