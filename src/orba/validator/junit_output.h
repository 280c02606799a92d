// `orba validate --format junit`: JUnit XML as CI servers read it. One test
// suite per rule family the add-in registered, one test case per family and
// item kind (elements, packages, connectors, operations), a failure per
// violation naming the item and its place; an add-in operation that failed is
// an error, in the test case of its rule and item kind, or in the suite "orba"
// when no rule was running.
#pragma once

#include <iosfwd>
#include <string>

#include "orba/validator/validator.h"

namespace orba::validator {

void WriteValidationJunit(const std::string& model, const ValidationResult& result,
                          std::ostream& out);

}  // namespace orba::validator
