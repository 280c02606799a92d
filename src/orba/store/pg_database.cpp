#include "orba/store/pg_database.h"

#include <cctype>
#include <optional>
#include <regex>
#include <vector>

#include "base/text.h"

namespace orba::store {
namespace {

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

// Notices (such as "schema already exists, skipping") are not the user's business.
void IgnoreNotice(void*, const char*) {}

// A quoted text or comment starting at `at`: its end (one past it), or `at` when none starts there.
size_t SkipQuotedOrComment(std::string_view sql, size_t at) {
  const char first = sql[at];
  if (first == '\'' || first == '"') {
    const size_t close = sql.find(first, at + 1);
    return close == std::string_view::npos ? sql.size() : close + 1;
  }
  if (sql.substr(at, 2) == "--") {
    const size_t end = sql.find('\n', at);
    return end == std::string_view::npos ? sql.size() : end + 1;
  }
  if (sql.substr(at, 2) == "/*") {
    const size_t end = sql.find("*/", at + 2);
    return end == std::string_view::npos ? sql.size() : end + 2;
  }
  return at;
}

// A prepared statement: its parameters are kept until the first step runs
// it; its rows are then read from the result.
class PgStatement : public StatementBackend {
 public:
  PgStatement(PgDatabase& db, const std::string& name) : db_(db), name_(name) {}

  void BindInteger(int index, int64_t value) override { Set(index, std::to_string(value)); }
  // PostgreSQL's text holds no NUL byte; they are dropped (the add-in pads
  // its documents with them).
  void BindText(int index, const std::string& value) override {
    std::string text = value;
    std::erase(text, '\0');
    Set(index, std::move(text));
  }
  void BindNull(int index) override { Set(index, std::nullopt); }
  bool Step() override {
    if (!rows_) Run();
    return rows_->Step();
  }
  // As on SQLite, the columns may be asked for before the first step: the
  // statement then runs.
  int ColumnCount() const override { return Rows().ColumnCount(); }
  std::string ColumnName(int column) const override { return Rows().ColumnName(column); }
  bool IsNull(int column) const override { return rows_->IsNull(column); }
  std::string Text(int column) const override { return rows_->Text(column); }
  std::optional<int64_t> ExactInteger(int column) const override {
    return rows_->ExactInteger(column);
  }
  std::string ValueOrigin(int column) const override { return rows_->ValueOrigin(column); }
  std::string ShownValue(int column) const override { return rows_->ShownValue(column); }

 private:
  void Set(int index, std::optional<std::string> value) {
    if (params_.size() < static_cast<size_t>(index)) params_.resize(static_cast<size_t>(index));
    params_[static_cast<size_t>(index) - 1] = std::move(value);
  }

  const PgRows& Rows() const {
    if (!rows_) Run();
    return *rows_;
  }

  void Run() const {
    std::vector<const char*> values;
    for (const std::optional<std::string>& param : params_)
      values.push_back(param ? param->c_str() : nullptr);
    PgResult result(PQexecPrepared(db_.Connection(), name_.c_str(), static_cast<int>(values.size()),
                                   values.data(), nullptr, nullptr, 0),
                    PQclear);
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
      throw StoreError(db_.Failure(result.get()));
    }
    rows_ = std::make_unique<PgRows>(std::move(result));
  }

  PgDatabase& db_;
  const std::string& name_;
  std::vector<std::optional<std::string>> params_;
  mutable std::unique_ptr<PgRows> rows_;  // once run
};

}  // namespace

PgRows::PgRows(PgResult result, std::vector<std::string> names)
    : result_(std::move(result)), names_(std::move(names)) {}

void PgRows::RefuseBinding() { throw StoreError("the rows of a query take no parameters"); }

std::string PgRows::ColumnName(int column) const {
  if (static_cast<size_t>(column) < names_.size()) return names_[static_cast<size_t>(column)];
  return PQfname(result_.get(), column);
}

bool PgRows::IsNull(int column) const { return PQgetisnull(result_.get(), row_, column) == 1; }

std::string PgRows::Text(int column) const {
  return std::string(PQgetvalue(result_.get(), row_, column),
                     static_cast<size_t>(PQgetlength(result_.get(), row_, column)));
}

std::optional<int64_t> PgRows::ExactInteger(int column) const {
  if (IsNull(column)) return std::nullopt;
  return base::IntegerOfText(Text(column));
}

std::string PgRows::ShownValue(int column) const {
  return IsNull(column) ? "NULL" : ShownText(Text(column));
}

bool IsRepositoryUri(std::string_view location) {
  return location.starts_with("postgresql://") || location.starts_with("postgres://");
}

std::string MaskedUri(const std::string& uri) {
  static const std::regex kUserPassword(R"(^(postgres(?:ql)?://[^:@/?]*):[^@/?]*@)");
  static const std::regex kPasswordParameter(R"(([?&])password=[^&]*(&?))");
  std::string masked = std::regex_replace(uri, kUserPassword, "$1@");
  masked = std::regex_replace(masked, kPasswordParameter, "$1");
  if (masked.ends_with("?") || masked.ends_with("&")) masked.pop_back();
  return masked;
}

std::string NumberedParameters(std::string_view sql) {
  std::string numbered;
  int count = 0;
  for (size_t at = 0; at < sql.size();) {
    const size_t skipped = SkipQuotedOrComment(sql, at);
    if (skipped != at) {
      numbered.append(sql.substr(at, skipped - at));
      at = skipped;
    } else if (sql[at] == '?') {
      // "?NNN" names its parameter's number, as "$NNN" does.
      size_t digits = at + 1;
      while (digits < sql.size() && std::isdigit(static_cast<unsigned char>(sql[digits]))) ++digits;
      numbered += "$" + (digits > at + 1 ? std::string(sql.substr(at + 1, digits - at - 1))
                                         : std::to_string(++count));
      at = digits;
    } else {
      numbered += sql[at++];
    }
  }
  return numbered;
}

PgDatabase::PgDatabase(const std::string& uri, Access access)
    : Database(MaskedUri(uri)), read_only_(access == Access::kReadOnly) {
  connection_ = PQconnectdb(uri.c_str());
  if (PQstatus(connection_) != CONNECTION_OK) {
    const std::string reason = Trimmed(PQerrorMessage(connection_));
    PQfinish(connection_);
    throw StoreError("cannot connect to model repository " + Location() + ": " + reason);
  }
  PQsetNoticeProcessor(connection_, IgnoreNotice, nullptr);
  Execute("SET lock_timeout = " + std::to_string(kBusyWaitMilliseconds));
  // A reader sees one state of the model from start to end, whatever others write.
  if (read_only_) Execute("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
}

PgDatabase::~PgDatabase() { PQfinish(connection_); }

std::string PgDatabase::Failure(const PGresult* result) const {
  const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
  const std::string code = state ? state : "";
  const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
  const std::string message = primary ? primary : Trimmed(PQerrorMessage(connection_));
  if (code == "55P03" || code == "40P01" || code == "40001") {
    return "model repository is busy: " + Location() + " (" + message + ")";
  }
  if (code == "25006") return "model is read-only: " + Location();
  return Location() + ": " + message;
}

const std::string& PgDatabase::PreparedName(const std::string& sql) {
  auto found = prepared_.find(sql);
  if (found != prepared_.end()) return found->second;
  const std::string name = "orba_" + std::to_string(prepared_.size() + 1);
  PgResult prepared(PQprepare(connection_, name.c_str(), sql.c_str(), 0, nullptr), PQclear);
  if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK) throw StoreError(Failure(prepared.get()));
  return prepared_.emplace(sql, name).first->second;
}

Statement PgDatabase::Prepare(std::string_view sql) {
  const std::string& name = PreparedName(NumberedParameters(sql));
  return Statement(std::make_unique<PgStatement>(*this, name), Location());
}

void PgDatabase::Execute(const std::string& sql) {
  PgResult result(PQexec(connection_, sql.c_str()), PQclear);
  const ExecStatusType status = PQresultStatus(result.get());
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    throw StoreError(Failure(result.get()));
  }
}

void PgDatabase::Begin() {
  if (read_only_) {
    Execute("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    return;
  }
  Execute("BEGIN");
  try {
    Execute("LOCK TABLE orba_meta IN EXCLUSIVE MODE");
  } catch (const StoreError&) {
    Execute("ROLLBACK");
    throw;
  }
}

bool PgDatabase::HasTable(const std::string& name) {
  Statement table = Prepare("SELECT to_regclass(?) IS NOT NULL");
  table.Bind(name);
  return table.Step() && table.Text(0) == "t";
}

bool PgDatabase::InTransaction() const { return PQtransactionStatus(connection_) != PQTRANS_IDLE; }

}  // namespace orba::store
