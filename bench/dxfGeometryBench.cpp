// Flattening circles as the DXF reader does for every CIRCLE, against the
// limit: a loop that writes the same number of points by turning a unit
// vector into a buffer reused across circles (no checks, no allocation).
//
// Workload: 4096 circles with radii spread from 0.5 to 500 drawing units
// (a 1 mm to a 1 m circle on paper at 1:1) at a tolerance of 0.05. Counter:
// points per second. A summary after the run gives the ratio of
// flattenCircle to the limit.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "geometry/arc.h"
#include "geometry/chordCount.h"

namespace {

using namespace tavix::geometry;

constexpr int CIRCLES = 4096;
constexpr double TOLERANCE = 0.05;

double radiusOf(int i) { return 0.5 * std::pow(1000.0, static_cast<double>(i) / (CIRCLES - 1)); }

std::size_t flattenAll() {
  std::size_t points = 0;
  for (int i = 0; i < CIRCLES; ++i) {
    const auto circle = flattenCircle({double(i), 1.0}, radiusOf(i), TOLERANCE);
    points += circle->size();
    benchmark::DoNotOptimize(circle->data());
  }
  return points;
}

std::size_t limitAll(std::vector<Point>& buffer) {
  std::size_t points = 0;
  for (int i = 0; i < CIRCLES; ++i) {
    const double r = radiusOf(i);
    const int n = chordCount(r, 2 * std::numbers::pi, TOLERANCE);
    buffer.resize(n + 1);
    const double sc = std::cos(2 * std::numbers::pi / n), ss = std::sin(2 * std::numbers::pi / n);
    double c = 1, s = 0;
    for (int k = 0; k <= n; ++k) {
      buffer[k] = {double(i) + r * c, 1.0 + r * s};
      const double nc = c * sc - s * ss;
      s = c * ss + s * sc;
      c = nc;
    }
    points += buffer.size();
    benchmark::DoNotOptimize(buffer.data());
  }
  return points;
}

void flattenCircles(benchmark::State& state) {
  std::size_t points = 0;
  for (auto _ : state) points += flattenAll();
  state.counters["points"] = benchmark::Counter(double(points), benchmark::Counter::kIsRate);
}
BENCHMARK(flattenCircles);

void limitCircles(benchmark::State& state) {
  std::vector<Point> buffer;
  std::size_t points = 0;
  for (auto _ : state) points += limitAll(buffer);
  state.counters["points"] = benchmark::Counter(double(points), benchmark::Counter::kIsRate);
}
BENCHMARK(limitCircles);

// The ratio, measured here in alternating rounds so both see the same load.
double secondsOf(auto work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::vector<Point> buffer;
  double ours = 0, limit = 0;
  for (int round = 0; round < 20; ++round) {
    ours += secondsOf([] { flattenAll(); });
    limit += secondsOf([&] { limitAll(buffer); });
  }
  std::printf("flattenCircle / limit: %.2f (%d circles, %zu points a round)\n", ours / limit, CIRCLES,
              flattenAll());
  benchmark::Shutdown();
  return 0;
}
