// Large arrays filled once (a record's samples, read from its file) cost a page
// fault for every few kilobytes touched; where the system offers large pages,
// they cost one fault per two megabytes.
#pragma once

#include <cstddef>
#include <vector>

// A hint that the untouched memory Data..Data+Size be backed by large pages;
// does nothing where the system has none to offer.
void AdviseLargePages(void* Data, std::size_t Size);

// Backs the memory Data..Data+Size now, as writing it would, so that whoever
// writes it later takes no page faults; false where the system cannot.
bool FaultInPages(void* Data, std::size_t Size);

// Empties Items and reserves fresh memory for Count of them, backed by large
// pages where the system offers them.
template <class T>
void ReserveLargePages(std::vector<T>& Items, std::size_t Count) {
    Items.clear();
    Items.reserve(Count);
    AdviseLargePages(Items.data(), Count * sizeof(T));
}
