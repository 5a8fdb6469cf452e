#include "app/output/OutputOptions_.h"

TPrintOptions LoadPrintOptions(IRegistryStore& Registry) {
    const TPrintOptions d;
    return {RegReadBool(Registry, kPrintPrvKey, "SerNam", d.SerNam),
            RegReadBool(Registry, kPrintPrvKey, "NumVal", d.NumVal)};
}

void StorePrintOptions(IRegistryStore& Registry, const TPrintOptions& Options) {
    RegWriteBool(Registry, kPrintPrvKey, "SerNam", Options.SerNam);
    RegWriteBool(Registry, kPrintPrvKey, "NumVal", Options.NumVal);
}

TExportOptions LoadExportOptions(IRegistryStore& Registry) {
    const TExportOptions d;
    return {RegReadBool(Registry, kEmfExportKey, "SerNam", d.SerNam),
            RegReadBool(Registry, kEmfExportKey, "NumVal", d.NumVal),
            RegReadBool(Registry, kEmfExportKey, "Titel", d.Titel),
            RegReadBool(Registry, kEmfExportKey, "Scale", d.Scale)};
}

void StoreExportOptions(IRegistryStore& Registry, const TExportOptions& Options) {
    RegWriteBool(Registry, kEmfExportKey, "SerNam", Options.SerNam);
    RegWriteBool(Registry, kEmfExportKey, "NumVal", Options.NumVal);
    RegWriteBool(Registry, kEmfExportKey, "Titel", Options.Titel);
    RegWriteBool(Registry, kEmfExportKey, "Scale", Options.Scale);
}
