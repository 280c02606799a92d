#include "rules/rule_cases.h"

#include <cctype>
#include <fstream>
#include <map>
#include <stdexcept>

namespace rules_test {
namespace {

struct Block {
  std::string kind, title;  // "model" or "case"
  int line = 0;
  std::vector<std::pair<int, std::string>> lines;  // numbered, as written
  std::vector<std::string> columns;                // of a where table
  std::vector<std::vector<std::string>> rows;
};

[[noreturn]] void Fail(const std::string& file, int line, const std::string& problem) {
  throw std::runtime_error(file + ":" + std::to_string(line) + ": " + problem);
}

// Splits on spaces, except inside "..." (the quotes go) and inside JSON
// brackets (kept whole, quotes and all).
std::vector<std::string> Tokens(const std::string& text, const std::string& file, int line) {
  std::vector<std::string> tokens;
  std::string token;
  bool in_token = false, quoted = false;
  int depth = 0;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      in_token = true;
      if (depth > 0) token += c;
      continue;
    }
    if (!quoted && (c == '[' || c == '{')) ++depth;
    if (!quoted && (c == ']' || c == '}') && depth > 0) --depth;
    if (!quoted && depth == 0 && std::isspace(static_cast<unsigned char>(c))) {
      if (in_token) tokens.push_back(token);
      token.clear();
      in_token = false;
      continue;
    }
    token += c;
    in_token = true;
  }
  if (quoted || depth > 0) Fail(file, line, "unbalanced quotes or brackets");
  if (in_token) tokens.push_back(token);
  return tokens;
}

std::string Substituted(std::string text, const std::vector<std::string>& columns,
                        const std::vector<std::string>& values) {
  for (size_t i = 0; i < columns.size(); ++i) {
    const std::string name = "{" + columns[i] + "}";
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at)) {
      text.replace(at, name.size(), values[i]);
      at += values[i].size();
    }
  }
  return text;
}

std::vector<Block> ReadBlocks(const std::filesystem::path& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  const std::string file = path.filename().string();
  std::vector<Block> blocks;
  std::string text;
  for (int number = 1; std::getline(in, text); ++number) {
    if (text.find_first_not_of(" \t") == std::string::npos || text[0] == '#') continue;
    const bool indented = std::isspace(static_cast<unsigned char>(text[0]));
    const std::string word = text.substr(0, text.find(' '));
    if (indented && blocks.empty()) Fail(file, number, "an indented line outside a case");
    if (indented && blocks.back().columns.empty()) {
      blocks.back().lines.emplace_back(number, text);
    } else if (indented) {
      auto row = Tokens(text, file, number);
      if (row.size() != blocks.back().columns.size())
        Fail(file, number, "the row has the wrong size");
      // Values with spaces keep their quotes, to stay one token where they
      // are put; JSON stays one token by its brackets.
      for (auto& value : row) {
        const bool whole = value.find(' ') == std::string::npos || value.starts_with('[');
        value = value == "-" ? "" : whole ? value : '"' + value + '"';
      }
      blocks.back().rows.push_back(row);
    } else if (word == "where" && !blocks.empty() && blocks.back().kind == "case") {
      blocks.back().columns = Tokens(text.substr(5), file, number);
    } else if (word == "model" || word == "case") {
      blocks.push_back(Block{word, text.substr(word.size() + 1), number, {}, {}, {}});
    } else {
      Fail(file, number, "expected model, case or where, not \"" + word + "\"");
    }
  }
  return blocks;
}

}  // namespace

std::vector<RuleCase> ReadRuleCases(const std::filesystem::path& path) {
  const std::string file = path.filename().string();
  std::map<std::string, const Block*> models;
  std::vector<RuleCase> cases;
  const std::vector<Block> blocks = ReadBlocks(path);
  for (const Block& block : blocks) {
    if (block.kind == "model") {
      models[block.title] = &block;
      continue;
    }
    // A case without a table runs once, with nothing to replace.
    const auto rows = block.rows.empty() ? std::vector<std::vector<std::string>>{{}} : block.rows;
    for (const auto& row : rows) {
      const int row_number = block.rows.empty() ? 0 : static_cast<int>(&row - &rows[0]) + 1;
      RuleCase rule_case{file, block.line, row_number, block.title, {}};
      if (!block.rows.empty()) {
        rule_case.title += " [";
        for (const auto& value : row) rule_case.title += (&value == &row[0] ? "" : " ") + value;
        rule_case.title += "]";
      }
      std::vector<std::pair<int, std::string>> lines;
      for (const auto& [number, text] : block.lines) {
        auto tokens = Tokens(text, file, number);
        if (tokens[0] != "use") {
          lines.emplace_back(number, text);
        } else if (tokens.size() != 2 || !models.contains(tokens[1])) {
          Fail(file, number, "no model named \"" + (tokens.size() > 1 ? tokens[1] : "") + "\"");
        } else {
          const auto& used = models[tokens[1]]->lines;
          lines.insert(lines.end(), used.begin(), used.end());
        }
      }
      for (const auto& [number, text] : lines) {
        rule_case.statements.push_back(Tokens(Substituted(text, block.columns, row), file, number));
      }
      cases.push_back(std::move(rule_case));
    }
  }
  return cases;
}

void PrintTo(const RuleCase& rule_case, std::ostream* out) {
  *out << rule_case.file << ":" << rule_case.line << " " << rule_case.title;
}

}  // namespace rules_test
