// The Quindle Technology for SysML: header, profiles and diagram profile.
#pragma once

#include "technology_model.h"

namespace technology {

Technology SysmlTechnology();

}  // namespace technology
