// The SysML stereotypes of XMI files as the host's SysML technology knows
// them: which profile namespaces are SysML (versions 1.1 to 1.6, tool-specific
// and OMG-canonical), and which host stereotype each SysML stereotype becomes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orba::interchange {

// What a SysML stereotype becomes in the host.
struct HostStereotype {
  std::string_view stereotype;  // the technology's stereotype, e.g. "flowPort"
  // The host type an element with this stereotype gets whatever its UML
  // metaclass ("Requirement" for «requirement» on a Class); empty: the type
  // follows the metaclass.
  std::string_view element_type;
};

// Whether the namespace URI of a stereotype application is one of the SysML
// profile's, whatever its version and the package part of the URI.
bool IsSysmlNamespace(std::string_view uri);

// The host stereotype for a SysML stereotype name, compared ignoring letter
// case (versions differ: ViewPoint, Viewpoint); nullopt for stereotypes
// without a home in the technology (FullPort, ProxyPort, BindingConnector, ...).
std::optional<HostStereotype> HostStereotypeFor(std::string_view sysml_name);

// Whether a host stereotype is «requirement» or one of its kinds
// («functionalRequirement», ...), in any letter case: those carry an id and a text.
bool IsRequirementStereotype(std::string_view stereotype);

}  // namespace orba::interchange
