// The host's object model, as the add-in sees it. Pure interfaces, no storage.
// Ids are signed 32-bit, 0 means none; "nothing" is a null pointer; a failing
// call throws host::Error.
#pragma once

#include "host/collection.h"
#include "host/connector.h"
#include "host/element.h"
#include "host/error.h"
#include "host/package.h"
#include "host/project_services.h"
#include "host/repository.h"
