// The texts an enhanced metafile draws, read back by the window tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The characters of an EMR_EXTTEXTOUTW record, each taken as one byte.
inline std::string RecordText(const ENHMETARECORD* Record) {
    const auto* r = reinterpret_cast<const EMREXTTEXTOUTW*>(Record);
    const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const uint8_t*>(Record) +
                                                         r->emrtext.offString);
    std::string text;
    for (DWORD i = 0; i < r->emrtext.nChars; ++i)
        text += static_cast<char>(chars[i]);
    return text;
}

// The texts of the metafile's text records, in order.
inline std::vector<std::string> MetafileTexts(HENHMETAFILE Metafile) {
    std::vector<std::string> texts;
    EnumEnhMetaFile(
        nullptr, Metafile,
        [](HDC, HANDLETABLE*, const ENHMETARECORD* Record, int, LPARAM Out) -> int {
            if (Record->iType == EMR_EXTTEXTOUTW)
                reinterpret_cast<std::vector<std::string>*>(Out)->push_back(RecordText(Record));
            return 1;
        },
        &texts, nullptr);
    return texts;
}
