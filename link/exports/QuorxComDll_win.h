// The library's one instance, shared by its export units.
#pragma once

#include "LinkLibrary.h"

// Never destroyed: links are freed explicitly at process detach.
TLinkLibrary& TheLinkLibrary();
