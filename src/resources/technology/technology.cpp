#include "technology.h"

#include "profiles.h"
#include "quick_links.h"

namespace technology {

Technology SysmlTechnology() {
  Technology technology{
      .id = "SysML",
      .name = "Quindle Technology for SysML",
      .version = "1.0",
      .notes =
          "Implements OMG Systems Modeling Language (OMG SysML ) \n"
          "Specification, Draft Adopted Specification, ptc/06-05-03",
      .perspective = "SysML",
      .profiles = SysmlProfiles(),
      .diagram_profile = DiagramProfile(),
  };
  technology.profiles.front().quick_links = QuickLinkData();
  return technology;
}

}  // namespace technology
