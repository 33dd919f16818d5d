// The window's scan against filemend-scan over the same tree, in one run: time to "扫描完成", the
// longest stall of the event loop while the walk runs, and the memory the list and the walk hold.
// Usage: gui_scan_bench TREE FILEMEND_SCAN [runs]

#include "app/appstate.h"
#include "app/messageboxes.h"
#include "app/scanhandlers.h"
#include "platform/platform.h"
#include "results/resultsmodel.h"
#include "scan/folderwalk.h"
#include "ui/mainwindow.h"
#include "ui/tiledlabel.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <string>

#include <malloc.h>

namespace {

class YesBoxes final : public app::MessageBoxes
{
public:
    bool AskYesNo(const QString&) override { return true; }
    void Tell(const QString&) override { }
};

std::size_t HeapInUse()
{
    const auto info = mallinfo2();
    return info.uordblks + info.hblkhd; // large blocks are mapped, not counted in uordblks
}

double CliSeconds(const QString& scan, const QString& tree)
{
    QElapsedTimer clock;
    clock.start();
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(scan, { tree });
    process.waitForFinished(-1);
    return clock.nsecsElapsed() / 1e9;
}

struct GuiRun
{
    double seconds = 0;
    qint64 longestStallMs = 0;
    int rows = 0;
};

GuiRun GuiSeconds(const std::string& tree)
{
    app::AppState state;
    app::InitGlobals(state, platform::CreateNativePlatform());
    ui::MainWindow window;
    YesBoxes boxes;
    app::ScanHandlers handlers(state, window, boxes);
    window.show();
    window.rootCombo()->setEditText(QString::fromStdString(tree));
    window.patternCombo()->setCurrentIndex(0);

    // A timer that should fire every 5 ms: any longer gap is time the event loop was held.
    constexpr int kTickMs = 5;
    GuiRun run;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(kTickMs);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        run.longestStallMs = std::max(run.longestStallMs, sinceTick.restart() - kTickMs);
    });

    QEventLoop loop;
    QObject::connect(&handlers.controller(), &scan::ScanController::finished, &loop,
                     &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    ticker.start();
    window.scanBox()->click();
    loop.exec();
    run.seconds = clock.nsecsElapsed() / 1e9;
    run.rows = window.resultsModel()->rowCount();
    return run;
}

// Heap the results list holds per row beyond the path's own bytes.
double ModelBytesPerRow()
{
    constexpr int kRows = 1'000'000;
    const std::string path(60, 'p');
    results::ResultsModel model;
    const std::size_t before = HeapInUse();
    std::vector<results::ResultRow> batch;
    for (int i = 0; i < kRows; ++i) {
        batch.push_back({ results::RowStatus::Repairable, path });
        if (batch.size() == 500)
            model.AppendRows(std::exchange(batch, {}));
    }
    model.AppendRows(std::move(batch));
    return double(HeapInUse() - before) / kRows - double(path.size());
}

// The most heap that a walk holds at any moment beyond what it started with.
class HeapSampler final : public scan::WalkSink
{
public:
    explicit HeapSampler(std::size_t base) : m_base(base) { }
    void OnFolderOrFile(const std::string&) override
    {
        if (++m_calls % 512 == 0)
            m_peak = std::max(m_peak, HeapInUse() - std::min(m_base, HeapInUse()));
    }
    void OnRepairable(const std::string&) override { }
    std::size_t peak() const { return m_peak; }

private:
    std::size_t m_base;
    std::size_t m_calls = 0;
    std::size_t m_peak = 0;
};

std::size_t WalkPeakHeap(const std::string& tree)
{
    auto platform = platform::CreateNativePlatform();
    scan::ScanGate gate;
    HeapSampler sampler(HeapInUse());
    scan::WalkFolder(*platform, tree, "*.*", gate, sampler);
    return sampler.peak();
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: gui_scan_bench TREE FILEMEND_SCAN [runs]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen"
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    const std::string tree = argv[1];
    const QString scan = QString::fromLocal8Bit(argv[2]);
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;

    CliSeconds(scan, QString::fromStdString(tree)); // warms the cache
    double cli = 1e9, gui = 1e9;
    GuiRun worst;
    for (int i = 0; i < runs; ++i) {
        cli = std::min(cli, CliSeconds(scan, QString::fromStdString(tree)));
        const GuiRun run = GuiSeconds(tree);
        gui = std::min(gui, run.seconds);
        if (run.longestStallMs > worst.longestStallMs || worst.rows == 0)
            worst = run;
    }
    std::printf("filemend-scan          %8.3f s\n", cli);
    std::printf("window scan            %8.3f s   (%d rows)\n", gui, worst.rows);
    std::printf("ratio window / CLI     %8.3f   (target <= 1.25)\n", gui / cli);
    std::printf("longest loop stall     %8lld ms  (target <= 50)\n",
                static_cast<long long>(worst.longestStallMs));
    std::printf("list bytes per row     %8.1f   beyond the path (target < 100)\n",
                ModelBytesPerRow());
    std::printf("walk peak heap         %8zu bytes\n", WalkPeakHeap(tree));
    return 0;
}
