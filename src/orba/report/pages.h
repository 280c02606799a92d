// The pages of the report site, each as the text of its file.
#pragma once

#include <string>
#include <vector>

#include "orba/diagrams/compartment_data.h"
#include "orba/report/site_content.h"

namespace orba::report {

// index.html: the model's summary, its package tree and its diagrams.
std::string IndexPage(const SiteContent& content);

// elements/GUID.html: the element's properties, tagged values, notes,
// operations, the compartments the add-in offers for it, its relationships
// both ways, the diagrams that show it, its violations and its contents.
std::string ElementPage(const SiteContent& content, const IndexedElement& element,
                        const std::vector<diagrams::CompartmentData>& compartments);

// diagrams/N.html (`index` from 0): the diagram drawn inline.
std::string DiagramPage(const SiteContent& content, size_t index);

// validation.html: the findings by rule family and by package.
std::string ValidationPage(const SiteContent& content);

// traceability.html and allocations.html: the two matrices.
std::string TraceabilityPage(const SiteContent& content);
std::string AllocationsPage(const SiteContent& content);

// search-index.js: window.orbaSearchIndex, the name, kind and page of every
// element, with "<" written as \u003c so that no name can end the script.
std::string SearchIndexScript(const SiteContent& content);

}  // namespace orba::report
