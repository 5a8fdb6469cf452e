// The check boxes that printing, the preview and the metafile export remember
// in the registry, with their defaults (written back when missing).
#pragma once

#include "app/base/Registry_.h"

inline constexpr char kPrintPrvKey[] = "\\Software\\Meridane\\TessalyMC\\printprv";
inline constexpr char kEmfExportKey[] = "\\Software\\Meridane\\TessalyMC\\emfExport";

struct TPrintOptions {
    bool SerNam = true; // series names in the graph
    bool NumVal = false;
    bool operator==(const TPrintOptions&) const = default;
};

struct TExportOptions {
    bool SerNam = true;
    bool NumVal = false;
    bool Titel = true;
    bool Scale = true;
    bool operator==(const TExportOptions&) const = default;
};

TPrintOptions LoadPrintOptions(IRegistryStore& Registry);
void StorePrintOptions(IRegistryStore& Registry, const TPrintOptions& Options);
TExportOptions LoadExportOptions(IRegistryStore& Registry);
void StoreExportOptions(IRegistryStore& Registry, const TExportOptions& Options);
