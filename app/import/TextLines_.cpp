#include "app/import/TextLines_.h"

#include "app/base/Tools_.h"

#include <stdexcept>

TLines SplitTextLines(const std::string& Text) {
    TLines lines;
    std::size_t start = 0;
    while (start < Text.size()) {
        std::size_t end = Text.find('\n', start);
        const std::size_t next = end == std::string::npos ? Text.size() : end + 1;
        if (end == std::string::npos)
            end = Text.size();
        else if (end > start && Text[end - 1] == '\r')
            --end;
        lines.emplace_back(Text, start, end - start);
        start = next;
    }
    return lines;
}

TLines LoadTextLines(IFileSystem& Files, const std::string& FileName) {
    TFileError error = TFileError::None;
    const std::unique_ptr<IFile> file = Files.Open(FileName, TOpenMode::ReadExclusive, error);
    if (!file)
        throw std::runtime_error(Format(sCannotOpenFile, FileName.c_str()));
    const uint64_t size = file->Size();
    std::string text;
    if (size > text.max_size())
        throw std::runtime_error(Format(sCannotReadFile, FileName.c_str()));
    text.resize(static_cast<std::size_t>(size));
    if (file->ReadAt(0, text.data(), text.size()) != text.size())
        throw std::runtime_error(Format(sCannotReadFile, FileName.c_str()));
    return SplitTextLines(text);
}
