#include "search/allocation_search.h"

#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "automation/variant.h"
#include "base/text.h"
#include "base/xml_escape.h"
#include "platform/xml_dom.h"

namespace search {
namespace {

// The allocation query: four SELECTs joined by "Union ", one for each
// combination of the two ends having a stereotype or not. Each end's type is
// its stereotype when it has one, else its object type.

// The first part's select list: no space after its final comma.
constexpr char kFirstSelectFromStereotype[] =
    "SELECT    t_connector.Connector_Type AS [CLASSTYPE], t_connector.orba_guid AS [CLASSGUID], "
    "t_object1.Stereotype AS [From_Type], t_object1.Name AS [From_Name], "
    "t_connector.Stereotype AS Relation,";
constexpr char kSelectFromObjectType[] =
    "SELECT    t_connector.Connector_Type AS [CLASSTYPE], t_connector.orba_guid AS [CLASSGUID], "
    "t_object1.Object_Type AS [From_Type], t_object1.Name AS [From_Name], "
    "t_connector.Stereotype AS Relation, ";
constexpr char kToStereotype[] = "t_object2.Stereotype AS [To_Type], t_object2.Name AS [To_Name] ";
constexpr char kToObjectType[] = "t_object2.Object_Type AS [To_Type], t_object2.Name AS [To_Name] ";
constexpr char kFrom[] = "FROM       t_object t_object1, t_object t_object2, t_connector ";
constexpr char kJoinEnds[] =
    "where t_connector.Start_Object_ID = t_object1.Object_Id and "
    "t_connector.End_Object_ID = t_object2.Object_Id and ";
constexpr char kBothStereotyped[] =
    "t_connector.Stereotype='allocate' and t_object1.Stereotype is not null and "
    "t_object2.Stereotype is not null ";
constexpr char kOnlyFromStereotyped[] =
    "t_connector.Stereotype='allocate' and t_object1.Stereotype is not null and "
    "t_object2.Stereotype is null ";
constexpr char kOnlyToStereotyped[] =
    "t_connector.Stereotype='allocate' and t_object1.Stereotype is null and "
    "t_object2.Stereotype is not null ";
constexpr char kNeitherStereotyped[] =
    "t_connector.Stereotype='allocate' and t_object1.Stereotype is null and "
    "t_object2.Stereotype is null ";
constexpr char kUnion[] = "Union ";

constexpr char kPartitionQuery[] =
    "SELECT Object_ID FROM t_object WHERE t_object.Object_Type = 'ActivityPartition' and "
    "t_object.Stereotype = 'allocateActivityPartition'";

// One part of the allocation query: the connector and its two ends, joined on
// the end ids, for one combination of stereotyped ends.
std::string QueryPart(const std::string& select, const char* to, const char* condition) {
  return select + to + kFrom + kJoinEnds + condition;
}

std::string AllocationQuery() {
  const std::string parts[] = {
      QueryPart(kFirstSelectFromStereotype, kToStereotype, kBothStereotyped),
      QueryPart(std::string(kFirstSelectFromStereotype) + " ", kToObjectType, kOnlyFromStereotyped),
      QueryPart(kSelectFromObjectType, kToStereotype, kOnlyToStereotyped),
      QueryPart(kSelectFromObjectType, kToObjectType, kNeitherStereotyped),
  };
  std::string query = parts[0];
  for (size_t i = 1; i < std::size(parts); ++i) query += kUnion + parts[i];
  return query;
}

// The result table's fields, in declaration order.
constexpr std::string_view kFieldNames[] = {
    "CLASSGUID", "CLASSTYPE", "From Type", "From Name", "Relation", "To Type", "To Name",
};

// Result columns of the allocation query (upper-cased) and the fields they fill.
struct ColumnField {
  std::string_view column;
  std::string_view field;
};

constexpr ColumnField kColumnFields[] = {
    {"CLASSGUID", "CLASSGUID"}, {"CLASSTYPE", "CLASSTYPE"}, {"FROM_TYPE", "From Type"},
    {"FROM_NAME", "From Name"}, {"RELATION", "Relation"},   {"TO_TYPE", "To Type"},
    {"TO_NAME", "To Name"},
};

std::string Field(std::string_view name, std::string_view value) {
  return "<Field name=\"" + std::string(name) + "\" value=\"" +
         base::EscapeXml(value, base::XmlEscaping::kMarkupOnly) + "\" />";
}

std::string Header() {
  std::string header = "<ReportViewData><Fields>";
  for (std::string_view name : kFieldNames) header += "<Field name=\"" + std::string(name) + "\"/>";
  return header + "</Fields><Rows>";
}

// The rows of a query answer: the node after the document's first node (the
// declaration), then its first child's first child. Null when any is missing.
platform::XmlNode RowList(const platform::XmlDocument& document) {
  const platform::XmlNode declaration = document.firstChild();
  if (!declaration) return {};
  return declaration.nextSibling().firstChild().firstChild();
}

std::vector<platform::XmlNode> Rows(const platform::XmlDocument& document) {
  const platform::XmlNode row_list = RowList(document);
  return row_list ? row_list.childNodes() : std::vector<platform::XmlNode>{};
}

// One row of the allocation query: its known columns, in result-column order.
std::string AllocationRow(const platform::XmlNode& row) {
  std::string fields;
  for (const platform::XmlNode& column : row.childNodes()) {
    const std::string name = base::AsciiUpperCase(column.nodeName());
    for (const ColumnField& known : kColumnFields) {
      if (name == known.column) fields += Field(known.field, column.text());
    }
  }
  return "<Row>" + fields + "</Row>";
}

// The id in the row's OBJECT_ID column (the last one if repeated), rounded
// half to even; 0 when there is none.
int32_t PartitionId(const platform::XmlNode& row) {
  int32_t id = 0;
  for (const platform::XmlNode& column : row.childNodes()) {
    if (base::AsciiUpperCase(column.nodeName()) == "OBJECT_ID")
      id = automation::Variant(column.text()).ToInt32();
  }
  return id;
}

// The element's classifier, or null when it has none or the host finds none.
host::ElementPtr Classifier(host::Repository& repository, host::Element& element) {
  const int32_t classifier_id = element.ClassifierID();
  return classifier_id > 0 ? repository.GetElementByID(classifier_id) : nullptr;
}

// The element's name, with ":" and its classifier's name when it has one.
std::string NameWithClassifier(host::Repository& repository, host::Element& element) {
  const std::string name = element.Name();
  const host::ElementPtr classifier = Classifier(repository, element);
  return classifier ? name + ":" + classifier->Name() : name;
}

// One row for an element placed in an allocating partition.
std::string PartitionElementRow(host::Repository& repository, host::Element& partition,
                                host::Element& element) {
  std::string row = "<Row>";
  row += Field("CLASSGUID", element.ElementGUID());
  const std::string type = element.Type();
  row += Field("CLASSTYPE", type);
  const std::string stereotype = element.Stereotype();
  row += Field("From Type", stereotype.empty() ? type : stereotype);
  row += Field("From Name", NameWithClassifier(repository, element));
  row += Field("Relation", "allocate");
  const host::ElementPtr allocated_to = Classifier(repository, partition);
  row += Field("To Type", allocated_to ? allocated_to->Metatype() : "");
  row += Field("To Name", allocated_to ? allocated_to->Name() : "");
  return row + "</Row>";
}

std::string PartitionRows(host::Repository& repository, const platform::XmlNode& row) {
  const host::ElementPtr partition = repository.GetElementByID(PartitionId(row));
  if (!partition) return "";
  std::string rows;
  for (const host::ElementPtr& element : partition->Elements()->Items()) {
    rows += PartitionElementRow(repository, *partition, *element);
  }
  return rows;
}

}  // namespace

std::string AllocationSearchDocument(host::Repository& repository) {
  std::string result = Header();
  platform::XmlDocument document;
  // An answer that does not load has no rows; the load's success is not needed.
  document.loadXML(repository.ExecuteSqlQuery(AllocationQuery()));
  for (const platform::XmlNode& row : Rows(document)) result += AllocationRow(row);
  document.loadXML(repository.ExecuteSqlQuery(kPartitionQuery));
  for (const platform::XmlNode& row : Rows(document)) result += PartitionRows(repository, row);
  return result + "</Rows></ReportViewData>";
}

}  // namespace search
