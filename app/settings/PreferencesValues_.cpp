#include "app/settings/PreferencesValues_.h"

int32_t ReadValue(IRegistryStore& Registry, const TIntValue& Value) {
    const int32_t v = RegReadInt(Registry, Value.Key, Value.Name, Value.Default);
    return v < Value.Min || v > Value.Max ? Value.Default : v;
}

bool ReadValue(IRegistryStore& Registry, const TBoolValue& Value) {
    return RegReadBool(Registry, Value.Key, Value.Name, Value.Default);
}

void WriteValue(IRegistryStore& Registry, const TIntValue& Value, int32_t V) {
    RegWriteInt(Registry, Value.Key, Value.Name, V);
}

void WriteValue(IRegistryStore& Registry, const TBoolValue& Value, bool V) {
    RegWriteBool(Registry, Value.Key, Value.Name, V);
}
