// The store's cases that differ only in data: each file of cases/ holds the
// inputs of one operation and what it answers (format at the top of
// import_errors.txt), run here on the sample model or, for imports, on an
// empty one.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "orba/store/json_model.h"
#include "orba/store/model_session.h"
#include "orba/store/pg_database.h"
#include "orba/store/xml_text.h"
#include "store_fixtures.h"
#include "support/case_lines.h"

namespace orba::store::testing {
namespace {

using Case = testing_support::CaseLine;

// `text` with \t, \n, \r, \0, \\ and \xHH read as the bytes they stand for.
std::string Unescaped(const std::string& text) {
  static const std::string_view kFrom = "tnr0\\", kTo("\t\n\r\0\\", 5);
  std::string bytes;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '\\' || at + 1 == text.size()) {
      bytes += text[at];
    } else if (text[++at] == 'x') {
      bytes += static_cast<char>(std::stoi(text.substr(at + 1, 2), nullptr, 16));
      at += 2;
    } else {
      bytes += kTo.at(kFrom.find(text[at]));  // an unknown escape throws
    }
  }
  return bytes;
}

std::vector<Case> Cases() {
  std::vector<Case> cases = testing_support::ReadCaseLines(
      TESSARY_SOURCE_ROOT "/tests/orba/store/cases",
      {"import_errors", "export_errors", "sql_queries", "int_values", "model_items",
       "xml_documents", "xml_names", "xml_loads", "masked_uris", "numbered_parameters"});
  for (Case& c : cases) {
    if (c.operation.starts_with("xml_") || c.operation == "numbered_parameters") {
      c.input = Unescaped(c.input);
      c.answer = Unescaped(c.answer);
    }
  }
  return cases;
}

// What `c`'s operation answers on `repository`; an error is answered by its message.
std::string Answer(const Case& c, ModelRepository& repository) {
  try {
    if (c.operation == "import_errors") {
      ImportJsonModel(repository, c.input);
      return "imported";
    }
    if (c.operation == "export_errors") {
      repository.Session().Db().Execute(c.input);
      return ExportJsonModel(repository);
    }
    if (c.operation == "sql_queries") return repository.ExecuteSqlQuery(c.input);
    if (c.operation == "xml_documents") return WithXmlCharactersOnly(c.input);
    if (c.operation == "xml_names") return ToXmlName(c.input);
    if (c.operation == "masked_uris") return MaskedUri(c.input);
    if (c.operation == "numbered_parameters") return NumberedParameters(c.input);
    if (c.operation == "xml_loads") {
      pugi::xml_document document;
      if (!LoadXml(document, c.input)) return "refused";
      const pugi::xml_node root = document.document_element();
      return std::string(root.name()) + " " + root.first_attribute().name() + "=" +
             root.first_attribute().value();
    }
    if (c.operation == "model_items") {
      const size_t space = c.input.find(' ');
      if (space != std::string::npos) repository.Session().Db().Execute(c.input.substr(space + 1));
      return repository.GetModelItemXml(c.input.substr(0, space));
    }
    Statement statement = repository.Session().Db().Prepare(c.input);
    EXPECT_TRUE(statement.Step());
    return std::to_string(statement.Int(0));
  } catch (const host::Error& error) {
    return error.what();
  }
}

// A case of an operation on the model, and the engine it runs on.
struct EngineCase {
  Case c;
  Engine engine;
};

// Cases whose answer is the same on every engine run on both. The others
// damage or read a model file with SQLite's own SQL (export_errors,
// int_values, and queries named "Sqlite..."), or do not touch a model.
bool RunsOnEveryEngine(const Case& c) {
  return (c.operation == "import_errors" || c.operation == "sql_queries" ||
          c.operation == "model_items") &&
         !c.name.starts_with("Sqlite");
}

std::vector<EngineCase> EngineCases() {
  std::vector<EngineCase> cases;
  for (const Case& c : Cases()) {
    cases.push_back({c, Engine::kSqlite});
    if (RunsOnEveryEngine(c)) cases.push_back({c, Engine::kPostgres});
  }
  return cases;
}

void PrintTo(const EngineCase& engine_case, std::ostream* out) {
  *out << engine_case.c.operation << "/" << engine_case.c.name << " on ";
  PrintTo(engine_case.engine, out);
}

class StoreCaseTest : public ::testing::TestWithParam<EngineCase> {};

TEST_P(StoreCaseTest, AnswersAsTheCaseSays) {
  const Case& c = GetParam().c;
  auto repository = ImportedModel(c.operation == "import_errors" ? "{}" : kSampleModel, nullptr,
                                  GetParam().engine);
  const auto counts = [&] {
    return std::vector{repository->PackageIds().size(), repository->ElementIds().size(),
                       repository->ConnectorIds().size()};
  };
  const std::vector<size_t> before = counts();
  const std::string answer = Answer(c, *repository);
  if (c.answer.ends_with(" ...")) {
    EXPECT_THAT(answer, ::testing::StartsWith(c.answer.substr(0, c.answer.size() - 4)));
  } else {
    EXPECT_EQ(answer, c.answer);
  }
  if (c.operation == "import_errors" || c.operation == "sql_queries") {
    EXPECT_EQ(counts(), before);  // a refused document or query adds or removes nothing
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, StoreCaseTest, ::testing::ValuesIn(EngineCases()),
                         [](const auto& info) {
                           return info.param.c.operation + "_" + info.param.c.name +
                                  (info.param.engine == Engine::kSqlite ? "" : "_Postgres");
                         });

}  // namespace
}  // namespace orba::store::testing
