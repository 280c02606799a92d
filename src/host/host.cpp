// Out-of-line destructors: each interface's type information lives once, in
// the shared automation library, so the host and add-in modules agree on it.
#include "host/host.h"

namespace host {

TaggedValue::~TaggedValue() = default;
Attribute::~Attribute() = default;
Parameter::~Parameter() = default;
Method::~Method() = default;
Element::~Element() = default;
ConnectorEnd::~ConnectorEnd() = default;
ConnectorTaggedValue::~ConnectorTaggedValue() = default;
Connector::~Connector() = default;
Diagram::~Diagram() = default;
DiagramObject::~DiagramObject() = default;
DiagramLink::~DiagramLink() = default;
Package::~Package() = default;
ProjectServices::~ProjectServices() = default;
EventArgument::~EventArgument() = default;
EventArguments::~EventArguments() = default;
Repository::~Repository() = default;

}  // namespace host
