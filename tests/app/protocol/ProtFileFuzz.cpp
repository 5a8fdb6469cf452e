// libFuzzer target of the protocol file reader: any bytes are either rejected
// or give records and text that the window and the value editor can take, and
// that a save writes back unchanged.
#include "app/protocol/EditProtocolForm_.h"
#include "app/protocol/ProtFile_.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TProtFileData data;
    if (!ParseProtocolFile(std::vector<uint8_t>(Data, Data + Size), data))
        return 0;
    const std::vector<std::string> lines = SplitLines(data.Rtf);
    TEditDatas fields = data.EditDatas;
    DropFieldsOutsideText(fields, lines);
    std::vector<std::string> values;
    for (const TEditData& f : fields) {
        (void)FieldCaption(f);
        values.push_back(FieldCellText(f));
    }
    (void)ApplyFieldValues(fields, values);
    (void)FindFields(lines);

    TProtFileData again;
    const auto same = [](const TEditData& A, const TEditData& B) {
        return std::memcmp(&A, &B, sizeof A) == 0;
    };
    if (!ParseProtocolFile(BuildProtocolFile(data, 7), again) || again.Rtf != data.Rtf ||
        !std::equal(again.EditDatas.begin(), again.EditDatas.end(), data.EditDatas.begin(),
                    data.EditDatas.end(), same))
        std::abort();
    return 0;
}
