#include "orba/store/database.h"

namespace orba::store {

std::string ShownText(std::string text) {
  constexpr size_t kShownLength = 40;
  if (text.size() > kShownLength) text = text.substr(0, kShownLength) + "...";
  return "\"" + text + "\"";
}

Statement::Statement(std::unique_ptr<StatementBackend> backend, const std::string& location)
    : backend_(std::move(backend)), location_(&location) {}

void Statement::Run() {
  while (Step()) {
  }
}

void Statement::BindOne(int index, const std::optional<std::string>& value) {
  if (value) {
    BindOne(index, *value);
  } else {
    backend_->BindNull(index);
  }
}

void Statement::BindOne(int index, const std::optional<int32_t>& value) {
  if (value) {
    BindOne(index, *value);
  } else {
    backend_->BindNull(index);
  }
}

int32_t Statement::Int(int column) const {
  const std::optional<int64_t> value = backend_->ExactInteger(column);
  if (!value) FailDamaged(column, "holds " + backend_->ShownValue(column) + ", not an integer");
  if (*value < INT32_MIN || *value > INT32_MAX) {
    // Ids and numbers of the model are 32-bit; a wider one was not written by a host.
    FailDamaged(column, "holds " + std::to_string(*value) + ", which does not fit in 32 bits");
  }
  return static_cast<int32_t>(*value);
}

void Statement::FailDamaged(int column, const std::string& problem) const {
  throw StoreError("model file is damaged: " + *location_ + " (" + backend_->ValueOrigin(column) +
                   " " + problem + ")");
}

std::optional<std::string> Statement::OptionalText(int column) const {
  if (IsNull(column)) return std::nullopt;
  return Text(column);
}

}  // namespace orba::store
