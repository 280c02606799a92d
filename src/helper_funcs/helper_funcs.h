// HelperFuncs: small functions shared by the compartments, the edit
// notifications and the requirement rules.
#pragma once

#include <string>

#include "host/host.h"
#include "platform/xml_dom.h"

namespace HelperFuncs {

// The value of the attribute AttributeName of an existing element node, or ""
// when the node has no such attribute.
std::string GetXmlAttribute(const platform::XmlNode& Node, const std::string& AttributeName);

// The Value of the first entry of the element's TaggedValueList whose Name is
// exactly TagName; "" when Element is null, TagName is empty or nothing
// matches. Host failures are not trapped.
std::string GetTaggedValue(const host::ElementPtr& Element, const std::string& TagName);

// Makes a text safe for a compartment data value: every "," becomes "&_c_^";
// then in strip mode every ";" and "=" is removed, otherwise ";" becomes
// "&_sc_^" and "=" becomes "&_eq_^".
std::string EscapeCompartmentText(const std::string& Text, bool Strip);

// True for exactly the seven requirement metatypes (case-sensitive):
// Requirement, DesignRequirement, ExtendedRequirement, FunctionalRequirement,
// InterfaceRequirement, PerformanceRequirement, PhysicalRequirement.
bool IsRequirementMetatype(const std::string& Metatype);

// The attribute AttributeName of the first ModelItem of the host's item
// document for GUID. Never fails: any failure (null repository, failing host
// call, text that is not XML, no ModelItem, no such attribute) gives "".
std::string GetModelItemAttribute(const host::RepositoryPtr& Repository, const std::string& GUID,
                                  const std::string& AttributeName);

}  // namespace HelperFuncs
