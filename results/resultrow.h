#pragma once

#include <cstdint>
#include <string>

namespace results {

enum class RowStatus : std::uint8_t {
    Repairable, // "可修复": listed by the classifier
    ProcessEnded, // "结束进程": a text that arrived in the report box
};

// One row of the results list. The row number is the row's position, so it is not stored.
struct ResultRow
{
    RowStatus status = RowStatus::Repairable;
    std::string path; // bytes in the platform's narrow code page
};

} // namespace results
