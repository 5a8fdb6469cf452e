// Texts of the about box.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The program text: title, the program's lines, the maker's lines and the version.
std::string AboutProgramText();

// One line per library: its file name, ": " and VersionOf(file name), joined by CR LF.
std::string AboutVersionText(const std::vector<std::string>& Libraries,
                             const std::function<std::string(const std::string&)>& VersionOf);

// "RxQueue: " and the receive-queue size of the last serial connection.
std::string RxQueueText(int32_t RxQueueSize);
