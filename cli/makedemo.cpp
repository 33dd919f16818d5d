// filemend-make-demo DIR: fills DIR with sample files of our own making, healthy and damaged the
// way the virus damages them (first 100 bytes inverted), so that a scan has something to find.

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace fs = std::filesystem;

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitFailed = 1;
// Its presence says the folder is ours: a later run may rewrite the samples in it.
constexpr const char* kMarker = ".filemend-demo";
constexpr std::size_t kDamagedLength = 100;

std::string Damaged(std::string bytes)
{
    for (std::size_t i = 0; i < kDamagedLength && i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ 0xFF);
    return bytes;
}

// A JFIF JPEG of a small gradient with a disc, encoded by libjpeg.
std::string EncodeJpeg()
{
    constexpr int kWidth = 160, kHeight = 120;
    std::vector<unsigned char> pixels(kWidth * kHeight * 3);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            unsigned char* p = &pixels[(y * kWidth + x) * 3];
            const int dx = x - kWidth / 2, dy = y - kHeight / 2;
            const bool disc = dx * dx + dy * dy < 35 * 35;
            p[0] = disc ? 230 : static_cast<unsigned char>(x * 255 / kWidth);
            p[1] = disc ? 180 : static_cast<unsigned char>(y * 255 / kHeight);
            p[2] = disc ? 40 : 160;
        }

    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr); // on our own fixed input an error is a bug: exiting is fine
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 85, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &pixels[cinfo.next_scanline * kWidth * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string jpeg(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return jpeg;
}

// The same picture as a camera writes it: an Exif APP1 segment first instead of JFIF APP0.
std::string ExifFromJfif(const std::string& jfif)
{
    const std::size_t app0Length
        = (static_cast<unsigned char>(jfif[4]) << 8) | static_cast<unsigned char>(jfif[5]);
    const std::string tiff("II*\0\x08\0\0\0\0\0\0\0\0\0", 14); // little-endian, one empty IFD
    const std::string payload = std::string("Exif\0\0", 6) + tiff;
    const std::size_t length = payload.size() + 2;
    std::string exif("\xFF\xD8\xFF\xE1", 4);
    exif += static_cast<char>(length >> 8);
    exif += static_cast<char>(length & 0xFF);
    exif += payload;
    exif += jfif.substr(4 + app0Length);
    return exif;
}

std::string MakePdf()
{
    const std::vector<std::string> objects {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 144] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length 44 >>\nstream\nBT /F1 18 Tf 30 70 Td (filemend sample) Tj ET\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    };
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t offset : offsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1)
        + " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

void PutLittle(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// An OLE compound file header and its first sectors; enough to carry the signature a DOC has.
std::string MakeDoc()
{
    std::string doc("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    doc.append(16, '\0'); // class id
    PutLittle(doc, 0x003E, 2); // minor version
    PutLittle(doc, 0x0003, 2); // major version 3: 512-byte sectors
    PutLittle(doc, 0xFFFE, 2); // byte order
    PutLittle(doc, 9, 2); // sector shift
    PutLittle(doc, 6, 2); // mini sector shift
    doc.append(10, '\0');
    PutLittle(doc, 1, 4); // FAT sectors
    PutLittle(doc, 1, 4); // first directory sector
    PutLittle(doc, 0, 4);
    PutLittle(doc, 0x1000, 4); // mini stream cut-off
    PutLittle(doc, 0xFFFFFFFE, 4); // no mini FAT
    PutLittle(doc, 0, 4);
    PutLittle(doc, 0xFFFFFFFE, 4); // no DIFAT sectors
    PutLittle(doc, 0, 4);
    PutLittle(doc, 0, 4); // DIFAT[0]: the FAT is sector 0
    while (doc.size() < 512)
        PutLittle(doc, 0xFFFFFFFF, 4);
    doc.append(1024, '\0');
    return doc;
}

std::uint32_t Crc32(const std::string& data)
{
    std::uint32_t crc = 0xFFFFFFFF;
    for (unsigned char byte : data) {
        crc ^= byte;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// A ZIP archive holding one stored text file.
std::string MakeZip()
{
    const std::string name = "readme.txt";
    const std::string content = "A file inside a ZIP archive, stored without compression by the "
                                "filemend demo builder.\n";
    const std::uint32_t crc = Crc32(content);
    std::string zip;
    PutLittle(zip, 0x04034B50, 4);
    PutLittle(zip, 10, 2); // version needed
    PutLittle(zip, 0, 2); // flags
    PutLittle(zip, 0, 2); // stored
    PutLittle(zip, 0, 4); // time and date
    PutLittle(zip, crc, 4);
    PutLittle(zip, static_cast<std::uint32_t>(content.size()), 4);
    PutLittle(zip, static_cast<std::uint32_t>(content.size()), 4);
    PutLittle(zip, static_cast<std::uint32_t>(name.size()), 2);
    PutLittle(zip, 0, 2);
    zip += name + content;
    const std::size_t central = zip.size();
    PutLittle(zip, 0x02014B50, 4);
    PutLittle(zip, 20, 2);
    PutLittle(zip, 10, 2);
    PutLittle(zip, 0, 2);
    PutLittle(zip, 0, 2);
    PutLittle(zip, 0, 4);
    PutLittle(zip, crc, 4);
    PutLittle(zip, static_cast<std::uint32_t>(content.size()), 4);
    PutLittle(zip, static_cast<std::uint32_t>(content.size()), 4);
    PutLittle(zip, static_cast<std::uint32_t>(name.size()), 2);
    zip.append(12, '\0'); // extra, comment, disk, attributes
    PutLittle(zip, 0, 4); // local header offset
    zip += name;
    const std::size_t centralSize = zip.size() - central;
    PutLittle(zip, 0x06054B50, 4);
    PutLittle(zip, 0, 4);
    PutLittle(zip, 1, 2);
    PutLittle(zip, 1, 2);
    PutLittle(zip, static_cast<std::uint32_t>(centralSize), 4);
    PutLittle(zip, static_cast<std::uint32_t>(central), 4);
    PutLittle(zip, 0, 2);
    return zip;
}

// Writes below dir only: a link that someone put where a sample goes is removed, never followed.
bool WriteSample(const fs::path& dir, const fs::path& relative, const std::string& bytes)
{
    std::error_code ec;
    fs::path target = dir;
    const fs::path folders = relative.parent_path();
    for (const auto& part : folders) {
        target /= part;
        const auto status = fs::symlink_status(target, ec);
        if (fs::is_symlink(status) || (fs::exists(status) && !fs::is_directory(status)))
            fs::remove(target, ec);
        fs::create_directory(target, ec);
        if (!fs::is_directory(fs::symlink_status(target, ec)))
            return false;
    }
    target /= relative.filename();
    if (fs::is_symlink(fs::symlink_status(target, ec)))
        fs::remove(target, ec);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

struct Sample
{
    std::string path;
    std::string bytes;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || std::string(argv[1]) == "--help" || std::string(argv[1]).empty()) {
        (argc == 2 && std::string(argv[1]) == "--help" ? std::cout : std::cerr)
            << "Usage: filemend-make-demo DIR\n"
               "Creates DIR (its parent must exist) and fills it with healthy and damaged sample\n"
               "files to try filemend on. An existing DIR must be empty or made by an earlier "
               "run.\n";
        return argc == 2 && std::string(argv[1]) == "--help" ? 0 : kExitUsage;
    }
    const fs::path dir = argv[1];
    std::error_code ec;
    const auto status = fs::symlink_status(dir, ec);
    if (fs::is_symlink(status)) {
        std::cerr << "filemend-make-demo: " << dir.string() << " is a link; give a real folder\n";
        return kExitUsage;
    }
    if (fs::exists(status)) {
        if (!fs::is_directory(status)) {
            std::cerr << "filemend-make-demo: " << dir.string() << " is not a folder\n";
            return kExitUsage;
        }
        const bool empty = fs::is_empty(dir, ec);
        if (!empty && !fs::is_regular_file(fs::symlink_status(dir / kMarker, ec))) {
            std::cerr << "filemend-make-demo: " << dir.string()
                      << " is not empty and was not made by filemend-make-demo; nothing written\n";
            return kExitUsage;
        }
    } else if (!fs::create_directory(dir, ec)) {
        std::cerr << "filemend-make-demo: cannot create " << dir.string() << ": " << ec.message()
                  << '\n';
        return kExitFailed;
    }

    const std::string jpeg = EncodeJpeg();
    const std::string exif = ExifFromJfif(jpeg);
    const std::string pdf = MakePdf();
    const std::string doc = MakeDoc();
    const std::string zip = MakeZip();
    const std::string notes
        = "这是 filemend 的演示文件夹。扫描它时，被病毒破坏（前 100 个字节取反）的文件会列为"
          "“可修复”。\nThis is filemend's demo folder: damaged files are listed as repairable; "
          "plain text is listed too, since no signature marks it.\n";
    const std::string ini = "[filemend]\nsample=1\n; a settings file starts with '[' and counts "
                            "as healthy whatever else it holds.\n";
    // The virus dresses folders up as the Recycle Bin and hides them.
    const std::string recycler = "回收站.{645FF040-5081-101B-9F08-00AA002F954E}/";

    const std::vector<Sample> samples {
        { kMarker, "filemend demo folder\n" },
        { "照片.jpg", jpeg },
        { "照片-损坏.jpg", Damaged(jpeg) },
        { "相机.jpg", exif },
        { "相机-损坏.jpg", Damaged(exif) },
        { "报告.pdf", pdf },
        { "报告-损坏.pdf", Damaged(pdf) },
        { "文档.doc", doc },
        { "文档-损坏.doc", Damaged(doc) },
        { "归档.zip", zip },
        { "归档-损坏.zip", Damaged(zip) },
        { "说明.txt", notes },
        { "设置.ini", ini },
        { "短.txt", "too short to examine\n" },
        { "程序-损坏.exe", Damaged(std::string("MZ") + std::string(400, '\x90')) },
        { recycler + "照片-损坏.jpg", Damaged(jpeg) },
        { recycler + "资料/文档-损坏.doc", Damaged(doc) },
        { ".隐藏/照片-损坏.jpg", Damaged(jpeg) },
    };
    for (const Sample& sample : samples) {
        if (!WriteSample(dir, fs::path(sample.path), sample.bytes)) {
            std::cerr << "filemend-make-demo: cannot write " << (dir / sample.path).string()
                      << '\n';
            return kExitFailed;
        }
    }
    std::cout << dir.string() << '\n';
    return 0;
}
