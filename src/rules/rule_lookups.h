// Small stateless helpers that several rule families share: tagged-value
// reads, text tests, multiplicity tests and element lookups.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "host/host.h"

namespace rules {

// The Value of the last tagged value whose Name is exactly TagName; "" when none.
std::string GetElementTagValue(const host::ElementPtr& o_Element, const std::string& TagName);
std::string GetConnectorTagValue(const host::ConnectorPtr& o_Connector, const std::string& TagName);

// True when the lower-case text is "partproperty", "referenceproperty" or "valueproperty".
bool IsBlockPropertyKind(const std::string& Text);

// True for exactly "<none>" and for the empty text.
bool IsNoneOrEmpty(const std::string& Text);

// ASCII lower case.
std::string LowerCase(std::string_view Text);

// True when ";" + Word + ";" occurs in WordList (written ";a;b;c;").
bool IsInWordList(std::string_view WordList, std::string_view Word);

// True when Text equals one of Words exactly.
bool IsAnyOf(std::string_view Text, std::initializer_list<std::string_view> Words);

// Multiplicity texts are judged by their first character only. Both tests are
// false for the empty text (no multiplicity given).
bool HasZeroLowerBound(const std::string& Multiplicity);      // first character "0"
bool HasPositiveLowerBound(const std::string& Multiplicity);  // any other first character

// The id at the other end of a connector from the element with id ElementID:
// the supplier when the element is the client, the client otherwise.
int32_t FarEndID(host::Connector& o_Connector, int32_t ElementID);

// The element with the id, where a missing element makes the rule fail:
// throws host::Error ("... no element with id N") instead of answering nothing.
host::ElementPtr RequireElement(const host::RepositoryPtr& o_Repository, int32_t ID);

// An object a host call must answer; throws host::Error naming `what` when it
// answered nothing.
template <class T>
std::shared_ptr<T> Require(std::shared_ptr<T> Object, std::string_view What) {
  if (!Object) throw host::Error("the host answered nothing for " + std::string(What));
  return Object;
}

// Where a rule may meet a reference that names no element (a connector end, a
// classifier, a GUID in a tagged value), it looks the element up with the
// host's own answer and reads it through these: nothing has no kind, no
// metatype and no name, so it fails every "is a ..." test (an end or reference
// to nothing is "not of the required kind" and is reported) and never matches
// a wanted name (a classifier that cannot be found counts as absent).
std::string TypeOf(const host::ElementPtr& o_Element);
std::string MetatypeOf(const host::ElementPtr& o_Element);
std::string NameOf(const host::ElementPtr& o_Element);

}  // namespace rules
