#include "cli/reportwriter.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <vector>

namespace {

using namespace std::string_literals;
using Row = std::vector<std::string>;

// Readers written from the documented schemes alone, as a user of the report would write them.

std::vector<Row> ReadTsv(const std::string& text)
{
    std::vector<Row> rows;
    Row row(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\t') {
            row.emplace_back();
        } else if (c == '\n') {
            rows.push_back(std::move(row));
            row.assign(1, {});
        } else if (c == '\\') {
            const char next = text.at(++i);
            row.back() += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            row.back() += c;
        }
    }
    EXPECT_EQ(row, Row(1)) << "text after the last line end";
    return rows;
}

std::vector<Row> ReadCsv(const std::string& text)
{
    std::vector<Row> rows;
    Row row(1);
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                row.back() += text[i++];
            else if (c == '"')
                quoted = false;
            else
                row.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            rows.push_back(std::move(row));
            row.assign(1, {});
            ++i;
        } else {
            row.back() += c;
        }
    }
    return rows;
}

// A flat JSON object: string values (with every escape JSON has), numbers, true, false, null.
std::map<std::string, std::string> ReadJsonLine(const std::string& line)
{
    std::map<std::string, std::string> object;
    std::size_t i = 0;
    const auto readString = [&] {
        EXPECT_EQ(line.at(i), '"');
        std::string value;
        for (++i; line.at(i) != '"'; ++i) {
            if (static_cast<unsigned char>(line[i]) < 0x20)
                ADD_FAILURE() << "raw control byte in a JSON string";
            if (line[i] != '\\') {
                value += line[i];
                continue;
            }
            const char e = line.at(++i);
            if (e == 'u') {
                const int code = std::stoi(line.substr(i + 1, 4), nullptr, 16);
                EXPECT_LT(code, 0x80) << "only ASCII controls are escaped";
                value += static_cast<char>(code);
                i += 4;
            } else {
                value += e == 'n' ? '\n'
                    : e == 't'    ? '\t'
                    : e == 'r'    ? '\r'
                    : e == 'b'    ? '\b'
                    : e == 'f'    ? '\f'
                                  : e;
            }
        }
        ++i;
        return value;
    };
    EXPECT_EQ(line.at(i++), '{');
    while (line.at(i) != '}') {
        const std::string key = readString();
        EXPECT_EQ(line.at(i++), ':');
        if (line[i] == '"') {
            object[key] = readString();
        } else {
            const std::size_t end = line.find_first_of(",}", i);
            object[key] = "=" + line.substr(i, end - i); // a bare value, marked
            i = end;
        }
        if (line[i] == ',')
            ++i;
    }
    return object;
}

std::string FromHex(const std::string& hex)
{
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

const std::vector<std::string> kOddPaths {
    "/plain/name.jpg",
    "/tab\there/and\tagain.doc",
    "/new\nline/x.pdf",
    "/cr\r\nlf.txt",
    "/comma,and\"quote\".csv",
    "/back\\slash\\t-not-a-tab",
    "/中文/照片.jpg",
    "/bad\xFF\xFEutf8/\xC3(.jpg",
    "/overlong\xC0\xAF/surrogate\xED\xA0\x80.x",
    "/control\x01\x1F\x7F.bin",
    "\"",
    "",
};

TEST(ReportWriter, EveryFormatReadsBackTheExactPathsAndColumns)
{
    for (const auto format :
        { cli::ReportFormat::Tsv, cli::ReportFormat::Csv, cli::ReportFormat::Json }) {
        std::ostringstream out;
        cli::ReportWriter writer(out, format, { true, true });
        writer.WriteHeader();
        std::uint64_t number = 0;
        for (const std::string& path : kOddPaths) {
            results::InversionVerdict verdict { number % 2 == 0, "jpeg", true };
            writer.WriteFile({ number, path, 1000 + number, verdict,
                number % 2 ? results::DecodeCheck::NotApplicable : results::DecodeCheck::Decodes });
            writer.WriteFolder({ path, 0x16, number % 3 == 0 });
            ++number;
        }
        const std::string text = out.str();
        std::vector<Row> rows;
        if (format == cli::ReportFormat::Json) {
            std::istringstream lines(text);
            for (std::string line; std::getline(lines, line);) {
                auto object = ReadJsonLine(line);
                const std::string path
                    = object.count("path_hex") ? FromHex(object["path_hex"]) : object["path"];
                const bool folder = !object.count("number");
                rows.push_back(folder
                        ? Row { "", object["status"], path, "", "", "", "", object["attributes"] }
                        : Row { object["number"].substr(1), object["status"], path,
                            object["size"].substr(1), object["verdict"],
                            object["format"] == "=null" ? "" : object["format"],
                            object["decodes"] == "=true" ? "yes" : "", "" });
            }
        } else {
            rows = format == cli::ReportFormat::Tsv ? ReadTsv(text) : ReadCsv(text);
        }
        if (format == cli::ReportFormat::Csv) {
            ASSERT_FALSE(rows.empty());
            EXPECT_EQ(rows.front(),
                (Row { "number", "status", "path", "size", "verdict", "format", "decodes",
                    "attributes" }));
            rows.erase(rows.begin());
        }
        ASSERT_EQ(rows.size(), 2 * kOddPaths.size()) << text;
        for (std::size_t i = 0; i < kOddPaths.size(); ++i) {
            const bool inverted = i % 2 == 0;
            EXPECT_EQ(rows[2 * i],
                (Row { std::to_string(i), "可修复", kOddPaths[i], std::to_string(1000 + i),
                    inverted ? "inverted" : "unproven", inverted ? "jpeg" : "",
                    inverted ? "yes" : "", "" }))
                << int(format) << " row " << i;
            EXPECT_EQ(rows[2 * i + 1],
                (Row { "", i % 3 == 0 ? "reset" : "would reset", kOddPaths[i], "", "", "", "",
                    "0x16" }))
                << int(format) << " folder row " << i;
        }
    }
}

TEST(ReportWriter, JsonKeepsValidUtf8AsTextAndMarksOnlyBadPathsWithHex)
{
    EXPECT_EQ(cli::JsonPathFields("/中文/a\"b"), "\"path\":\"/中文/a\\\"b\"");
    EXPECT_EQ(cli::JsonPathFields("/a\xFF"), "\"path\":\"/a\xEF\xBF\xBD\",\"path_hex\":\"2f61ff\"");
    for (const auto& [bytes, valid] :
        std::vector<std::pair<std::string, bool>> { { "abc", true }, { "中文", true },
            { "\xF0\x9F\x98\x80", true }, { "\xC3", false }, { "\xC0\xAF", false },
            { "\xED\xA0\x80", false }, { "\xF4\x90\x80\x80", false }, { "\xE4\xB8", false } })
        EXPECT_EQ(cli::IsValidUtf8(bytes), valid) << cli::EscapeTsv(bytes);
}

TEST(ReportWriter, ClassicRowsAreTheOldLineByteForByte)
{
    std::ostringstream out;
    cli::ReportWriter writer(out, cli::ReportFormat::Classic, {});
    writer.WriteHeader();
    writer.WriteFile({ 7, "/a\tb/c.doc", 500, {}, {} });
    EXPECT_EQ(out.str(), "7\t可修复\t/a\tb/c.doc\n");
}

} // namespace
