#pragma once

#include <QString>

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>

class MRKOSnapshot;

// What the snapshot benchmarks share: prepared homes with a roll of records, and a child process per measurement
// with an application and fake services of its own, so that the stores open fresh as at a launch.
namespace snapshotbench {

using Clock = std::chrono::steady_clock;

[[nodiscard]] double since(Clock::time_point start);

/// A home whose roll holds `records` shots in one Snapshots sequence (the archives are not written) and whose cache
/// holds the thumbnails of the first `thumbnails`. Made once per pair and kept for the run.
[[nodiscard]] const QString &home(int records, int thumbnails = 10);

/// Runs `measure` in a child with its own widget application and fake services, the stores in a copy of `home`;
/// the seconds it reports, or -1. `extra` receives up to four further figures the child reports.
double inChild(const QString &home, const std::function<double(double *extra)> &measure, double *extra = nullptr);

/// A 1440 x 900 point shot at scale 2 with a drawn layer.
[[nodiscard]] std::shared_ptr<MRKOSnapshot> bigShot();

void report(benchmark::State &state, double seconds);

} // namespace snapshotbench
