// The library's one instance, shared by its export units.
#pragma once

#include "link/core/LinkLibrary.h"

// Never destroyed: links are freed explicitly at process detach.
TLinkLibrary& TheLinkLibrary();
