// What the pages of a report site are made from: the model, its drawn
// diagrams, the validation result and the two matrices, gathered before
// any page is written, and the links between pages.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "orba/diagrams/compartment_data.h"
#include "orba/report/matrices.h"
#include "orba/report/model_index.h"
#include "orba/validator/validator.h"

namespace orba::report {

struct SiteDiagram {
  std::string name;
  std::string type;                  // the diagram type's name
  std::string svg;                   // the <svg> element, links relative to the diagram's page
  std::vector<int32_t> element_ids;  // what it shows
};

// Where a finding's item is shown: an element's page, at an anchor of it
// (a connector's row, an operation) or at its top ("").
struct ItemPlace {
  int32_t element_id = 0;  // 0: the model has no page for it
  std::string anchor;
};

struct SiteContent {
  // Names the page of every element of the model.
  explicit SiteContent(const ModelIndex& model_index);

  const ModelIndex& model;
  std::string model_name;
  std::map<int32_t, std::string> element_pages;  // by element id, from the site's root
  std::vector<SiteDiagram> diagrams;             // diagram n is DiagramPagePath(n + 1)
  bool generated_views = false;                  // the model has none; these were made for it
  std::map<int32_t, std::vector<size_t>> diagrams_of_element;
  validator::ValidationResult validation;
  std::vector<ItemPlace> violation_places;  // one per validation.violations
  std::map<int32_t, std::vector<size_t>> violations_of_element;
  TraceabilityMatrix traceability;
  std::vector<Allocation> allocations;

  // The link from a page at `root` to the element's page; "" when none.
  std::string ElementHref(const std::string& root, int32_t element_id) const;
  // The element's name linked to its page.
  std::string ElementLink(const std::string& root, int32_t element_id) const;
};

// Fills violation_places and violations_of_element from the validation,
// and diagrams_of_element from the diagrams.
void LinkContent(SiteContent& content);

}  // namespace orba::report
