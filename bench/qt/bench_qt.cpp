// The real-time tick through the Qt backend, with the multi-timeframe window
// shown (offscreen), and the events it leaves for the toolkit handled too.
#include "full_folder.h"

#include "engine/columns.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/host.h"
#include "platform/qt/qt_ui.h"
#include "shell/main_handler.h"
#include "shell/startup.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

using namespace vz;

void BM_QtTickWithTheColumnsShown(benchmark::State& state) {
    bench::FullFolder folder;
    QtUi ui;
    StdFileSystem files;
    SystemClock clock;
    App app(Host{ui, files, clock});
    startUp(app, folder.folder());
    app.market.referenceDayIndex = 10;
    for (int k = 0; k < COLUMN_COUNT; ++k) {
        app.columns[static_cast<std::size_t>(k)].referenceIndex = 20 + k;
    }
    ui.showWindow(app.host.windows.multiTimeframe, ShowCommand::Show);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        runRealTimeTick(app);
        // Repaints and layout happen when the toolkit gets its turn.
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_QtTickWithTheColumnsShown)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
