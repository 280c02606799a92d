// The reader on small files of our own, for what the real models lack:
// XML that is not well formed, hrefs into files that exist or not,
// applications without a base, control characters, custom profiles.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "orba/interchange/imported_model.h"
#include "support/temp_folder.h"

namespace orba::interchange::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A model holding `model` (with the classes a and b), then `applications`.
std::string Xmi(const std::string& model, const std::string& applications = "") {
  return R"(<?xml version="1.0"?>
<xmi:XMI xmlns:xmi="http://www.omg.org/spec/XMI/20131001"
    xmlns:uml="http://www.omg.org/spec/UML/20131001"
    xmlns:sysml="http://www.omg.org/spec/SysML/20150709/SysML" xmlns:my="http://example.org/my">
<uml:Model xmi:id="m" name="M"><packagedElement xmi:type="uml:Class" xmi:id="a" name="A"/>
<packagedElement xmi:type="uml:Class" xmi:id="b" name="B"/>)" +
         model + "</uml:Model>" + applications + "</xmi:XMI>";
}

std::string Tag(const host::ElementPtr& element, const std::string& name) {
  for (const auto& tag : element->TaggedValues()->Items()) {
    if (tag->Name() == name) return tag->Value();
  }
  return "(none)";
}

std::string Attributes(const host::ElementPtr& element) {
  std::string text;
  for (const auto& attribute : element->Attributes()->Items())
    text += (text.empty() ? "" : ", ") + attribute->Name() + ": " + attribute->Type();
  return text;
}

TEST(XmiReaderTest, RefusesXmlThatIsNotWellFormedNamingLineAndColumn) {
  try {
    ReadXmi("<?xml version=\"1.0\"?>\n<xmi:XMI>\n  <uml:Model></xmi:XMI>\n</uml:Model>", "bad.xmi",
            {});
    FAIL() << "no error";
  } catch (const XmiError& error) {
    EXPECT_THAT(error.what(), HasSubstr("bad.xmi:3:24: XML is not well formed: Opening and "
                                        "ending tag mismatch: Model line 3 and XMI"));
  }
  EXPECT_THROW(ReadXmi("<html/>", "page.xml", {}), XmiError);
  EXPECT_TRUE(LooksLikeXml("\xEF\xBB\xBF  \n<xmi:XMI/>"));
  EXPECT_FALSE(LooksLikeXml(" {\"format\": \"orba-model\"}"));
}

TEST(XmiReaderTest, StubsWhatAnHrefCannotReachAndImportsWhatAFileBesideHolds) {
  testing_support::TempFolder folder;
  std::ofstream((folder.path() / "library.uml").string())
      << Xmi(R"(<packagedElement xmi:type="uml:Class" xmi:id="engine" name="Engine"/>)",
             R"(<sysml:Block xmi:id="s" base_Class="engine"/>)");
  const std::string text = Xmi(R"(<packagedElement xmi:type="uml:Class" xmi:id="c">
      <ownedAttribute xmi:id="x"><type href="library.uml#engine"/></ownedAttribute>
      <ownedAttribute xmi:id="y"><type href="missing.uml#gone"/></ownedAttribute>
      <ownedAttribute xmi:id="z"><type href="missing.uml#gone"/></ownedAttribute>
      <ownedAttribute xmi:id="w" type="nowhere"/></packagedElement>)");
  ImportedModel model(text, (folder.path() / "use.uml").string());
  const host::ElementPtr engine =
      model.Repository().GetElementByID(model.Element("x")->PropertyTypeID());
  EXPECT_EQ(engine->Name(), "Engine");
  EXPECT_EQ(engine->Metatype(), "Block");
  EXPECT_EQ(model.Repository().GetElementByID(model.Element("y")->PropertyTypeID())->Name(),
            "gone");
  EXPECT_THAT(model.Report().unresolved,
              ElementsAre("#nowhere (referenced 1 time)", "missing.uml#gone (referenced 2 times)"));
}

TEST(XmiReaderTest, CountsApplicationsWithoutBaseAndKeepsEveryStereotypeOfAnElement) {
  ImportedModel model(
      Xmi("", R"(<sysml:Block xmi:id="s1" base_Class="a b"/><my:Part xmi:id="s2" base_Class="a"/>
                 <sysml:Block xmi:id="lost"/>)"),
      "stereotypes.xmi");
  EXPECT_EQ(model.Element("a")->Stereotype(), "block");
  EXPECT_EQ(model.Element("b")->Metatype(), "Block");
  EXPECT_EQ(model.ElementField("a", "stereotype"), "my:Part");
  const SkippedKind& lost =
      model.Report().skipped.at("stereotype application without base element («Block»)");
  EXPECT_THAT(lost.first_ids, ElementsAre("lost"));
}

TEST(XmiReaderTest, ReplacesControlCharactersAndGivesTheSameGuidsForTheSameFile) {
  const std::string text =
      Xmi("<packagedElement xmi:type=\"uml:Class\" xmi:id=\"x\" "
          "name=\"tab&#9;bell\xC2\x85\x7F\"/>");
  ImportedModel model(text, "names.xmi");
  EXPECT_EQ(model.Element("x")->Name(), "tab\tbell\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_THAT(model.Report().control_characters, ElementsAre("x: name"));
  EXPECT_EQ(ReadXmi(text, "names.xmi", {}).document, model.Import().document);
  EXPECT_NE(ReadXmi(text, "other.xmi", {}).document["elements"][0]["guid"],
            model.Import().document["elements"][0]["guid"]);
}

TEST(XmiReaderTest, ReadsBoundsSkipsExtensionsAndTurnsApplicationPropertiesIntoTags) {
  ImportedModel model(Xmi(R"(<packagedElement xmi:type="uml:Activity" xmi:id="c">
      <ownedParameter xmi:id="p1"><lowerValue xmi:type="uml:LiteralInteger"/>
        <upperValue xmi:type="uml:LiteralUnlimitedNatural" value="*"/></ownedParameter>
      <ownedParameter xmi:id="p2"><xmi:Extension><modelExtension>
        <lowerValue xmi:type="uml:LiteralInteger" value="2"/></modelExtension></xmi:Extension>
      </ownedParameter></packagedElement>
      <xmi:Extension><packagedElement xmi:type="uml:Class" xmi:id="copy"/></xmi:Extension>
      <packagedElement xmi:type="uml:DataType" xmi:id="mass"/>
      <packagedElement xmi:type="uml:InstanceSpecification" xmi:id="kg"/>
      <packagedElement xmi:type="uml:InstanceSpecification" xmi:id="kind"/>
      <packagedElement xmi:type="uml:Class" xmi:id="r"/>)",
                          R"(<sysml:ValueType xmi:id="s1" base_DataType="mass" unit="kg">
      <quantityKind xmi:idref="kind"/></sysml:ValueType>
      <sysml:Unit xmi:id="s2" base_InstanceSpecification="kg" quantityKind="kind"/>
      <sysml:QuantityKind xmi:id="s3" base_InstanceSpecification="kind"/>
      <sysml:Requirement xmi:id="s4" base_Class="r" Id="R-7"><text>Be light.</text>
      </sysml:Requirement>)"),
                      "values.xmi");
  EXPECT_EQ(model.Element("p1")->Multiplicity(), "0..*");
  EXPECT_EQ(model.Element("p2")->Multiplicity(), "2..1");
  EXPECT_EQ(model.Report().elements, 9u);  // the copy in the extension is not one of them
  EXPECT_EQ(Tag(model.Element("mass"), "unit"), model.Element("kg")->ElementGUID());
  EXPECT_EQ(Tag(model.Element("mass"), "dimension"), model.Element("kind")->ElementGUID());
  EXPECT_EQ(Tag(model.Element("kg"), "dimension"), model.Element("kind")->ElementGUID());
  EXPECT_EQ(model.Element("r")->Notes(), "Be light.");
  EXPECT_EQ(Tag(model.Element("r"), "Id"), "R-7");
}

TEST(XmiReaderTest, AppliesTheHostsOwnExtensionAndWarnsOfRecordsItCannotApply) {
  ImportedModel model(Xmi(R"(<packagedElement xmi:type="uml:Class" xmi:id="c">
      <ownedAttribute xmi:id="p" name="p"/></packagedElement>
      <packagedElement xmi:type="uml:Enumeration" xmi:id="e">
      <ownedLiteral xmi:id="l" name="low"/></packagedElement>)",
                          R"(<sysml:FlowProperty xmi:id="s" base_Property="p"/>
      <xmi:Extension extender="other"><field element="a" name="stereotype" value="no"/></xmi:Extension>
      <xmi:Extension extender="orba">
        <field element="a" name="stereotype" value="BlockProperty"/>
        <field element="p" name="multiplicity" value=""/>
        <withoutTag element="p" name="direction"/>
        <tag element="b" name="risk" value="bell&#x7F;"/>
        <attribute element="e" name="low" value="Real"/>
        <attribute element="b" name="mass" value="Real"/>
        <unknown element="a" name="x"/>
        <tag name="orphan" value="1"/>
        <field element="a" name="key" value="stolen"/>
        <tag element="gone" name="risk" value="High"/>
      </xmi:Extension>)"),
                      "extension.xmi");
  EXPECT_EQ(model.Element("a")->Stereotype(), "BlockProperty");
  EXPECT_EQ(model.Element("p")->Multiplicity(), "");
  EXPECT_EQ(Tag(model.Element("p"), "direction"), "(none)");
  EXPECT_EQ(Tag(model.Element("b"), "risk"), "bell\xEF\xBF\xBD");
  EXPECT_EQ(Attributes(model.Element("e")), "low: Real");
  EXPECT_EQ(Attributes(model.Element("b")), "mass: Real");
  EXPECT_THAT(
      model.Report().warnings,
      ElementsAre("orba's xmi:Extension, line 18: a record <unknown> the import does not know; "
                  "left out",
                  "orba's xmi:Extension, line 19: a <tag> without element or name; left out",
                  "orba's xmi:Extension, line 20: a <field> \"key\", which no record may set; "
                  "left out",
                  "orba's xmi:Extension: no item has the xmi:id \"gone\"; its tag \"risk\" "
                  "is left out"));
}

TEST(XmiReaderTest, JoinsEveryClientToEverySupplierAndPortsOfPartsThroughTheirInstances) {
  ImportedModel model(Xmi(R"(<packagedElement xmi:type="uml:Abstraction" xmi:id="x"
      client="a b"><supplier xmi:idref="a"/><supplier xmi:idref="b"/></packagedElement>
      <packagedElement xmi:type="uml:Class" xmi:id="c">
        <ownedAttribute xmi:type="uml:Port" xmi:id="q" name="q"/>
        <ownedAttribute xmi:id="part" name="part" type="c"/>
        <ownedConnector xmi:id="k"><end role="q" partWithPort="part"/><end xmi:id="e" role="q"/>
        </ownedConnector></packagedElement>
      <packagedElement xmi:type="uml:InformationFlow" xmi:id="f" realizingConnector="k"/>
      <ownedComment xmi:id="note" annotatedElement="a"><body>See B.</body></ownedComment>)",
                          R"(<sysml:Allocate xmi:id="s1" base_Abstraction="x"/>
      <sysml:ItemFlow xmi:id="s2" base_InformationFlow="f" itemProperty="part"/>
      <sysml:NestedConnectorEnd xmi:id="s3" base_ConnectorEnd="e" propertyPath="part"/>)"),
                      "joins.xmi");
  EXPECT_EQ(model.Report().imported.at("connector Dependency «allocate»"), 4u);
  const host::ConnectorPtr connector = model.Connector("k");
  EXPECT_EQ(connector->Stereotype(), "itemFlow");
  const host::ElementPtr instance = model.Repository().GetElementByID(connector->ClientID());
  EXPECT_EQ(instance->ClassifierID(), model.Element("q")->ElementID());
  EXPECT_EQ(instance->ParentID(), model.Element("part")->ElementID());
  EXPECT_EQ(connector->SupplierID(), connector->ClientID());
  EXPECT_EQ(model.Element("a")->Notes(), "See B.");
}

TEST(XmiReaderTest, FollowsCustomStereotypesToSysmlThroughTheirProfileOrTheUsersMap) {
  const std::string text = Xmi(R"(<packagedElement xmi:type="uml:Profile" xmi:id="prof">
      <packagedElement xmi:type="uml:Stereotype" xmi:id="st1" name="System">
        <generalization xmi:id="g1" general="st2"/></packagedElement>
      <packagedElement xmi:type="uml:Stereotype" xmi:id="st2" name="Thing"><generalization
        xmi:id="g2"><general href="pathmap://SysML16_PROFILES/SysML.profile.uml#SysML.Blocks.Block"/>
      </generalization></packagedElement></packagedElement>)",
                               R"(<my:System xmi:id="s1" base_Class="a"/>
      <my:Need xmi:id="s2" base_Class="b"/>)");
  XmiOptions options = FileReadingOptions();
  options.stereotype_map =
      ReadStereotypeMap("# mine\n{http://example.org/my}Need = Requirement\n", "my.map");
  ImportedModel model(text, "custom.xmi", options);
  EXPECT_EQ(model.Element("a")->Metatype(), "Block");
  EXPECT_EQ(model.Element("b")->Type(), "Requirement");
  EXPECT_EQ(model.ElementField("b", "stereotype"), "my:Need");
  EXPECT_THROW(ReadStereotypeMap("Need Requirement\n", "my.map"), XmiError);
  try {
    ReadStereotypeMap("\nNeed = Wish\n", "my.map");
    FAIL() << "no error";
  } catch (const XmiError& error) {
    EXPECT_THAT(error.what(), HasSubstr("my.map:2: \"Wish\" is not a SysML stereotype"));
  }
}

TEST(XmiReaderTest, ReportsAsTextAndJson) {
  ImportedModel model(Xmi(R"(<packagedElement xmi:type="uml:Dependency" xmi:id="d" client="a"
      supplier="nothing-here"/><packageImport xmi:id="pi"/>
      <packagedElement xmi:type="uml:Class" xmi:id="a" name="again"/>
      <packagedElement xmi:type="uml:Class" name="no id"/>)"),
                      "report.xmi");
  const std::string text = ReportText(model.Report());
  EXPECT_THAT(text, HasSubstr("imported 2 packages, 3 elements, 1 connectors from report.xmi"));
  EXPECT_EQ(model.Element("(no xmi:id) 1")->Name(), "no id");
  EXPECT_THAT(
      text,
      HasSubstr("skipped:\n  1 Class (its xmi:id is used twice): a\n  1 PackageImport: pi\n"));
  EXPECT_THAT(text, HasSubstr("unresolved references (imported as stubs):\n  #nothing-here"));
  const nlohmann::ordered_json json = ReportJson(model.Report());
  EXPECT_EQ(json["skipped"]["PackageImport"]["firstIds"][0], "pi");
  EXPECT_EQ(json["connectors"], 1);
}

// The diagrams of the notation file beside the model: a diagram kind of
// Papyrus gives the SysML type, a shape nested in another is placed by the
// sum of their bounds, a shape without a size gets one, an edge of a
// connector the model has becomes a link; shapes of what the import left
// out are counted; a file without diagram kinds keeps its notation type.
TEST(XmiReaderTest, ReadsTheDiagramsOfTheNotationFileBesideTheModel) {
  testing_support::TempFolder folder;
  std::ofstream((folder.path() / "use.notation").string()) << R"(<?xml version="1.0"?>
<xmi:XMI xmlns:xmi="http://www.omg.org/XMI" xmlns:notation="http://www.eclipse.org/gmf/runtime/1.0.2/notation">
 <notation:Diagram xmi:id="d1" type="Class" name="Blocks">
  <children xmi:id="s1" type="Class_Shape"><element href="use.uml#a"/>
   <children xmi:id="c1" type="Compartment"><layoutConstraint xmi:id="l0" x="5" y="20"/>
    <children xmi:id="s2" type="Class_Shape"><element href="use.uml#b"/>
     <layoutConstraint xmi:id="l1" x="10" y="10" width="50" height="30"/></children></children>
   <layoutConstraint xmi:id="l2" x="100" y="200" width="300" height="150"/></children>
  <children xmi:id="s3" type="Class_Shape"><element href="use.uml#gone"/></children>
  <styles diagramKindId="org.eclipse.papyrus.sysml14.diagram.blockdefinition"/>
  <element href="use.uml#m"/>
  <edges xmi:id="e1" source="s1" target="s2"><element href="use.uml#dep"/></edges>
  <edges xmi:id="e2" source="s1" target="s2"/>
 </notation:Diagram>
 <notation:Diagram xmi:id="d2" type="PapyrusUMLClassDiagram" name="Other">
  <children xmi:id="s4"><element href="use.uml#a"/><layoutConstraint xmi:id="l3" x="7"/></children>
 </notation:Diagram>
</xmi:XMI>)";
  ImportedModel model(
      Xmi(R"(<packagedElement xmi:type="uml:Dependency" xmi:id="dep" client="a" supplier="b"/>)"),
      (folder.path() / "use.uml").string());
  const auto diagrams = model.Package("m")->Diagrams()->Items();
  ASSERT_EQ(diagrams.size(), 2u);
  EXPECT_EQ(diagrams[0]->Name() + " " + diagrams[0]->Type(), "Blocks SysML::BlockDefinition");
  std::vector<std::string> placed;
  for (const auto& object : diagrams[0]->DiagramObjects()->Items()) {
    placed.push_back(model.Repository().GetElementByID(object->ElementID())->Name() + " " +
                     std::to_string(object->Left()) + "," + std::to_string(object->Top()) + "," +
                     std::to_string(object->Right()) + "," + std::to_string(object->Bottom()));
  }
  EXPECT_THAT(placed, ElementsAre("A 100,200,400,350", "B 115,230,165,260"));
  const auto links = diagrams[0]->DiagramLinks()->Items();
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0]->ConnectorID(), model.Connector("dep")->ConnectorID());
  EXPECT_FALSE(links[0]->IsHidden());
  EXPECT_EQ(diagrams[1]->Type(), "PapyrusUMLClassDiagram");
  EXPECT_EQ(diagrams[1]->DiagramObjects()->Items().at(0)->Right(), 7 + 120);
  EXPECT_THAT(model.Report().warnings,
              ElementsAre(HasSubstr("use.notation: 1 shapes show items the import left out")));
  std::ofstream((folder.path() / "use.notation").string()) << "<broken";
  EXPECT_THROW(ImportedModel(Xmi(""), (folder.path() / "use.uml").string()), XmiError);
}

}  // namespace
}  // namespace orba::interchange::testing
