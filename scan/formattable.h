#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace scan {

// One piece of a format's head: these bytes at this offset.
struct HeadPart
{
    std::size_t offset = 0;
    std::string_view bytes;
};

// A file format as its first bytes mark it: every non-empty part must match. Wider than the
// classifier's table, which only has to tell "some known format" from "none"; this one has to name
// the format that an inverted head turns back into.
struct FileFormat
{
    std::string_view name; // short, stable, lower case: what reports print
    HeadPart first;
    HeadPart second {}; // empty bytes: no second part
};

// The table, most specific entry first: the first entry that matches names the format.
std::span<const FileFormat> FormatTable();

// The format whose parts the head carries, or nullptr.
const FileFormat* IdentifyFormat(std::string_view head);

} // namespace scan
