#include "app/settings/PreferencesValues_.h"

#include <algorithm>

int32_t ReadValue(IRegistryStore& Registry, const TIntValue& Value) {
    return RegReadInt(Registry, Value.Key, Value.Name, Value.Default);
}

int32_t ClampValue(const TIntValue& Value, int32_t V) {
    return std::clamp(V, Value.Min, Value.Max);
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
