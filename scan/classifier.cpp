#include "scan/classifier.h"

#include "scan/signaturetable.h"

namespace scan {

bool IsHeaderUnrecognised(std::string_view head)
{
    const std::string_view window = head.substr(0, kMarkerWindow);
    if (text::Find(window, "JFIF") != text::npos)
        return false;
    for (const Signature& signature : kSignatureTable)
        if (BeginsWith(head, signature))
            return false;
    return true;
}

std::string FileExtension(std::string_view path, char separator, text::CodePage cp)
{
    const std::size_t slash = text::FindLast(path, std::string_view(&separator, 1), cp);
    if (slash == text::npos)
        return {};
    const std::string_view name = path.substr(slash + 1);
    const std::size_t dot = text::FindLast(name, ".", cp);
    if (dot == text::npos)
        return {};
    return std::string(name.substr(dot + 1));
}

std::string FileExtension(std::string_view path)
{
#ifdef _WIN32
    constexpr char kSeparator = '\\';
#else
    constexpr char kSeparator = '/';
#endif
    return FileExtension(path, kSeparator, text::NativeCodePage());
}

bool ClassifyFile(platform::Platform& platform, const std::string& path)
{
    // The head is read before the extension is looked at, so excluded files are opened as well.
    return ClassifyHead(path, platform.ReadHead(path, kHeadLength), platform.Separator());
}

bool ClassifyHead(std::string_view path, const platform::FileHead& head, char separator)
{
    if (!head.opened || head.length < kMinimumLength)
        return false;
    const std::string extension
        = text::AsciiLower(FileExtension(path, separator, text::NativeCodePage()));
    // A plain substring test: "c", "ex", "ys" and every other piece of the list are skipped too,
    // and an empty extension is always found.
    if (text::Find(kExcludedExtensions, extension) != text::npos)
        return false;
    return IsHeaderUnrecognised(head.bytes);
}

} // namespace scan
