#include "app/base/About_.h"

#include "app/base/Texte_.h"
#include "app/base/Tools_.h"

std::string AboutProgramText() {
    return Format(sAboutProgramText, sAboutTitle, sAboutVersion);
}

std::string AboutVersionText(const std::vector<std::string>& Libraries,
                             const std::function<std::string(const std::string&)>& VersionOf) {
    std::string text;
    for (const std::string& name : Libraries) {
        if (!text.empty())
            text += "\r\n";
        text += name + ": " + VersionOf(name);
    }
    return text;
}

std::string RxQueueText(int32_t RxQueueSize) {
    return sRxQueue + std::to_string(RxQueueSize);
}
