// IDeviceEnumerator on SetupAPI and the configuration manager, both bound by
// name at run time.
#include "link/core/QuorxEnum.h"

#include "common/ProcBinding_win.h"
#include "common/WinRes_win.h"

#include <windows.h>

#include <cfgmgr32.h>
#include <setupapi.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

struct TSetupApi {
    decltype(&SetupDiGetClassDevsA) GetClassDevs = nullptr;
    decltype(&SetupDiEnumDeviceInterfaces) EnumDeviceInterfaces = nullptr;
    decltype(&SetupDiGetDeviceInterfaceDetailA) GetDeviceInterfaceDetail = nullptr;
    decltype(&SetupDiDestroyDeviceInfoList) DestroyDeviceInfoList = nullptr;
    decltype(&SetupDiGetDeviceRegistryPropertyA) GetDeviceRegistryProperty = nullptr;
    decltype(&SetupDiOpenDevRegKey) OpenDevRegKey = nullptr;
    decltype(&CM_Get_Parent) GetParent = nullptr;
    decltype(&CM_Get_Device_ID_Size) GetDeviceIdSize = nullptr;
    decltype(&CM_Get_Device_IDA) GetDeviceId = nullptr;

    bool Complete() const {
        return GetClassDevs && EnumDeviceInterfaces && GetDeviceInterfaceDetail &&
               DestroyDeviceInfoList && GetDeviceRegistryProperty && OpenDevRegKey && GetParent &&
               GetDeviceIdSize && GetDeviceId;
    }
};

// Both libraries stay loaded for the life of the process: they are the
// system's own, and freeing them at unload would mean FreeLibrary in DllMain.
TSetupApi LoadSetupApi() {
    TSetupApi api;
    const HMODULE setup = LoadLibraryA("setupapi.dll");
    const HMODULE cfgmgr = LoadLibraryA("cfgmgr32.dll");
    BindProc(setup, "SetupDiGetClassDevsA", api.GetClassDevs);
    BindProc(setup, "SetupDiEnumDeviceInterfaces", api.EnumDeviceInterfaces);
    BindProc(setup, "SetupDiGetDeviceInterfaceDetailA", api.GetDeviceInterfaceDetail);
    BindProc(setup, "SetupDiDestroyDeviceInfoList", api.DestroyDeviceInfoList);
    BindProc(setup, "SetupDiGetDeviceRegistryPropertyA", api.GetDeviceRegistryProperty);
    BindProc(setup, "SetupDiOpenDevRegKey", api.OpenDevRegKey);
    BindProc(cfgmgr, "CM_Get_Parent", api.GetParent);
    BindProc(cfgmgr, "CM_Get_Device_ID_Size", api.GetDeviceIdSize);
    BindProc(cfgmgr, "CM_Get_Device_IDA", api.GetDeviceId);
    return api;
}

const TSetupApi& SetupApi() {
    static const TSetupApi api = LoadSetupApi();
    return api;
}

// Registry texts come without a promise of a NUL: only the bytes reported.
std::string Reported(const BYTE* Data, DWORD Size, DWORD Capacity) {
    return std::string(reinterpret_cast<const char*>(Data), std::min(Size, Capacity));
}

constexpr DWORD kTextArea = 1024;

class TSetupApiEnumerator : public IDeviceEnumerator {
public:
    ~TSetupApiEnumerator() override { Close(); }

    bool Open(const TQuorxGuid& Class) override {
        Close();
        if (!FApi.Complete())
            return false;
        static_assert(sizeof(GUID) == sizeof(TQuorxGuid));
        std::memcpy(&FClass, &Class, sizeof FClass);
        FSet = FApi.GetClassDevs(&FClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        return FSet != INVALID_HANDLE_VALUE;
    }

    TStep ReadInterface(int I, std::string& Path) override {
        FDevice = {};
        FDevice.cbSize = sizeof FDevice;
        SP_DEVICE_INTERFACE_DATA data{};
        data.cbSize = sizeof data;
        if (FSet == INVALID_HANDLE_VALUE ||
            !FApi.EnumDeviceInterfaces(FSet, nullptr, &FClass, static_cast<DWORD>(I), &data))
            return TStep::End;
        DWORD needed = 0;
        if (FApi.GetDeviceInterfaceDetail(FSet, &data, nullptr, 0, &needed, nullptr) ||
            GetLastError() != ERROR_INSUFFICIENT_BUFFER ||
            needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A))
            return TStep::Unreadable;
        std::vector<BYTE> buf;
        try {
            buf.assign(needed, 0);
        } catch (const std::bad_alloc&) {
            return TStep::NoMemory;
        }
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buf.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (!FApi.GetDeviceInterfaceDetail(FSet, &data, detail, needed, nullptr, &FDevice))
            return TStep::Unreadable;
        const std::size_t start = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
        const char* path = reinterpret_cast<const char*>(buf.data() + start);
        Path.assign(path, strnlen(path, needed - start));
        return TStep::Found;
    }

    std::string ReadProperty(TDeviceProperty Property) override {
        BYTE buf[kTextArea];
        DWORD size = 0;
        if (!FApi.GetDeviceRegistryProperty(FSet, &FDevice, static_cast<DWORD>(Property), nullptr,
                                            buf, sizeof buf, &size))
            return {};
        return Reported(buf, size, sizeof buf);
    }

    std::string ReadPortName() override {
        const HKEY opened =
            FApi.OpenDevRegKey(FSet, &FDevice, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (opened == INVALID_HANDLE_VALUE)
            return {};
        const TRegKeyHandle key(opened);
        if (!key)
            return {};
        BYTE buf[kTextArea];
        DWORD size = sizeof buf;
        const LONG read = RegQueryValueExA(key.Get(), "PortName", nullptr, nullptr, buf, &size);
        return read == ERROR_SUCCESS ? Reported(buf, size, sizeof buf) : std::string();
    }

    std::string ReadParentId() override {
        DEVINST parent = 0;
        ULONG length = 0;
        if (FApi.GetParent(&parent, FDevice.DevInst, 0) != CR_SUCCESS ||
            FApi.GetDeviceIdSize(&length, parent, 0) != CR_SUCCESS)
            return {};
        std::string id(length + 1, '\0');
        if (FApi.GetDeviceId(parent, id.data(), length + 1, 0) != CR_SUCCESS)
            return {};
        return id;
    }

    void Close() override {
        if (FSet != INVALID_HANDLE_VALUE)
            FApi.DestroyDeviceInfoList(FSet);
        FSet = INVALID_HANDLE_VALUE;
    }

private:
    const TSetupApi& FApi = SetupApi();
    HDEVINFO FSet = INVALID_HANDLE_VALUE;
    GUID FClass{};
    SP_DEVINFO_DATA FDevice{};
};

} // namespace

std::unique_ptr<IDeviceEnumerator> MakeSystemEnumerator() {
    return std::make_unique<TSetupApiEnumerator>();
}
