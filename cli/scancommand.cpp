#include "cli/scancommand.h"

#include "cli/pipeline.h"
#include "cli/reportwriter.h"
#include "cli/restorer.h"
#include "text/bytetext.h"

#include <charconv>
#include <chrono>
#include <map>
#include <ostream>

namespace cli {

const char* const kUsage
    = "Usage: filemend-scan [OPTIONS] ROOT\n"
      "\n"
      "Walks ROOT and prints every file that looks damaged (its first 100 bytes inverted),\n"
      "one row each, in the order of the walk. Files are only read, never written;\n"
      "sub-folders that the walk enters have their DOS attributes reset where the file\n"
      "system keeps them (FAT, NTFS), which unhides them.\n"
      "\n"
      "  --pattern P        file name pattern, * and ? as on Windows, case-insensitive\n"
      "                     (default *.*)\n"
      "  --format F         tsv, csv or json (one JSON object per line); see Output below\n"
      "  --verify           invert each listed file's head in memory and name the format it\n"
      "                     turns into: verdict \"inverted\" with the format, or \"unproven\";\n"
      "                     for jpeg and gif whether the restored copy decodes, for png\n"
      "                     whether its signature and header chunk (with its CRC) are intact\n"
      "  --restore-to DIR   write a restored copy of every file verified as inverted to DIR,\n"
      "                     under its path below ROOT (implies --verify). Never overwrites:\n"
      "                     a taken name gets \" (1)\", \" (2)\"... before its extension. Each\n"
      "                     copy is written to a temporary file, synced, then renamed, so no\n"
      "                     half-written copy is left. DIR may not lie inside ROOT. A summary\n"
      "                     (restored, skipped, failed, with reasons) ends the run on stderr\n"
      "  --no-reset         leave folder attributes alone (a dry run)\n"
      "  --list-hidden      add a row for every sub-folder whose attributes the walk resets\n"
      "                     (or, with --no-reset, would reset), with its attributes before\n"
      "  --threads N        workers that open and check files beside the walker (default 2;\n"
      "                     1 checks on the walker's own thread); the output order is the\n"
      "                     walk's whatever N is\n"
      "  --quiet            no progress line (it is drawn on stderr only when that is a\n"
      "                     terminal)\n"
      "  --help             show this text\n"
      "\n"
      "Output. Without --format, --verify, --restore-to and --list-hidden each row is\n"
      "\"N<TAB>可修复<TAB>path\", the path exactly as the file system gives it. Otherwise the\n"
      "columns are number, status, path, size; with --verify also verdict, format and\n"
      "decodes (yes, no, or empty where not checked); with --list-hidden also attributes\n"
      "(hex), and folder rows with an empty number, the status \"reset\" or \"would reset\".\n"
      "  tsv   fields split by TAB; in each field backslash, TAB, line feed and carriage\n"
      "        return are written as \\\\ \\t \\n \\r; other bytes as they are\n"
      "  csv   RFC 4180: a header line, CRLF line ends, a field holding a comma, quote, CR\n"
      "        or LF is quoted and its quotes doubled; other bytes as they are\n"
      "  json  keys number, status, path, size, verdict, format, decodes (null where not\n"
      "        checked), attributes; a path that is not valid UTF-8 shows U+FFFD for each\n"
      "        bad byte in \"path\" and its exact bytes in \"path_hex\"\n"
      "\n"
      "Exit status: 0 when the walk finished; 1 when the output could not be written;\n"
      "2 for bad arguments, a missing root, the system root, or a --restore-to folder that\n"
      "is refused or cannot be created; 3 when the walk finished but a restored copy could\n"
      "not be written.\n";

namespace {

    constexpr const char* kProgram = "filemend-scan";
    constexpr auto kProgressInterval = std::chrono::milliseconds(100);

    ParsedArguments Bad(std::string error) { return { std::nullopt, std::move(error) }; }

    // Counts and rate on one line of a terminal, redrawn at most every tenth of a second.
    class Progress
    {
    public:
        Progress(std::ostream& err, bool shown)
            : m_err(err)
            , m_shown(shown)
            , m_start(std::chrono::steady_clock::now())
        { }

        void Count(const WalkItem& item)
        {
            if (item.kind == WalkItem::Kind::File) {
                ++m_checked;
                m_listed += item.check.listed;
            }
            if (!m_shown || (++m_items & 63) != 0)
                return;
            const auto now = std::chrono::steady_clock::now();
            if (now - m_lastDrawn < kProgressInterval)
                return;
            m_lastDrawn = now;
            Draw(item.path, now);
        }

        void Finish()
        {
            if (m_shown)
                m_err << "\r\033[K" << m_listed << " 可修复, " << m_checked << " files checked\n"
                      << std::flush;
        }

    private:
        void Draw(const std::string& path, std::chrono::steady_clock::time_point now)
        {
            const double seconds = std::chrono::duration<double>(now - m_start).count();
            const auto rate = static_cast<std::uint64_t>(seconds > 0 ? m_checked / seconds : 0);
            // The tail of the path, cut on a character boundary so the terminal shows no broken
            // character.
            constexpr std::size_t kShown = 40;
            std::size_t from = 0;
            while (path.size() - from > kShown)
                from += text::CharLength(path, from, text::NativeCodePage());
            m_err << "\r\033[K" << m_checked << " checked, " << m_listed << " 可修复, " << rate
                  << " files/s  " << (from ? "..." : "") << std::string_view(path).substr(from)
                  << std::flush;
        }

        std::ostream& m_err;
        const bool m_shown;
        const std::chrono::steady_clock::time_point m_start;
        std::chrono::steady_clock::time_point m_lastDrawn {};
        std::uint64_t m_items = 0;
        std::uint64_t m_checked = 0;
        std::uint64_t m_listed = 0;
    };

    struct RestoreSummary
    {
        std::uint64_t restored = 0;
        std::map<std::string, std::uint64_t> skipped; // reason -> files
        std::vector<std::string> failed; // "path: reason", in walk order

        void Add(const std::string& path, const RestoreOutcome& outcome)
        {
            switch (outcome.kind) {
            case RestoreOutcome::Kind::Restored:
                ++restored;
                break;
            case RestoreOutcome::Kind::Skipped:
                ++skipped[outcome.detail];
                break;
            case RestoreOutcome::Kind::Failed:
                failed.push_back(EscapeTsv(path) + ": " + outcome.detail);
                break;
            case RestoreOutcome::Kind::None:
                break;
            }
        }

        void Print(std::ostream& err) const
        {
            std::uint64_t skippedCount = 0;
            for (const auto& [reason, count] : skipped)
                skippedCount += count;
            err << "restored " << restored << ", skipped " << skippedCount << ", failed "
                << failed.size() << '\n';
            for (const auto& [reason, count] : skipped)
                err << "  skipped " << count << ": " << reason << '\n';
            for (const std::string& line : failed)
                err << "  failed " << line << '\n';
        }
    };

    // Takes the value of an option given as "--name value" or "--name=value".
    bool TakeValue(const std::vector<std::string>& args, std::size_t& i, std::string_view name,
        std::optional<std::string>& value, std::string& error)
    {
        const std::string& arg = args[i];
        if (arg == name) {
            if (++i == args.size()) {
                error = std::string(name) + " needs a value";
                return true;
            }
            value = args[i];
            return true;
        }
        if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=') {
            value = arg.substr(name.size() + 1);
            return true;
        }
        return false;
    }

} // namespace

ParsedArguments ParseScanArguments(const std::vector<std::string>& args)
{
    ScanOptions options;
    bool haveRoot = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<std::string> value;
        std::string error;
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (haveRoot)
                return Bad("more than one ROOT given");
            options.root = arg;
            haveRoot = true;
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--verify") {
            options.verify = true;
        } else if (arg == "--no-reset") {
            options.noReset = true;
        } else if (arg == "--list-hidden") {
            options.listHidden = true;
        } else if (arg == "--quiet" || arg == "-q") {
            options.quiet = true;
        } else if (TakeValue(args, i, "--pattern", value, error)) {
            if (!error.empty())
                return Bad(error);
            if (value->empty())
                return Bad("the pattern is empty");
            options.pattern = *value;
        } else if (TakeValue(args, i, "--format", value, error)) {
            if (!error.empty())
                return Bad(error);
            if (*value != "tsv" && *value != "csv" && *value != "json")
                return Bad("--format takes tsv, csv or json");
            options.format = value;
        } else if (TakeValue(args, i, "--restore-to", value, error)) {
            if (!error.empty())
                return Bad(error);
            if (value->empty())
                return Bad("the --restore-to folder is empty");
            options.restoreTo = value;
        } else if (TakeValue(args, i, "--threads", value, error)) {
            if (!error.empty())
                return Bad(error);
            int threads = 0;
            const char* end = value->data() + value->size();
            const auto [stop, code] = std::from_chars(value->data(), end, threads);
            if (code != std::errc {} || stop != end || threads < 1 || threads > kMaxThreads)
                return Bad("--threads takes a number from 1 to " + std::to_string(kMaxThreads));
            options.threads = threads;
        } else {
            return Bad("unknown option " + arg);
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

    std::optional<Restorer> restorer;
    if (options.restoreTo) {
        restorer.emplace(platform, *options.restoreTo);
        if (const auto refused = restorer->Prepare(options.root)) {
            err << kProgram << ": " << *refused << '\n';
            return kExitUsage;
        }
    }

    const bool verify = options.verify || restorer.has_value();
    ReportFormat format = ReportFormat::Classic;
    if (options.format == "csv")
        format = ReportFormat::Csv;
    else if (options.format == "json")
        format = ReportFormat::Json;
    else if (options.format || verify || options.listHidden)
        format = ReportFormat::Tsv;
    ReportWriter writer(out, format, { verify, options.listHidden });
    writer.WriteHeader();

    // The walk spells every path as the root followed by the separator and the rest.
    std::size_t rootPrefix = options.root.size();
    if (options.root.empty() || options.root.back() != platform.Separator())
        ++rootPrefix;
    const FileChecker checker(platform, verify, restorer ? &*restorer : nullptr, rootPrefix);

    scan::WalkOptions walkOptions;
    walkOptions.resetAttributes = !options.noReset;
    walkOptions.reportAttributes = options.listHidden;

    Progress progress(err, !options.quiet && platform.IsTerminal(2));
    RestoreSummary summary;
    std::uint64_t rows = 0;
    RunPipeline(platform, options.root, options.pattern, walkOptions, checker, options.threads,
        [&](WalkItem& item) {
            progress.Count(item);
            if (item.kind == WalkItem::Kind::Folder) {
                // Only folders the reset changes: hidden, system or read-only, or anything else
                // beyond the plain archive and folder bits.
                const std::uint32_t plain
                    = platform::kAttributeArchive | platform::kAttributeDirectory;
                if ((item.attributesBefore & ~plain) != 0)
                    writer.WriteFolder({ item.path, item.attributesBefore, !options.noReset });
                return;
            }
            if (!item.check.listed)
                return;
            writer.WriteFile(
                { rows++, item.path, item.check.size, item.check.verdict, item.check.decodes });
            if (restorer)
                summary.Add(item.path, item.check.restore);
        });
    progress.Finish();
    if (restorer)
        summary.Print(err);
    if (!out.flush()) {
        err << kProgram << ": the output could not be written\n";
        return kExitOutputFailed;
    }
    return restorer && !summary.failed.empty() ? kExitRestoreFailed : kExitOk;
}

} // namespace cli
