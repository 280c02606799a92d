#include "orba/store/postgres_dialect.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace orba::store {
namespace {

enum class Kind { kSpace, kComment, kWord, kQuoted, kString, kNumber, kParameter, kOperator };

struct Token {
  Kind kind;
  std::string text;   // as written, until a rewrite replaces it
  std::string after;  // what a rewrite adds after it
  size_t begin = 0;   // where it is in the query
  size_t end = 0;
  int depth = 0;  // how many parentheses enclose it ("(" and ")" count as outside)
};

// The tokens that are neither space nor comment, to be read and rewritten in place.
using Code = std::vector<Token*>;

// clang-format off
// SQLite's keywords (sqlite3_keyword_name), upper case and sorted.
constexpr std::string_view kSqliteKeywords[] = {
  "ABORT", "ACTION", "ADD", "AFTER", "ALL", "ALTER", "ALWAYS", "ANALYZE", "AND", "AS", "ASC",
  "ATTACH", "AUTOINCREMENT", "BEFORE", "BEGIN", "BETWEEN", "BY", "CASCADE", "CASE", "CAST",
  "CHECK", "COLLATE", "COLUMN", "COMMIT", "CONFLICT", "CONSTRAINT", "CREATE", "CROSS", "CURRENT",
  "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP", "DATABASE", "DEFAULT", "DEFERRABLE",
  "DEFERRED", "DELETE", "DESC", "DETACH", "DISTINCT", "DO", "DROP", "EACH", "ELSE", "END",
  "ESCAPE", "EXCEPT", "EXCLUDE", "EXCLUSIVE", "EXISTS", "EXPLAIN", "FAIL", "FILTER", "FIRST",
  "FOLLOWING", "FOR", "FOREIGN", "FROM", "FULL", "GENERATED", "GLOB", "GROUP", "GROUPS", "HAVING",
  "IF", "IGNORE", "IMMEDIATE", "IN", "INDEX", "INDEXED", "INITIALLY", "INNER", "INSERT",
  "INSTEAD", "INTERSECT", "INTO", "IS", "ISNULL", "JOIN", "KEY", "LAST", "LEFT", "LIKE", "LIMIT",
  "MATCH", "MATERIALIZED", "NATURAL", "NO", "NOT", "NOTHING", "NOTNULL", "NULL", "NULLS", "OF",
  "OFFSET", "ON", "OR", "ORDER", "OTHERS", "OUTER", "OVER", "PARTITION", "PLAN", "PRAGMA",
  "PRECEDING", "PRIMARY", "QUERY", "RAISE", "RANGE", "RECURSIVE", "REFERENCES", "REGEXP",
  "REINDEX", "RELEASE", "RENAME", "REPLACE", "RESTRICT", "RETURNING", "RIGHT", "ROLLBACK", "ROW",
  "ROWS", "SAVEPOINT", "SELECT", "SET", "TABLE", "TEMP", "TEMPORARY", "THEN", "TIES", "TO",
  "TRANSACTION", "TRIGGER", "UNBOUNDED", "UNION", "UNIQUE", "UPDATE", "USING", "VACUUM", "VALUES",
  "VIEW", "VIRTUAL", "WHEN", "WHERE", "WINDOW", "WITH", "WITHOUT"};
// PostgreSQL's keywords that cannot be a bare column name everywhere (pg_get_keywords(),
// category other than unreserved) and that SQLite does not reserve, upper case and sorted.
constexpr std::string_view kPostgresOnlyKeywords[] = {
  "ANALYSE", "ANY", "ARRAY", "ASYMMETRIC", "AUTHORIZATION", "BIGINT", "BINARY", "BIT", "BOOLEAN",
  "BOTH", "CHAR", "CHARACTER", "COALESCE", "COLLATION", "CONCURRENTLY", "CURRENT_CATALOG",
  "CURRENT_ROLE", "CURRENT_SCHEMA", "CURRENT_USER", "DEC", "DECIMAL", "EXTRACT", "FALSE", "FETCH",
  "FLOAT", "FREEZE", "GRANT", "GREATEST", "GROUPING", "ILIKE", "INOUT", "INT", "INTEGER",
  "INTERVAL", "LATERAL", "LEADING", "LEAST", "LOCALTIME", "LOCALTIMESTAMP", "NATIONAL", "NCHAR",
  "NONE", "NORMALIZE", "NULLIF", "NUMERIC", "ONLY", "OUT", "OVERLAPS", "OVERLAY", "PLACING",
  "POSITION", "PRECISION", "REAL", "SESSION_USER", "SETOF", "SIMILAR", "SMALLINT", "SOME",
  "SUBSTRING", "SYMMETRIC", "TABLESAMPLE", "TIME", "TIMESTAMP", "TRAILING", "TREAT", "TRIM",
  "TRUE", "USER", "VARCHAR", "VARIADIC", "VERBOSE", "XMLATTRIBUTES", "XMLCONCAT", "XMLELEMENT",
  "XMLEXISTS", "XMLFOREST", "XMLNAMESPACES", "XMLPARSE", "XMLPI", "XMLROOT", "XMLSERIALIZE",
  "XMLTABLE"};
// clang-format on

// Operators of more than one character, longest first.
constexpr std::string_view kLongOperators[] = {
    "->>", "->", "||", "==", "!=", "<>", "<=", ">=", "<<", ">>"};
// Binary operators that bind tighter than LIKE in SQLite and in PostgreSQL.
constexpr std::string_view kTighterThanLike[] = {"||", "->>", "->", "*", "/",  "%",
                                                 "+",  "-",   "&",  "|", "<<", ">>"};
// Keywords that end a select list.
constexpr std::string_view kAfterSelectList[] = {"FROM",  "WHERE", "GROUP",     "HAVING", "WINDOW",
                                                 "ORDER", "LIMIT", "INTERSECT", "UNION",  "EXCEPT"};
// Keywords that are whole values, and so may be followed by an alias.
constexpr std::string_view kValueKeywords[] = {"NULL", "END", "CURRENT_DATE", "CURRENT_TIME",
                                               "CURRENT_TIMESTAMP"};

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordStart(char c) {
  return IsAsciiLetter(c) || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}
bool IsWordPart(char c) { return IsWordStart(c) || IsDigit(c) || c == '$'; }
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::string AsciiCase(std::string_view text, bool upper) {
  std::string result(text);
  for (char& c : result) {
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return result;
}

template <size_t N>
bool Contains(const std::string_view (&list)[N], std::string_view text) {
  return std::find(std::begin(list), std::end(list), text) != std::end(list);
}

bool IsSqliteKeyword(std::string_view word) {
  return std::ranges::binary_search(kSqliteKeywords, AsciiCase(word, true));
}

bool IsKeywordOfEither(std::string_view word) {
  return IsSqliteKeyword(word) ||
         std::ranges::binary_search(kPostgresOnlyKeywords, AsciiCase(word, true));
}

// --- Tokens -------------------------------------------------------------------------------------

[[noreturn]] void ThrowUnterminated(std::string_view what, size_t begin) {
  throw std::invalid_argument("unterminated " + std::string(what) + " at position " +
                              std::to_string(begin + 1));
}

// The end of the quoted token at `begin` that `close` ends; a doubled `close` stands for
// itself except in [brackets].
size_t EndOfQuoted(std::string_view sql, size_t begin, char close, std::string_view what) {
  for (size_t at = begin + 1; at < sql.size(); ++at) {
    if (sql[at] != close) continue;
    if (close == ']' || at + 1 == sql.size() || sql[at + 1] != close) return at + 1;
    ++at;
  }
  ThrowUnterminated(what, begin);
}

size_t EndWhile(std::string_view sql, size_t at, bool (*part)(char)) {
  while (at < sql.size() && part(sql[at])) ++at;
  return at;
}

size_t EndOfNumber(std::string_view sql, size_t at) {
  const bool hex = sql.substr(at, 2) == "0x" || sql.substr(at, 2) == "0X";
  for (; at < sql.size(); ++at) {
    const char c = sql[at];
    const bool exponent_sign = !hex && (c == '+' || c == '-') && (sql[at - 1] | 0x20) == 'e';
    if (!IsWordPart(c) && c != '.' && !exponent_sign) break;
  }
  return at;
}

size_t EndOfOperator(std::string_view sql, size_t at) {
  for (std::string_view op : kLongOperators) {
    if (sql.substr(at, op.size()) == op) return at + op.size();
  }
  return at + 1;
}

// The kind of the token at `at` and where it ends.
std::pair<Kind, size_t> NextToken(std::string_view sql, size_t at) {
  const char c = sql[at];
  const char next = at + 1 < sql.size() ? sql[at + 1] : '\0';
  if (IsSpace(c)) return {Kind::kSpace, EndWhile(sql, at, IsSpace)};
  if (c == '-' && next == '-') return {Kind::kComment, std::min(sql.find('\n', at), sql.size())};
  if (c == '/' && next == '*') {
    const size_t close = sql.find("*/", at + 2);
    if (close == std::string_view::npos) ThrowUnterminated("comment", at);
    return {Kind::kComment, close + 2};
  }
  if (c == '\'') return {Kind::kString, EndOfQuoted(sql, at, '\'', "string literal")};
  if (c == '"') return {Kind::kQuoted, EndOfQuoted(sql, at, '"', "quoted identifier")};
  if (c == '`') return {Kind::kQuoted, EndOfQuoted(sql, at, '`', "quoted identifier")};
  if (c == '[') return {Kind::kQuoted, EndOfQuoted(sql, at, ']', "bracketed identifier")};
  if (IsDigit(c) || (c == '.' && IsDigit(next))) return {Kind::kNumber, EndOfNumber(sql, at)};
  if (IsWordStart(c)) return {Kind::kWord, EndWhile(sql, at + 1, IsWordPart)};
  if (c == '?') return {Kind::kParameter, EndWhile(sql, at + 1, IsDigit)};
  if ((c == ':' || c == '@' || c == '$') && IsWordPart(next)) {
    return {Kind::kParameter, EndWhile(sql, at + 1, IsWordPart)};
  }
  return {Kind::kOperator, EndOfOperator(sql, at)};
}

std::vector<Token> Tokenize(std::string_view sql) {
  std::vector<Token> tokens;
  int depth = 0;
  for (size_t at = 0; at < sql.size();) {
    const auto [kind, end] = NextToken(sql, at);
    Token token{kind, std::string(sql.substr(at, end - at)), "", at, end, depth};
    if (kind == Kind::kOperator && token.text == ")") token.depth = --depth;
    if (kind == Kind::kOperator && token.text == "(") ++depth;
    tokens.push_back(std::move(token));
    at = end;
  }
  return tokens;
}

Code CodeOf(std::vector<Token>& tokens) {
  Code code;
  for (Token& token : tokens) {
    if (token.kind != Kind::kSpace && token.kind != Kind::kComment) code.push_back(&token);
  }
  return code;
}

bool IsWord(const Token& token, std::string_view upper) {
  return token.kind == Kind::kWord && AsciiCase(token.text, true) == upper;
}

bool IsOperator(const Token& token, std::string_view text) {
  return token.kind == Kind::kOperator && token.text == text;
}

bool IsTopLevelWord(const Code& code, size_t at, std::string_view upper) {
  return at < code.size() && code[at]->depth == 0 && IsWord(*code[at], upper);
}

// The name a quoted identifier or a string literal stands for, or a word as written.
std::string NameOf(const Token& token) {
  if (token.kind != Kind::kQuoted && token.kind != Kind::kString) return token.text;
  const char close = token.text.back();
  std::string name;
  for (size_t at = 1; at + 1 < token.text.size(); ++at) {
    name += token.text[at];
    if (token.text[at] == close && close != ']') ++at;
  }
  return name;
}

bool IsIdentifier(const Token& token) {
  return token.kind == Kind::kQuoted || (token.kind == Kind::kWord && !IsSqliteKeyword(token.text));
}

// Whether `token` can be the last token of a value, so that a name after it is an alias
// and a LIKE after it is the operator.
bool EndsValue(const Token& token) {
  switch (token.kind) {
    case Kind::kWord:
      return !IsSqliteKeyword(token.text) || Contains(kValueKeywords, AsciiCase(token.text, true));
    case Kind::kOperator: return token.text == ")";
    default: return true;  // a quoted name, a literal, a number or a parameter
  }
}

// The index of the ")" that closes the "(" at `open`, or the last token if none does.
size_t Closing(const Code& code, size_t open) {
  for (size_t at = open + 1; at < code.size(); ++at) {
    if (code[at]->depth == code[open]->depth && IsOperator(*code[at], ")")) return at;
  }
  return code.size() - 1;
}

// --- Column names -------------------------------------------------------------------------------

// `t.c`, `s.t.c` or `c`: names joined by dots.
bool IsColumnReference(const Code& item) {
  if (item.size() % 2 == 0) return false;
  for (size_t at = 0; at < item.size(); ++at) {
    if (at % 2 == 0 ? !IsIdentifier(*item[at]) : !IsOperator(*item[at], ".")) return false;
  }
  return true;
}

std::optional<std::string> ColumnName(std::string_view sql, const Code& item,
                                      const DeclaredColumn& declared_column) {
  if (item.empty()) return std::string();
  const Token& last = *item.back();
  const Token* before = item.size() > 1 ? item[item.size() - 2] : nullptr;
  if (IsOperator(last, "*") && (!before || IsOperator(*before, "."))) return std::nullopt;
  const bool names = IsIdentifier(last) || last.kind == Kind::kString;
  if (names && before && (IsWord(*before, "AS") || EndsValue(*before))) return NameOf(last);
  if (IsColumnReference(item))
    return declared_column(AsciiCase(NameOf(last), false)).value_or(NameOf(last));
  return std::string(sql.substr(item.front()->begin, last.end - item.front()->begin));
}

bool EndsSelectList(const Token& token) {
  return IsOperator(token, ";") ||
         (token.kind == Kind::kWord && Contains(kAfterSelectList, AsciiCase(token.text, true)));
}

// column1, column2, ...: the names both engines give the columns of a VALUES query.
std::vector<std::optional<std::string>> ValuesColumnNames(const Code& code) {
  std::vector<std::optional<std::string>> names;
  if (code.size() < 2 || !IsWord(*code[0], "VALUES") || !IsOperator(*code[1], "(")) return names;
  names.push_back("column1");
  for (size_t at = 2; at < Closing(code, 1); ++at) {
    if (code[at]->depth == 1 && IsOperator(*code[at], ","))
      names.push_back("column" + std::to_string(names.size() + 1));
  }
  return names;
}

// The names SQLite gives the columns of the SELECT at `at`.
std::vector<std::optional<std::string>> SelectListNames(std::string_view sql, const Code& code,
                                                        size_t at,
                                                        const DeclaredColumn& declared_column) {
  const int depth = code[at++]->depth;
  if (at < code.size() && (IsWord(*code[at], "DISTINCT") || IsWord(*code[at], "ALL"))) ++at;
  std::vector<std::optional<std::string>> names;
  Code item;
  for (;; ++at) {
    const bool ends =
        at == code.size() || code[at]->depth < depth ||
        (code[at]->depth == depth && (IsOperator(*code[at], ",") || EndsSelectList(*code[at])));
    if (!ends) {
      item.push_back(code[at]);
      continue;
    }
    names.push_back(ColumnName(sql, item, declared_column));
    if (at == code.size() || !IsOperator(*code[at], ",")) return names;
    item.clear();
  }
}

// The names SQLite gives the columns of the leftmost top-level SELECT. A column of a
// subquery or a common table expression is named as that query names it, so a
// reference to a name a nested SELECT gives takes that name's spelling first.
std::vector<std::optional<std::string>> ColumnNames(std::string_view sql, const Code& code,
                                                    const DeclaredColumn& declared_column) {
  std::map<std::string, std::string, std::less<>> nested_names;
  std::optional<size_t> top_level_select;
  for (size_t at = 0; at < code.size(); ++at) {
    if (!IsWord(*code[at], "SELECT")) continue;
    if (code[at]->depth == 0 && !top_level_select) top_level_select = at;
    if (code[at]->depth == 0) continue;
    for (const std::optional<std::string>& name : SelectListNames(sql, code, at, declared_column)) {
      if (name) nested_names.emplace(AsciiCase(*name, false), *name);
    }
  }
  if (!top_level_select) return ValuesColumnNames(code);
  const DeclaredColumn nested_or_declared = [&](std::string_view lower_name) {
    const auto nested = nested_names.find(lower_name);
    return nested == nested_names.end() ? declared_column(lower_name) : nested->second;
  };
  return SelectListNames(sql, code, *top_level_select, nested_or_declared);
}

// --- Rewrites -----------------------------------------------------------------------------------

// A bare identifier when PostgreSQL reads it as the same name as SQLite does, else the
// lower-case name double-quoted: the model's tables are created unquoted, so lower case.
std::string PostgresIdentifier(const std::string& name) {
  const bool plain =
      !name.empty() && (IsAsciiLetter(name[0]) || name[0] == '_') &&
      std::ranges::all_of(name, [](char c) { return IsAsciiLetter(c) || IsDigit(c) || c == '_'; });
  if (plain && !IsKeywordOfEither(name)) return name;
  std::string quoted = "\"";
  for (char c : AsciiCase(name, false))
    quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

// The index of the last token of the operand of LIKE that starts at `at`: values joined
// by operators that bind tighter than LIKE, each a name, a literal, a parameter, a
// parenthesised expression or a call, with any COLLATE. Nullopt when no such value
// starts there (a CASE, for one).
std::optional<size_t> EndOfOperand(const Code& code, size_t at) {
  std::optional<size_t> last;
  bool want_value = true;
  for (; at < code.size(); ++at) {
    const Token& token = *code[at];
    const bool call = at + 1 < code.size() && IsOperator(*code[at + 1], "(");
    if (want_value && (IsOperator(token, "-") || IsOperator(token, "+") || IsOperator(token, "~")))
      continue;
    if (want_value && IsOperator(token, "(")) {
      at = Closing(code, at);
    } else if (want_value && (IsIdentifier(token) || IsWord(token, "CAST")) && call) {
      at = Closing(code, at + 1);
    } else if (want_value && EndsValue(token) && !IsOperator(token, ")")) {
      while (at + 2 < code.size() && IsOperator(*code[at + 1], ".") && IsIdentifier(*code[at + 2]))
        at += 2;
    } else if (!want_value && IsWord(token, "COLLATE") && at + 1 < code.size()) {
      ++at;
    } else if (!want_value && token.kind == Kind::kOperator &&
               Contains(kTighterThanLike, token.text)) {
      want_value = true;
      continue;
    } else {
      break;
    }
    last = at;
    want_value = false;
  }
  return last;
}

// LIKE at `at` becomes ILIKE, with ESCAPE '' after its pattern unless one follows.
void RewriteLike(Code& code, size_t at) {
  code[at]->text.insert(0, code[at]->text[0] == 'l' ? "i" : "I");
  const std::optional<size_t> end = EndOfOperand(code, at + 1);
  if (!end) return;
  if (*end + 1 < code.size() && IsWord(*code[*end + 1], "ESCAPE")) return;
  code[*end]->after += " ESCAPE ''";
}

bool IsComparison(const Token& token) {
  return IsOperator(token, "=") || IsOperator(token, "==") || IsOperator(token, "<>") ||
         IsOperator(token, "!=");
}

// A string literal compared with something: SQLite types it as text, where
// PostgreSQL would take it for the other side's type (and refuse 'x' beside
// an integer); typed as text, the model's loose comparisons apply.
bool IsComparedString(const Code& code, size_t at) {
  return code[at]->kind == Kind::kString && ((at > 0 && IsComparison(*code[at - 1])) ||
                                             (at + 1 < code.size() && IsComparison(*code[at + 1])));
}

// From the last token back, so that each decision reads the token before as written.
void RewriteTokens(Code& code) {
  for (size_t at = code.size(); at-- > 0;) {
    Token& token = *code[at];
    const bool call = at + 1 < code.size() && IsOperator(*code[at + 1], "(");
    const bool alias = at > 0 && (IsWord(*code[at - 1], "AS") || EndsValue(*code[at - 1]));
    // SQLite takes a string literal after AS or a value for the alias it spells; PostgreSQL
    // does not.
    if (token.kind == Kind::kQuoted || (token.kind == Kind::kString && alias)) {
      token.text = PostgresIdentifier(NameOf(token));
    } else if (IsComparedString(code, at)) {
      token.text += "::text";
    } else if (IsOperator(token, "==")) {
      token.text = "=";
    } else if (IsWord(token, "IFNULL") && call) {
      token.text = "COALESCE";
    } else if (IsWord(token, "LIKE") && at > 0 &&
               (EndsValue(*code[at - 1]) || IsWord(*code[at - 1], "NOT"))) {
      RewriteLike(code, at);
    }
  }
}

// One item of the top-level ORDER BY, from `begin` to `end`: NULLs as SQLite sorts them.
void AddNullsOrder(const Code& code, size_t begin, size_t end) {
  if (begin == end) return;
  Token& last = *code[end - 1];
  if (end - begin > 1 && IsWord(*code[end - 2], "NULLS")) return;
  last.after += IsWord(last, "DESC") ? " NULLS LAST" : " NULLS FIRST";
}

void AddNullsOrders(const Code& code) {
  size_t at = 0;
  while (at + 1 < code.size() &&
         !(IsTopLevelWord(code, at, "ORDER") && IsWord(*code[at + 1], "BY")))
    ++at;
  size_t item = at += 2;
  for (; at <= code.size(); ++at) {
    const bool ends =
        at == code.size() || IsTopLevelWord(code, at, "LIMIT") || IsOperator(*code[at], ";");
    if (!ends && !(code[at]->depth == 0 && IsOperator(*code[at], ","))) continue;
    AddNullsOrder(code, item, at);
    if (ends) return;
    item = at + 1;
  }
}

// A compound whose last operator deduplicates rows and that has no ORDER BY.
bool NeedsCompoundOrder(const Code& code) {
  std::optional<size_t> last_operator;
  for (size_t at = 0; at < code.size(); ++at) {
    if (IsTopLevelWord(code, at, "ORDER")) return false;
    if (IsTopLevelWord(code, at, "UNION") || IsTopLevelWord(code, at, "INTERSECT") ||
        IsTopLevelWord(code, at, "EXCEPT")) {
      last_operator = at;
    }
  }
  if (!last_operator) return false;
  const size_t next = *last_operator + 1;
  return next == code.size() || !IsWord(*code[next], "ALL");
}

}  // namespace

PostgresQuery AdaptForPostgres(std::string_view sqlite_sql, const DeclaredColumn& declared_column) {
  std::vector<Token> tokens = Tokenize(sqlite_sql);
  Code code = CodeOf(tokens);
  if (!code.empty() && code.back()->depth == 0 && IsOperator(*code.back(), ";")) {
    code.back()->text.clear();
    code.pop_back();
  }
  PostgresQuery query;
  query.column_names = ColumnNames(sqlite_sql, code, declared_column);
  query.needs_sqlite_compound_order = NeedsCompoundOrder(code);
  RewriteTokens(code);
  AddNullsOrders(code);
  for (const Token& token : tokens) query.sql += token.text + token.after;
  return query;
}

// SQLite deduplicates the rows of such a compound in a temporary index on all its columns
// and reads them back in the index's order. Seen with sqlite3 3.40 on data mixing case,
// NULLs, numbers and text: NULL first, then numbers by value, then text by bytes ('B' <
// '_' < 'a'), column by column from the left, whichever parts the rows came from.
std::string OrderedAsSqliteCompound(const std::string& sql, int column_count,
                                    const std::vector<bool>& text_columns) {
  std::string names, order;
  for (int column = 0; column < column_count; ++column) {
    const std::string name = "c" + std::to_string(column + 1);
    const bool text = static_cast<size_t>(column) < text_columns.size() && text_columns[column];
    names += (column ? ", " : "") + name;
    order += (column ? ", " : "") + name + (text ? " COLLATE \"C\"" : "") + " NULLS FIRST";
  }
  // The newline ends a trailing "--" comment of `sql`.
  return "SELECT * FROM (" + sql + "\n) AS orba_compound(" + names + ") ORDER BY " + order;
}

}  // namespace orba::store
