// Writes the seed corpora of the fuzz targets into <folder>/<target>/, one small file per seed.
#include "scan/classifier.h"
#include "scan/signaturetable.h"
#include "tests/results/previewfixtures.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class Corpus
{
public:
    Corpus(const fs::path& folder)
        : m_folder(folder)
    {
        fs::create_directories(m_folder);
    }
    void Add(const std::string& bytes)
    {
        std::ofstream(m_folder / ("seed-" + std::to_string(m_count++)), std::ios::binary) << bytes;
    }

private:
    fs::path m_folder;
    int m_count = 0;
};

std::string Byte(std::size_t value) { return std::string(1, static_cast<char>(value)); }

const char* const kNames[] = {
    "photo.jpg", "REPORT.DOC", "setup.exe", "lib.Dll", "a.c", "noextension", "trailing.",
    ".hidden", "dir.jpg/file", "照片.jpg", "文件 .pdf ", "\xd5\xd5\xc6\xac.jpg", // GBK
    "\xb1\x5c.txt", // GBK pair whose second byte is a backslash
    "\xff\xfe.doc", "\xc3(.gif",
};

void ClassifierSeeds(const fs::path& folder)
{
    Corpus corpus(folder);
    std::vector<std::string> heads;
    for (const auto& signature : scan::kSignatureTable)
        heads.push_back(std::string(signature.bytes) + std::string(330 - signature.bytes.size(), 'x'));
    std::string jfif(330, 'y');
    jfif.replace(6, 4, "JFIF");
    heads.push_back(jfif);
    heads.push_back(std::string(330, '\0'));
    heads.push_back(std::string(99, 'z'));
    const std::size_t count = heads.size();
    for (std::size_t i = 0; i < count; ++i)
        heads.push_back(fixtures::Damage(heads[i]));
    std::size_t n = 0;
    for (const auto& head : heads) {
        const std::string name = kNames[n++ % std::size(kNames)];
        corpus.Add(Byte(name.size()) + name + head);
    }
}

void TextSeeds(const fs::path& folder)
{
    Corpus corpus(folder);
    const std::pair<const char*, const char*> pairs[] = {
        { "*.jpg", "holiday.JPG" }, { "*.*", "noextension" }, { "?.doc", "文.doc" },
        { "a*b*c", "axxbyyc" }, { "JFIF", "xxJFIFxx" }, { ".", "/path/to/file.tar.gz" },
        { "\\", "C:\\dir\\\xb1\x5c.txt" }, { "\xd5\xd5*", "\xd5\xd5\xc6\xac.jpg" },
        { "\x80", "\xe6\x96\x87\x80" }, { "*?", "\xf0\x9f\x98\x80.png" },
    };
    for (const auto& [pattern, name] : pairs)
        for (const int cp : { 0, 1 })
            corpus.Add(Byte(cp) + Byte(std::string(pattern).size()) + pattern + name);
}

void PreviewSeeds(const fs::path& folder)
{
    Corpus corpus(folder);
    const auto gradient = [](int x, int y) { return fixtures::Gradient(x, y, 40, 24); };
    const std::string panel = Byte(132) + Byte(200); // the preview panel's own size, near enough
    const std::string tiny = Byte(8) + Byte(8);
    for (const auto colour : { fixtures::JpegColour::Rgb, fixtures::JpegColour::Gray,
                               fixtures::JpegColour::CmykAdobe, fixtures::JpegColour::Ycck }) {
        for (const bool progressive : { false, true }) {
            fixtures::JpegRecipe recipe;
            recipe.width = 40;
            recipe.height = 24;
            recipe.colour = colour;
            recipe.progressive = progressive;
            recipe.exif = colour == fixtures::JpegColour::Gray;
            recipe.quality = 60;
            const std::string jpeg = fixtures::EncodeJpeg(recipe, gradient);
            corpus.Add(Byte(0) + panel + fixtures::Damage(jpeg));
            corpus.Add(Byte(1) + (progressive ? tiny : panel) + jpeg);
        }
    }
    fixtures::GifFrame frame { 2, 1, 12, 6, false, -1, {} };
    for (int i = 0; i < 12 * 6; ++i)
        frame.indices.push_back(static_cast<std::uint8_t>(i % 4));
    fixtures::GifRecipe gif { true, 16, 8, { { 0, 0, 0 }, { 255, 0, 0 }, { 0, 255, 0 }, { 0, 0, 255 } },
                              { frame }, std::string(160, 'c') };
    corpus.Add(Byte(0) + panel + fixtures::Damage(fixtures::EncodeGif(gif)));
    corpus.Add(Byte(2) + panel + fixtures::EncodeGif(gif));
    gif.gif89 = false;
    gif.comment.clear();
    gif.frames[0].interlace = true;
    corpus.Add(Byte(2) + tiny + fixtures::EncodeGif(gif));
    gif.gif89 = true;
    gif.frames[0].transparent = 2;
    corpus.Add(Byte(2) + panel + fixtures::EncodeGif(gif));
}

void ReportSeeds(const fs::path& folder)
{
    using namespace std::string_literals;
    Corpus corpus(folder);
    const struct
    {
        std::size_t piece;
        std::size_t fillerRuns; // of 256 bytes
        std::size_t fillerAt;
        std::string stream;
    } seeds[] = {
        { 63, 0, 0, "/proc/\xe8\xbf\x9b\xe7\xa8\x8b.exe\nsecond\n" },
        { 0, 128, 0, "\nafter a message one byte too long\n" },
        { 7, 127, 2, "ab\n\n" }, // 32767 bytes: the longest text that is kept
        { 3, 0, 0, "\xff\xfe\n\xed\xa0\x80\na\0b\n\n\nkept\nno newline"s }, // "s": keeps the NUL
    };
    for (const auto& seed : seeds)
        corpus.Add(Byte(seed.piece) + Byte(seed.fillerRuns) + Byte(seed.fillerAt) + seed.stream);
}

void DropSeeds(const fs::path& folder)
{
    Corpus corpus(folder);
    const auto attributes = [](std::uint32_t word) {
        return Byte(word >> 24) + Byte(word >> 16) + Byte(word >> 8) + Byte(word);
    };
    corpus.Add(attributes(0x10) + Byte(0) + "/media/usb/\xe8\xb5\x84\xe6\x96\x99");
    corpus.Add(attributes(0x16) + Byte(1) + "d:\\\xbb\xd8\xca\xd5\xd5\xbe");
    corpus.Add(attributes(0xFFFFFFFF) + Byte(0) + "/gone%20away/%E6%96%87%zz%4");
    corpus.Add(attributes(0x2010) + Byte(0) + "/");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: fuzz_make_seeds <folder>\n";
        return 2;
    }
    const fs::path out = argv[1];
    ClassifierSeeds(out / "classifier_fuzz");
    TextSeeds(out / "text_fuzz");
    PreviewSeeds(out / "preview_fuzz");
    ReportSeeds(out / "report_fuzz");
    DropSeeds(out / "drop_fuzz");
    return 0;
}
