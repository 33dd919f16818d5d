#include "fuzz/fuzzinput.h"
#include "scan/classifier.h"

#include <string>

// Input: one byte for the length of the file name, the name, then the head as read from the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    const std::string_view name = input.Take(input.Byte());
    const std::string_view head = input.Rest();

    const bool unrecognised = scan::IsHeaderUnrecognised(head);
    // Every signature and the marker window lie inside the bytes the walk reads.
    FUZZ_CHECK(unrecognised == scan::IsHeaderUnrecognised(head.substr(0, scan::kHeadLength)));

    for (const char separator : { '/', '\\' }) {
        for (const auto cp : { text::CodePage::Utf8, text::CodePage::Gbk }) {
            const std::string extension = scan::FileExtension(name, separator, cp);
            FUZZ_CHECK(extension.size() < name.size() || extension.empty());
            FUZZ_CHECK(name.ends_with(extension));
            if (!extension.empty())
                FUZZ_CHECK(name[name.size() - extension.size() - 1] == '.');
        }
    }

    const std::string path = "/" + std::string(name);
    platform::FileHead fileHead { true, head.size(), std::string(head.substr(0, scan::kHeadLength)) };
    const bool listed = scan::ClassifyHead(path, fileHead, '/');
    FUZZ_CHECK(!listed || unrecognised);
    FUZZ_CHECK(!listed || head.size() >= scan::kMinimumLength);
    fileHead.opened = false;
    FUZZ_CHECK(!scan::ClassifyHead(path, fileHead, '/'));
    return 0;
}
