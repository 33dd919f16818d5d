#include "cli/pipeline.h"

#include "results/repairpreview.h"
#include "scan/classifier.h"
#include "scan/scangate.h"
#include "scan/walksink.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace cli {

namespace {

    // Items the walk may run ahead of the output. Enough to keep every worker busy across a folder
    // of small files, small enough that a stalled output (a paused pipe) holds little memory.
    constexpr std::size_t kQueueCapacity = 4096;

    // Everything on one thread: the walk checks each file as it reaches it.
    class InlineSink final : public scan::WalkSink
    {
    public:
        InlineSink(const FileChecker& checker, const std::function<void(WalkItem&)>& deliver)
            : m_checker(checker)
            , m_deliver(deliver)
        { }
        void OnFolderOrFile(const std::string&) override { }
        void OnRepairable(const std::string&) override { }
        void OnFileToCheck(const std::string& path) override
        {
            m_item.kind = WalkItem::Kind::File;
            m_item.path = path;
            m_item.check = m_checker.Check(path);
            m_deliver(m_item);
        }
        void OnFolderAttributes(const std::string& path, std::uint32_t before) override
        {
            m_item.kind = WalkItem::Kind::Folder;
            m_item.path = path;
            m_item.attributesBefore = before;
            m_item.check = {};
            m_deliver(m_item);
        }

    private:
        const FileChecker& m_checker;
        const std::function<void(WalkItem&)>& m_deliver;
        WalkItem m_item;
    };

    // The walk appends, workers fill in file slots in any order, the caller takes finished slots
    // from the front. std::deque keeps references to its elements valid across push_back and
    // pop_front, so a worker fills its slot without holding the lock.
    class OrderedQueue final : public scan::WalkSink
    {
    public:
        void OnFolderOrFile(const std::string&) override { }
        void OnRepairable(const std::string&) override { }
        void OnFileToCheck(const std::string& path) override
        {
            Push({ WalkItem::Kind::File, path, 0, {} }, false);
        }
        void OnFolderAttributes(const std::string& path, std::uint32_t before) override
        {
            Push({ WalkItem::Kind::Folder, path, before, {} }, true);
        }

        void WalkDone()
        {
            {
                std::lock_guard lock(m_mutex);
                m_walkDone = true;
            }
            m_work.notify_all();
            m_ready.notify_all();
        }

        void Work(const FileChecker& checker)
        {
            std::unique_lock lock(m_mutex);
            for (;;) {
                m_work.wait(lock, [this] { return ClaimableLocked() || m_walkDone; });
                if (!ClaimableLocked())
                    return; // the walk is over and every file is claimed
                Slot& slot = m_slots[m_nextClaim++ - m_first];
                lock.unlock();
                FileCheck check = checker.Check(slot.item.path);
                lock.lock();
                slot.item.check = std::move(check);
                slot.ready = true;
                if (&slot == &m_slots.front())
                    m_ready.notify_one();
            }
        }

        // Hands the finished items at the front to deliver, in order; false once everything is out.
        bool DeliverReady(const std::function<void(WalkItem&)>& deliver)
        {
            m_batch.clear();
            {
                std::unique_lock lock(m_mutex);
                m_ready.wait(lock, [this] {
                    return (!m_slots.empty() && m_slots.front().ready)
                        || (m_walkDone && m_slots.empty());
                });
                if (m_slots.empty())
                    return false;
                while (!m_slots.empty() && m_slots.front().ready) {
                    m_batch.push_back(std::move(m_slots.front().item));
                    m_slots.pop_front();
                    ++m_first;
                }
            }
            m_space.notify_one();
            for (WalkItem& item : m_batch)
                deliver(item);
            return true;
        }

    private:
        struct Slot
        {
            WalkItem item;
            bool ready = false;
        };

        void Push(WalkItem item, bool ready)
        {
            {
                std::unique_lock lock(m_mutex);
                m_space.wait(lock, [this] { return m_slots.size() < kQueueCapacity; });
                m_slots.push_back({ std::move(item), ready });
                // Folder slots need no worker: step the claim point over them so workers see only
                // files.
                SkipReadyLocked();
            }
            if (ready)
                m_ready.notify_one();
            else
                m_work.notify_one();
        }

        void SkipReadyLocked()
        {
            while (m_nextClaim - m_first < m_slots.size() && m_slots[m_nextClaim - m_first].ready)
                ++m_nextClaim;
        }

        bool ClaimableLocked()
        {
            SkipReadyLocked();
            return m_nextClaim - m_first < m_slots.size();
        }

        std::mutex m_mutex;
        std::condition_variable m_work; // a file slot to claim, or the walk ended
        std::condition_variable m_ready; // the front slot is finished, or everything is
        std::condition_variable m_space; // the walk may append again
        std::deque<Slot> m_slots;
        std::uint64_t m_first = 0; // sequence number of m_slots.front()
        std::uint64_t m_nextClaim = 0; // sequence number of the next slot for a worker
        bool m_walkDone = false;
        std::vector<WalkItem> m_batch; // the caller's thread only
    };

} // namespace

FileChecker::FileChecker(
    platform::Platform& platform, bool verify, Restorer* restorer, std::size_t rootPrefixLength)
    : m_platform(platform)
    , m_verify(verify || restorer)
    , m_restorer(restorer)
    , m_rootPrefixLength(rootPrefixLength)
{ }

FileCheck FileChecker::Check(const std::string& path) const
{
    using Kind = RestoreOutcome::Kind;
    FileCheck result;
    const platform::FileHead head = m_platform.ReadHeadIfLength(
        path, scan::kHeadLength, scan::kSmallestChecked, scan::kLargestChecked);
    result.size = head.length;
    if (head.length < scan::kSmallestChecked || head.length > scan::kLargestChecked
        || !scan::ClassifyHead(path, head, m_platform.Separator()))
        return result;
    result.listed = true;
    if (!m_verify)
        return result;

    result.verdict = results::JudgeInversion(head.bytes);
    if (!result.verdict.inverted) {
        if (m_restorer)
            result.restore = { Kind::Skipped, "not proven inverted" };
        return result;
    }
    const std::string_view format = result.verdict.format;
    if (result.verdict.wantsDecodeCheck && results::DecodeCheckNeedsHeadOnly(format))
        result.decodes = results::CheckRestoredDecodes(format, results::RestoredCopy(head.bytes));
    const bool decodeWhole
        = result.verdict.wantsDecodeCheck && !results::DecodeCheckNeedsHeadOnly(format);
    if (!decodeWhole && !m_restorer)
        return result;

    const std::optional<std::string> whole = m_platform.ReadWholeFile(path, scan::kLargestChecked);
    if (!whole) {
        if (decodeWhole)
            result.decodes = results::DecodeCheck::Fails;
        if (m_restorer)
            result.restore = { Kind::Failed, "cannot read the file again" };
        return result;
    }
    const std::string restored = results::RestoredCopy(*whole);
    if (decodeWhole)
        result.decodes = results::CheckRestoredDecodes(format, restored);
    if (!m_restorer)
        return result;
    // The copy is written only from the bytes that were judged: a file that changed in between is
    // not restored from a head nobody looked at.
    if (whole->compare(0, head.bytes.size(), head.bytes) != 0) {
        result.restore = { Kind::Skipped, "changed while it was checked" };
        return result;
    }
    result.restore
        = m_restorer->Restore(std::string_view(path).substr(m_rootPrefixLength), restored);
    return result;
}

void RunPipeline(platform::Platform& platform, const std::string& root, const std::string& pattern,
    scan::WalkOptions options, const FileChecker& checker, int threads,
    const std::function<void(WalkItem&)>& deliver)
{
    options.deferFileChecks = true;
    scan::ScanGate gate;
    if (threads <= 1) {
        InlineSink sink(checker, deliver);
        scan::WalkFolder(platform, root, pattern, gate, sink, options);
        return;
    }
    OrderedQueue queue;
    std::vector<std::jthread> workers;
    workers.reserve(static_cast<std::size_t>(threads) + 1);
    workers.emplace_back([&] {
        scan::WalkFolder(platform, root, pattern, gate, queue, options);
        queue.WalkDone();
    });
    for (int i = 0; i < threads; ++i)
        workers.emplace_back([&] { queue.Work(checker); });
    while (queue.DeliverReady(deliver)) { }
}

} // namespace cli
