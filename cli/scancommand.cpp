#include "cli/scancommand.h"

#include "scan/folderwalk.h"
#include "scan/scangate.h"
#include "scan/walksink.h"
#include "text/bytetext.h"

#include <chrono>
#include <ostream>

namespace cli {

const char* const kUsage
    = "Usage: filemend-scan [--pattern P] ROOT\n"
      "\n"
      "Walks ROOT and prints every file that looks damaged (its first 100 bytes inverted),\n"
      "one line each: row number, TAB, 可修复, TAB, path. Files are only read, never written;\n"
      "sub-folders that the walk enters have their DOS attributes reset where the file\n"
      "system keeps them (FAT, NTFS), which unhides them.\n"
      "\n"
      "  --pattern P   file name pattern, * and ? as on Windows, case-insensitive (default *.*)\n"
      "  --help        show this text\n"
      "\n"
      "Exit status: 0 when the walk finished, 2 for bad arguments, a missing root or the\n"
      "system root, 1 when the output could not be written.\n";

namespace {

constexpr const char* kProgram = "filemend-scan";

ParsedArguments Bad(std::string error) { return { std::nullopt, std::move(error) }; }

// Rows go to out as they are found; progress is drawn on err at most every tenth of a second.
class CommandSink final : public scan::WalkSink
{
public:
    CommandSink(std::ostream& out, std::ostream& err, bool progress)
        : m_out(out)
        , m_err(err)
        , m_progress(progress)
    { }

    void OnFolderOrFile(const std::string& statusText) override
    {
        ++m_statuses;
        if (!m_progress || (m_statuses & 63) != 0)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (now - m_lastDrawn < std::chrono::milliseconds(100))
            return;
        m_lastDrawn = now;
        DrawProgress(statusText);
    }

    void OnRepairable(const std::string& path) override
    {
        m_out << m_rows++ << "\t可修复\t" << path << '\n';
    }

    void Finish()
    {
        if (m_progress)
            m_err << "\r\033[K" << m_rows << " 可修复\n" << std::flush;
    }

private:
    void DrawProgress(const std::string& statusText)
    {
        // The tail of the path, cut on a character boundary so the terminal shows no broken
        // character.
        constexpr std::size_t kShown = 60;
        std::size_t from = 0;
        while (statusText.size() - from > kShown)
            from += text::CharLength(statusText, from, text::NativeCodePage());
        m_err << "\r\033[K" << m_rows << " 可修复  " << (from ? "..." : "")
              << std::string_view(statusText).substr(from) << std::flush;
    }

    std::ostream& m_out;
    std::ostream& m_err;
    const bool m_progress;
    std::uint64_t m_rows = 0;
    std::uint64_t m_statuses = 0;
    std::chrono::steady_clock::time_point m_lastDrawn {};
};

} // namespace

ParsedArguments ParseScanArguments(const std::vector<std::string>& args)
{
    ScanOptions options;
    bool haveRoot = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            options.help = true;
        } else if (!optionsEnded && (arg == "--pattern" || arg.starts_with("--pattern="))) {
            if (arg == "--pattern") {
                if (++i == args.size())
                    return Bad("--pattern needs a value");
                options.pattern = args[i];
            } else {
                options.pattern = arg.substr(sizeof "--pattern=" - 1);
            }
            if (options.pattern.empty())
                return Bad("the pattern is empty");
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return Bad("unknown option " + arg);
        } else if (haveRoot) {
            return Bad("more than one ROOT given");
        } else {
            options.root = arg;
            haveRoot = true;
        }
    }
    if (!haveRoot && !options.help)
        return Bad("ROOT is missing");
    return { options, {} };
}

int RunScanCommand(platform::Platform& platform, const std::vector<std::string>& args,
    std::ostream& out, std::ostream& err)
{
    const ParsedArguments parsed = ParseScanArguments(args);
    if (!parsed.options) {
        err << kProgram << ": " << parsed.error << "\n\n" << kUsage;
        return kExitUsage;
    }
    const ScanOptions& options = *parsed.options;
    if (options.help) {
        out << kUsage;
        return out.flush() ? kExitOk : kExitOutputFailed;
    }
    if (platform.IsSystemRoot(options.root)) {
        err << "不要扫c盘\n";
        return kExitUsage;
    }
    if (!platform.OpenDirectory(options.root, true)) {
        err << kProgram << ": cannot read the folder " << options.root << '\n';
        return kExitUsage;
    }

    scan::ScanGate gate;
    CommandSink sink(out, err, platform.IsTerminal(2));
    scan::WalkFolder(platform, options.root, options.pattern, gate, sink);
    sink.Finish();
    if (!out.flush()) {
        err << kProgram << ": the output could not be written\n";
        return kExitOutputFailed;
    }
    return kExitOk;
}

} // namespace cli
