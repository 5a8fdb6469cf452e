// The export window's choices in the registry ("csvExport"): read whenever the
// window is shown, written before each export. The range is not kept.
#pragma once

#include "app/base/Registry_.h"
#include "app/output/CsvExport_.h"

// Missing or unreadable values take their defaults; n is brought into range.
TCsvChoice LoadCsvChoice(IRegistryStore& Registry);
void StoreCsvChoice(IRegistryStore& Registry, const TCsvChoice& Choice);
