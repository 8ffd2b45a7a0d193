// Load and save of a large project, and the cost report against the
// day-by-day working-day rule.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "file/LineFile.h"
#include "file/ProjectFile.h"
#include "file/RecoveryWriter.h"
#include "model/CashFlow.h"
#include "model/CostReport.h"
#include "tests/model/WorkingDaysOracle.h"

using namespace MyApp;

namespace {

Date Day(int day, int month, int year) {
    SYSTEMTIME st{};
    st.wDay = static_cast<WORD>(day);
    st.wMonth = static_cast<WORD>(month);
    st.wYear = static_cast<WORD>(year);
    return MakeDate(st);
}

Date DayAfter(const Date& d, int days) {
    std::int64_t ticks;
    SystemTimeToTicks(d.value, ticks);
    SYSTEMTIME st{};
    TicksToSystemTime(ticks + days * TicksPerDay, st);
    return MakeDate(st);
}

// A project shaped for a benchmark: `tasks` tasks of `spanDays` days each,
// starting within `startSpread` days of `first`, and `listDays` entries in
// each day list, spread over `listSpread` days from `first`.
struct Shape {
    int tasks;
    int spanDays;
    int listDays;
    Date first = Day(1, 1, 2024);
    int startSpread = 365;
    int listSpread = 730;
};

Project Generate(const Shape& shape) {
    std::mt19937 random(12345);
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    Project p;
    p.description = "Progetto di prova";
    p.start = shape.first;
    p.end = DayAfter(shape.first, shape.startSpread + shape.spanDays);
    for (int i = 0; i < 5; ++i) p.workingWeekdays[i] = 1;
    for (int i = 0; i < shape.tasks; ++i) {
        Task t;
        t.description = "Attivit\xE0 numero " + std::to_string(i);
        t.start = DayAfter(p.start, pick(0, shape.startSpread));
        t.end = DayAfter(t.start, shape.spanDays - 1);
        t.colour = ColourAzzuro;
        t.resources = pick(1, 20);
        t.dailyCost = pick(1000, 100000) / 4.0;
        p.tasks.push_back(t);
    }
    for (int i = 0; i < shape.listDays; ++i) {
        p.includeDays.push_back(DayAfter(p.start, pick(0, shape.listSpread)));
        p.excludeDays.push_back(DayAfter(p.start, pick(0, shape.listSpread)));
    }
    return p;
}

std::string TempPath(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

void BM_SaveProject100k(benchmark::State& state) {
    const Project p = Generate({100000, 30, 50});
    const std::string path = TempPath("velmora-bench-save.vmo");
    std::size_t bytes = 0;
    for (auto _ : state) {
        if (!SaveProjectFile(path, p)) state.SkipWithError("save failed");
        bytes = std::filesystem::file_size(path);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
    std::filesystem::remove(path);
}

void BM_LoadProject100k(benchmark::State& state) {
    const std::string path = TempPath("velmora-bench-load.vmo");
    SaveProjectFile(path, Generate({100000, 30, 50}));
    const std::size_t bytes = std::filesystem::file_size(path);
    for (auto _ : state) {
        Project p;
        if (LoadProjectFile(path, p) != LoadResult::Ok || p.tasks.size() != 100000) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(p.tasks.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
    std::filesystem::remove(path);
}

// The recovery copy of 100,000 tasks, in its two parts. On the window's
// thread: the snapshot of the project taken after a change.
void BM_RecoverySnapshot100k(benchmark::State& state) {
    const Project p = Generate({100000, 30, 50});
    for (auto _ : state) {
        auto snapshot = std::make_shared<const Project>(p);
        benchmark::DoNotOptimize(snapshot.get());
    }
}

// On the writer's thread: the snapshot turned into the file's content and
// written with its record, each in one step. The window's thread only hands
// it over and asks; what that costs it is the counter ui_us.
void BM_RecoveryCopy100k(benchmark::State& state) {
    const auto snapshot = std::make_shared<const Project>(Generate({100000, 30, 50}));
    RecoveryWriter writer({TempPath("velmora-bench-recupero.vmo"), TempPath("velmora-bench-recupero.txt"), nullptr});
    RecoveryRecord record;
    record.projectPath = "C:\\Progetti\\piano.vmo";
    double handingOver = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        writer.Hand(snapshot, record);
        writer.WriteNow();
        handingOver += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
        if (!writer.WaitIdle(std::chrono::seconds(30)) || !writer.UpToDate()) state.SkipWithError("copy not written");
    }
    state.counters["ui_us"] = handingOver / static_cast<double>(state.iterations());
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(writer.Files().copyPath)) / 1e6;
    writer.RemoveFiles();
    writer.Stop(std::chrono::seconds(30));
}

const AmountFormat Italian{",", ".", "3;0"};

const Project& ReportProject() {
    static const Project p = Generate({2000, 365, 200});
    return p;
}

// The report of a project, again and again.
void Report(benchmark::State& state, const Project& p) {
    std::string text;
    Money total;
    for (auto _ : state) {
        BuildCostReport(p, Italian, text, total);
        benchmark::DoNotOptimize(total);
    }
}

void BM_CostReport2000(benchmark::State& state) { Report(state, ReportProject()); }

// The working days of the same 2,000 tasks alone, without the report's text.
void BM_CountWorkingDays2000(benchmark::State& state) {
    for (auto _ : state) {
        const WorkingDayCalendar calendar(ReportProject());
        long long days = 0;
        for (const Task& t : ReportProject().tasks) days += calendar.CountWorkingDays(t.start, t.end);
        benchmark::DoNotOptimize(days);
    }
}

// 100,000 tasks of 30 years each, with 1,000 entries in each list spread
// over the tasks' years.
void BM_CostReport100kTasks30Years(benchmark::State& state) {
    Report(state, Generate({100000, 30 * 365 + 7, 1000, Day(1, 1, 2000), 3650, 40 * 365}));
}

// 20,000 tasks of 8,400 years each, from the first years of the calendar.
void BM_CostReport20kTasks8400Years(benchmark::State& state) {
    Report(state, Generate({20000, 8400 * 365 + 2036, 200, Day(1, 1, 1601), 365, 8400 * 365}));
}

void BM_CostReport2000DayByDay(benchmark::State& state) {
    std::string text;
    double total = 0;
    for (auto _ : state) {
        Oracle::BuildCostReport(ReportProject(), Italian, text, total);
        benchmark::DoNotOptimize(total);
    }
}

// The months of 100,000 tasks over 100 years, with 1,000 entries in each
// list: tasks of a quarter spread over the century, and every task as long as
// the century.
void BM_MonthlyCosts100kTasks100Years(benchmark::State& state) {
    const int spanDays = static_cast<int>(state.range(0));
    const Project p = Generate({100000, spanDays, 1000, Day(1, 1, 2000), 36525 - spanDays, 36525});
    std::size_t months = 0;
    for (auto _ : state) months = MonthlyCosts(p).size();
    state.counters["months"] = static_cast<double>(months);
}

BENCHMARK(BM_SaveProject100k)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadProject100k)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RecoverySnapshot100k)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RecoveryCopy100k)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CostReport2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountWorkingDays2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CostReport100kTasks30Years)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CostReport20kTasks8400Years)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MonthlyCosts100kTasks100Years)->Arg(90)->Arg(36525)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CostReport2000DayByDay)->Unit(benchmark::kMillisecond)->Iterations(1);

// The two reports side by side once, before the timed runs: same text, same
// total, and how much faster the program's count is.
void CompareReports() {
    using Clock = std::chrono::steady_clock;
    std::string fastText, slowText;
    Money fastTotal;
    double slowTotal = 0;
    const Project& p = ReportProject();
    const auto t0 = Clock::now();
    const int fastRuns = 20;
    for (int i = 0; i < fastRuns; ++i) BuildCostReport(p, Italian, fastText, fastTotal);
    const auto t1 = Clock::now();
    Oracle::BuildCostReport(p, Italian, slowText, slowTotal);
    const auto t2 = Clock::now();
    const double fastMs = std::chrono::duration<double, std::milli>(t1 - t0).count() / fastRuns;
    const double slowMs = std::chrono::duration<double, std::milli>(t2 - t1).count();
    std::printf("Cost report, %zu tasks of 365 days, %zu + %zu listed days:\n", p.tasks.size(), p.includeDays.size(),
                p.excludeDays.size());
    std::printf("  program %.2f ms, day-by-day rule %.1f ms: %.0f times faster\n", fastMs, slowMs, slowMs / fastMs);
    std::printf("  identical text: %s (%zu bytes), identical total: %s (%.2f)\n", fastText == slowText ? "yes" : "NO",
                fastText.size(), fastTotal.ToDouble() == slowTotal ? "yes" : "NO", fastTotal.ToDouble());
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    CompareReports();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
