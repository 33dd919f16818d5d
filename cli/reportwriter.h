#pragma once

#include "results/inversionverdict.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace cli {

enum class ReportFormat
{
    Classic, // "N<TAB>可修复<TAB>path", the path as it is: what scripts have always read
    Tsv,
    Csv,
    Json, // one object per line
};

struct ReportColumns
{
    bool verify = false; // verdict, format, decodes
    bool attributes = false; // folder rows and their attributes before the reset
};

struct FileReport
{
    std::uint64_t number = 0;
    std::string_view path;
    std::uint64_t size = 0;
    results::InversionVerdict verdict;
    results::DecodeCheck decodes = results::DecodeCheck::NotApplicable;
};

struct FolderReport
{
    std::string_view path;
    std::uint32_t attributesBefore = 0;
    bool reset = true; // false on a dry run
};

// Writes the rows of a scan in one format. Every row of Tsv, Csv and Json parses back to exactly
// the bytes it was given, whatever the name holds.
class ReportWriter
{
public:
    ReportWriter(std::ostream& out, ReportFormat format, ReportColumns columns);

    void WriteHeader(); // the CSV header line; nothing for the other formats
    void WriteFile(const FileReport& row);
    void WriteFolder(const FolderReport& row);

private:
    void Field(std::string_view value, bool first = false);
    void EndRow();

    std::ostream& m_out;
    const ReportFormat m_format;
    const ReportColumns m_columns;
};

// The escapes, open to tests and to the help text that documents them.
// TSV: backslash, tab, line feed and carriage return become \\ \t \n \r; other bytes pass as they
// are.
[[nodiscard]] std::string EscapeTsv(std::string_view field);
// CSV (RFC 4180): a field with a comma, quote, CR or LF is quoted, its quotes doubled.
[[nodiscard]] std::string QuoteCsv(std::string_view field);
// A JSON string literal; the text must be valid UTF-8 (see JsonPathFields for paths).
[[nodiscard]] std::string JsonString(std::string_view utf8);
[[nodiscard]] bool IsValidUtf8(std::string_view bytes);
// "path" as a JSON string; a path that is not valid UTF-8 gets U+FFFD for each bad byte there,
// and its exact bytes in "path_hex" (lower-case hex), which a reader then takes instead.
[[nodiscard]] std::string JsonPathFields(std::string_view path);

} // namespace cli
