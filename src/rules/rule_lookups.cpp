#include "rules/rule_lookups.h"

#include <algorithm>

#include "base/text.h"

namespace rules {

namespace {

// Walks every tagged value in order; a later match overwrites an earlier one.
template <class Tags>
std::string LastTagValue(Tags& o_Tags, const std::string& TagName) {
  std::string value;
  for (const auto& tag : o_Tags.Items()) {
    if (tag->Name() == TagName) value = tag->Value();
  }
  return value;
}

}  // namespace

std::string GetElementTagValue(const host::ElementPtr& o_Element, const std::string& TagName) {
  return LastTagValue(*Require(o_Element, "the element")->TaggedValues(), TagName);
}

std::string GetConnectorTagValue(const host::ConnectorPtr& o_Connector,
                                 const std::string& TagName) {
  return LastTagValue(*Require(o_Connector, "the connector")->TaggedValues(), TagName);
}

bool IsBlockPropertyKind(const std::string& Text) {
  return IsAnyOf(LowerCase(Text), {"partproperty", "referenceproperty", "valueproperty"});
}

bool IsNoneOrEmpty(const std::string& Text) { return Text.empty() || Text == "<none>"; }

std::string LowerCase(std::string_view Text) { return base::AsciiLowerCase(Text); }

bool IsInWordList(std::string_view WordList, std::string_view Word) {
  return WordList.find(";" + std::string(Word) + ";") != std::string_view::npos;
}

bool IsAnyOf(std::string_view Text, std::initializer_list<std::string_view> Words) {
  return std::ranges::find(Words, Text) != Words.end();
}

bool HasZeroLowerBound(const std::string& Multiplicity) {
  return !Multiplicity.empty() && Multiplicity.front() == '0';
}

bool HasPositiveLowerBound(const std::string& Multiplicity) {
  return !Multiplicity.empty() && Multiplicity.front() != '0';
}

int32_t FarEndID(host::Connector& o_Connector, int32_t ElementID) {
  return o_Connector.ClientID() == ElementID ? o_Connector.SupplierID() : o_Connector.ClientID();
}

host::ElementPtr RequireElement(const host::RepositoryPtr& o_Repository, int32_t ID) {
  host::ElementPtr element = o_Repository->GetElementByID(ID);
  if (!element)
    throw host::Error("GetElementByID: the model has no element with id " + std::to_string(ID));
  return element;
}

std::string TypeOf(const host::ElementPtr& o_Element) { return o_Element ? o_Element->Type() : ""; }

std::string MetatypeOf(const host::ElementPtr& o_Element) {
  return o_Element ? o_Element->Metatype() : "";
}

std::string NameOf(const host::ElementPtr& o_Element) { return o_Element ? o_Element->Name() : ""; }

}  // namespace rules
