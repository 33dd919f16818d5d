#include "cli/reportwriter.h"

#include <cstdio>
#include <ostream>

namespace cli {

namespace {

    constexpr std::string_view kListedStatus = "可修复";
    constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

    // Length of the valid UTF-8 sequence at from, or 0 when the bytes there are not one.
    std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t from)
    {
        const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
        const unsigned char lead = at(from);
        if (lead < 0x80)
            return 1;
        std::size_t length;
        unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0; // overlong
            if (lead == 0xED)
                high = 0x9F; // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            if (lead == 0xF4)
                high = 0x8F; // beyond U+10FFFF
        } else {
            return 0;
        }
        if (from + length > bytes.size() || at(from + 1) < low || at(from + 1) > high)
            return 0;
        for (std::size_t i = 2; i < length; ++i)
            if ((at(from + i) & 0xC0) != 0x80)
                return 0;
        return length;
    }

    std::string_view VerdictText(const results::InversionVerdict& verdict)
    {
        return verdict.inverted ? "inverted" : "unproven";
    }

    std::string_view DecodeText(results::DecodeCheck check)
    {
        switch (check) {
        case results::DecodeCheck::Decodes:
            return "yes";
        case results::DecodeCheck::Fails:
            return "no";
        case results::DecodeCheck::NotApplicable:
            break;
        }
        return "";
    }

    std::string AttributeText(std::uint32_t attributes)
    {
        char text[16];
        std::snprintf(text, sizeof text, "0x%02x", attributes);
        return text;
    }

    std::string_view FolderStatus(bool reset) { return reset ? "reset" : "would reset"; }

} // namespace

std::string EscapeTsv(std::string_view field)
{
    std::string escaped;
    escaped.reserve(field.size());
    for (char c : field) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string QuoteCsv(std::string_view field)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(field);
    std::string quoted = "\"";
    for (char c : field) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = Utf8SequenceLength(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string JsonString(std::string_view utf8)
{
    std::string literal = "\"";
    for (char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            literal += '\\';
            literal += c;
        } else if (c == '\n') {
            literal += "\\n";
        } else if (c == '\t') {
            literal += "\\t";
        } else if (c == '\r') {
            literal += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            literal += escape;
        } else {
            literal += c;
        }
    }
    return literal + '"';
}

std::string JsonPathFields(std::string_view path)
{
    if (IsValidUtf8(path))
        return "\"path\":" + JsonString(path);
    std::string shown;
    std::string hex;
    for (std::size_t i = 0; i < path.size();) {
        const std::size_t length = Utf8SequenceLength(path, i);
        if (length == 0) {
            shown += kReplacement;
            ++i;
        } else {
            shown += path.substr(i, length);
            i += length;
        }
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    for (char c : path) {
        hex += kDigits[static_cast<unsigned char>(c) >> 4];
        hex += kDigits[static_cast<unsigned char>(c) & 0xF];
    }
    return "\"path\":" + JsonString(shown) + ",\"path_hex\":\"" + hex + '"';
}

ReportWriter::ReportWriter(std::ostream& out, ReportFormat format, ReportColumns columns)
    : m_out(out)
    , m_format(format)
    , m_columns(columns)
{ }

void ReportWriter::WriteHeader()
{
    if (m_format != ReportFormat::Csv)
        return;
    m_out << "number,status,path,size";
    if (m_columns.verify)
        m_out << ",verdict,format,decodes";
    if (m_columns.attributes)
        m_out << ",attributes";
    EndRow();
}

void ReportWriter::Field(std::string_view value, bool first)
{
    if (!first)
        m_out << (m_format == ReportFormat::Csv ? ',' : '\t');
    if (m_format == ReportFormat::Csv)
        m_out << QuoteCsv(value);
    else
        m_out << EscapeTsv(value);
}

void ReportWriter::EndRow() { m_out << (m_format == ReportFormat::Csv ? "\r\n" : "\n"); }

void ReportWriter::WriteFile(const FileReport& row)
{
    if (m_format == ReportFormat::Classic) {
        m_out << row.number << '\t' << kListedStatus << '\t' << row.path << '\n';
        return;
    }
    if (m_format == ReportFormat::Json) {
        m_out << "{\"number\":" << row.number << ",\"status\":" << JsonString(kListedStatus) << ','
              << JsonPathFields(row.path) << ",\"size\":" << row.size;
        if (m_columns.verify) {
            m_out << ",\"verdict\":\"" << VerdictText(row.verdict) << "\",\"format\":";
            if (row.verdict.inverted)
                m_out << JsonString(row.verdict.format);
            else
                m_out << "null";
            m_out << ",\"decodes\":";
            const std::string_view decodes = DecodeText(row.decodes);
            m_out << (decodes.empty() ? "null" : decodes == "yes" ? "true" : "false");
        }
        m_out << "}\n";
        return;
    }
    Field(std::to_string(row.number), true);
    Field(kListedStatus);
    Field(row.path);
    Field(std::to_string(row.size));
    if (m_columns.verify) {
        Field(VerdictText(row.verdict));
        Field(row.verdict.inverted ? row.verdict.format : "");
        Field(DecodeText(row.decodes));
    }
    if (m_columns.attributes)
        Field("");
    EndRow();
}

void ReportWriter::WriteFolder(const FolderReport& row)
{
    if (m_format == ReportFormat::Json) {
        m_out << "{\"status\":\"" << FolderStatus(row.reset) << "\"," << JsonPathFields(row.path)
              << ",\"attributes\":\"" << AttributeText(row.attributesBefore) << "\"}\n";
        return;
    }
    // Classic output never carries folder rows: the command switches to Tsv when they are asked
    // for.
    Field("", true);
    Field(FolderStatus(row.reset));
    Field(row.path);
    Field("");
    if (m_columns.verify) {
        Field("");
        Field("");
        Field("");
    }
    Field(AttributeText(row.attributesBefore));
    EndRow();
}

} // namespace cli
