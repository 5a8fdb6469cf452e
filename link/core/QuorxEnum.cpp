#include "link/core/QuorxEnum.h"

#include <charconv>
#include <string_view>

bool TListWriter::Put(char C) {
    if (FFull)
        return false;
    if (FCount >= FCapacity) {
        FFull = true;
        return false;
    }
    FBuf[FCount++] = C;
    return true;
}

bool TListWriter::Put(const std::string& Text) {
    for (const char c : Text)
        if (!Put(c))
            return false;
    return !FFull;
}

bool TListWriter::StartLine() {
    if (FCount == 0)
        return !FFull;
    return Put('\r') && Put('\n');
}

std::string TextUpToNul(const std::string& Raw) {
    return Raw.substr(0, Raw.find('\0'));
}

std::string ComInfoLine(const std::string& PortName, const std::string& Description,
                        const std::string& ParentId, const std::string& FriendlyName) {
    return PortName + '\t' + Description + '\t' + ParentId.substr(0, ParentId.find('\\')) + '\t' +
           FriendlyName;
}

namespace {

using TWriteEntry = bool (*)(IDeviceEnumerator& Enumerator, const std::string& Path,
                             TListWriter& Out);

bool WritePath(IDeviceEnumerator&, const std::string& Path, TListWriter& Out) {
    return Out.Put(Path);
}

bool WriteComInfo(IDeviceEnumerator& Enumerator, const std::string& /*Path*/, TListWriter& Out) {
    const std::string friendly =
        TextUpToNul(Enumerator.ReadProperty(TDeviceProperty::FriendlyName));
    const std::string description =
        TextUpToNul(Enumerator.ReadProperty(TDeviceProperty::DeviceDesc));
    const std::string port = TextUpToNul(Enumerator.ReadPortName());
    const std::string parent = TextUpToNul(Enumerator.ReadParentId());
    return Out.Put(ComInfoLine(port, description, parent, friendly));
}

TLinkResult WriteList(IDeviceEnumerator& Enumerator, const TQuorxGuid& Class, char* Buf,
                      std::uint32_t* Size, TWriteEntry WriteEntry) {
    if (Buf == nullptr || Size == nullptr)
        return errBuffer;
    TListWriter out(Buf, *Size);
    TLinkResult result = 0;
    if (Enumerator.Open(Class)) {
        for (int i = 0; i < kMaxInterfaces; ++i) {
            std::string path;
            const IDeviceEnumerator::TStep step = Enumerator.ReadInterface(i, path);
            if (step == IDeviceEnumerator::TStep::Unreadable)
                result = errDevDetail;
            else if (step == IDeviceEnumerator::TStep::Found && path.empty())
                result = errEmptyPath;
            else if (step == IDeviceEnumerator::TStep::Found &&
                     !(out.StartLine() && WriteEntry(Enumerator, path, out)))
                result = errListFull;
            if (step != IDeviceEnumerator::TStep::Found || result != 0)
                break;
        }
        Enumerator.Close();
    }
    *Size = out.Size();
    return result;
}

// Everything after the first '#' that has at least one character before it;
// false when there is none.
bool SkipSegment(std::string_view& Rest) {
    const std::size_t hash = Rest.find('#');
    if (hash == std::string_view::npos || hash == 0)
        return false;
    Rest.remove_prefix(hash + 1);
    return true;
}

template <class T>
bool ParseWhole(std::string_view Text, T& Value, int Base) {
    const char* end = Text.data() + Text.size();
    const auto [ptr, ec] = std::from_chars(Text.data(), end, Value, Base);
    return ec == std::errc() && ptr == end && !Text.empty();
}

} // namespace

TLinkResult WriteComInfoList(IDeviceEnumerator& Enumerator, char* Buf, std::uint32_t* Size) {
    return WriteList(Enumerator, kComPortClass, Buf, Size, WriteComInfo);
}

TLinkResult WriteDevicePathList(IDeviceEnumerator& Enumerator, const TQuorxGuid& Class, char* Buf,
                                std::uint32_t* Size) {
    return WriteList(Enumerator, Class, Buf, Size, WritePath);
}

std::int32_t SerNumFromDevicePath(const char* Path) {
    if (Path == nullptr)
        return -1;
    std::string_view rest(Path);
    if (!SkipSegment(rest) || !SkipSegment(rest))
        return -1;
    const std::size_t hash = rest.find('#');
    if (hash == std::string_view::npos || hash == 0)
        return -1;
    // Digits only: a sign would give a serial number that no device has.
    const std::string_view digits = rest.substr(0, hash);
    if (digits.find_first_not_of("0123456789") != std::string_view::npos)
        return -1;
    std::int32_t serial = 0;
    return ParseWhole(digits, serial, 10) ? serial : -1;
}

std::uint16_t PIDFromDevicePath(const char* Path) {
    if (Path == nullptr)
        return 0;
    std::string_view rest(Path);
    if (!SkipSegment(rest))
        return 0;
    const std::size_t hash = rest.find('#');
    // Fewer than four characters in the segment: nothing before it is read.
    if (hash == std::string_view::npos || hash < 4)
        return 0;
    std::uint32_t pid = 0;
    return ParseWhole(rest.substr(hash - 4, 4), pid, 16) ? static_cast<std::uint16_t>(pid & 0xFFFF)
                                                         : 0;
}
