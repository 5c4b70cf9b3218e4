#include "DormioKit/FreshPages.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

using namespace dormio;

namespace {

using Record = std::array<unsigned char, 64>;

// Room for 64 MiB of records: larger than any block the allocator keeps for itself, so it is fresh memory
// of its own that holds nothing until touched.
constexpr std::size_t room = (std::size_t(64) << 20) / sizeof(Record);

// Committed stretches and the odd 2 MiB page, where the system backs touched memory with them unasked.
constexpr std::size_t slack = std::size_t(4) << 20;

// How many bytes of the array's room are backed by memory.
std::size_t residentBytes(const std::vector<Record>& records) {
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const std::uintptr_t begin = FreshPages::address(records.data()) & ~(page - 1);
    const std::uintptr_t end =
        (FreshPages::address(records.data() + records.capacity()) + page - 1) & ~(page - 1);
    std::vector<unsigned char> resident((end - begin) / page);
    if (::mincore(reinterpret_cast<void*>(begin), end - begin, resident.data()) != 0) return SIZE_MAX;
    std::size_t bytes = 0;
    for (const unsigned char pageIn : resident)
        bytes += (pageIn & 1) * page;
    return bytes;
}

Record recordNumber(std::size_t i) {
    Record record{};
    record.front() = static_cast<unsigned char>(i);
    record.back() = static_cast<unsigned char>(i >> 8);
    return record;
}

TEST(FreshPages, CommitsNoFurtherThanAStretchPastTheRecords) {
    for (const std::size_t count :
         {std::size_t{0}, std::size_t{1}, std::size_t{5'000}, std::size_t{200'000}}) {
        SCOPED_TRACE(count);
        std::vector<Record> records;
        records.reserve(room);
        FreshPages::CommitAhead committed;
        for (std::size_t i = 0; i < count; ++i) {
            records.push_back(recordNumber(i));
            committed.follow(records);
        }
        EXPECT_LE(residentBytes(records), count * sizeof(Record) + slack);
        for (std::size_t i = 0; i < count; ++i)
            ASSERT_EQ(records[i], recordNumber(i)) << i;
    }
}

} // namespace
