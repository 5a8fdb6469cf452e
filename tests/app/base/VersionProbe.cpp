// A library that carries a version resource, for the tests of the about box.
extern "C" __declspec(dllexport) int VersionProbe() {
    return 1;
}
