// SoftExt against the x87's long double: each operation over a block of
// operands, and a mix of the design run's own arithmetic (products of a
// double and table factors stored back as doubles, square roots and
// roundings to integers, comparisons with the dice limits). On x86 only,
// where long double is the x87 type; elsewhere only SoftExt is timed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/soft_ext.h"
#include "engine/soft_ext_math.h"

namespace {

using brennick::SoftExt;
using namespace brennick::literals;

constexpr std::size_t kBlock = 1024;

// Values like a run's: bores, weights and factors from 0.01 to 10,000.
const std::vector<double>& Doubles(unsigned seed) {
  static std::vector<double> sets[3];
  std::vector<double>& v = sets[seed % 3];
  if (v.empty()) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> exponent(-2, 4);
    for (std::size_t i = 0; i < kBlock; ++i) v.push_back(std::pow(10.0, exponent(rng)));
  }
  return v;
}

template <typename T>
std::vector<T> Values(unsigned seed) {
  std::vector<T> out;
  for (double d : Doubles(seed)) out.push_back(T(d) / 3);  // all 64 bits in use
  return out;
}

// The type's own functions, named alike.
long double Sqrt(long double x) {
  return std::sqrt(x);
}
SoftExt Sqrt(SoftExt x) {
  return sqrt(x);
}
std::int64_t Round(long double x) {
  return std::llrint(x);
}
std::int64_t Round(SoftExt x) {
  return llrint(x);
}
long double Floor(long double x) {
  return std::floor(x);
}
SoftExt Floor(SoftExt x) {
  return floor(x);
}
long double Cbrt(long double x) {
  return std::cbrt(x);
}
SoftExt Cbrt(SoftExt x) {
  return brennick::SoftCbrt(x);
}
long double Log10(long double x) {
  return std::log10(x);
}
SoftExt Log10(SoftExt x) {
  return brennick::SoftLog10(x);
}
long double PowThird(long double x) {
  return std::pow(x, 1.0L / 3.0L);
}
SoftExt PowThird(SoftExt x) {
  return brennick::SoftPowThird(x);
}

template <typename T, typename Op>
void Binary(benchmark::State& state, Op op) {
  const std::vector<T> a = Values<T>(1);
  const std::vector<T> b = Values<T>(2);
  for (auto _ : state) {
    for (std::size_t i = 0; i < kBlock; ++i) {
      T r = op(a[i], b[i]);
      benchmark::DoNotOptimize(r);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kBlock));
}

template <typename T, typename Op>
void Unary(benchmark::State& state, Op op) {
  const std::vector<T> a = Values<T>(1);
  for (auto _ : state) {
    for (std::size_t i = 0; i < kBlock; ++i) {
      auto r = op(a[i]);
      benchmark::DoNotOptimize(r);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kBlock));
}

template <typename T>
void BM_Add(benchmark::State& s) {
  Binary<T>(s, [](T a, T b) { return a + b; });
}
template <typename T>
void BM_Sub(benchmark::State& s) {
  Binary<T>(s, [](T a, T b) { return a - b; });
}
template <typename T>
void BM_Mul(benchmark::State& s) {
  Binary<T>(s, [](T a, T b) { return a * b; });
}
template <typename T>
void BM_Div(benchmark::State& s) {
  Binary<T>(s, [](T a, T b) { return a / b; });
}
template <typename T>
void BM_Less(benchmark::State& s) {
  Binary<T>(s, [](T a, T b) { return T(a < b ? 1 : 0); });
}
template <typename T>
void BM_Sqrt(benchmark::State& s) {
  Unary<T>(s, [](T a) { return Sqrt(a); });
}
template <typename T>
void BM_Floor(benchmark::State& s) {
  Unary<T>(s, [](T a) { return Floor(a); });
}
template <typename T>
void BM_RoundToInt(benchmark::State& s) {
  Unary<T>(s, [](T a) { return Round(a); });
}
template <typename T>
void BM_ToDouble(benchmark::State& s) {
  Unary<T>(s, [](T a) { return static_cast<double>(a); });
}
template <typename T>
void BM_FromDouble(benchmark::State& s) {
  const std::vector<double>& a = Doubles(1);
  for (auto _ : s) {
    for (double d : a) {
      T r = T(d);
      benchmark::DoNotOptimize(r);
    }
  }
  s.SetItemsProcessed(static_cast<std::int64_t>(s.iterations() * kBlock));
}
template <typename T>
void BM_Cbrt(benchmark::State& s) {
  Unary<T>(s, [](T a) { return Cbrt(a); });
}
template <typename T>
void BM_Log10(benchmark::State& s) {
  Unary<T>(s, [](T a) { return Log10(a); });
}
template <typename T>
void BM_PowThird(benchmark::State& s) {
  Unary<T>(s, [](T a) { return PowThird(a); });
}

// The run's arithmetic on one design's quantities: products of a double and
// table factors, each stored back as a double; a square root rounded to a
// whole number; a fraction compared with the dice limits; sums of weights.
template <typename T>
double Mix(double bore, double power, double weight) {
  const double dice = static_cast<double>(T(bore) * 1.25 * 0.5 * 0.8 * power);
  const std::int64_t whole = static_cast<std::int64_t>(T(dice));
  const T fraction = T(dice) - T(whole);
  int adds = fraction < T(0.15) ? 0 : fraction < T(0.43) ? 1 : 2;
  const T product = Sqrt(T(bore)) * 0.9 * 375 * 0.5 * 1.2 * power;
  const std::int64_t half = Round(product);
  const double body = static_cast<double>(T(bore) * bore * 0.02 * 0.3 * power);
  const double empty = static_cast<double>(T(body) + weight);
  const std::int64_t strength = Round(Sqrt(T(10) * empty + T(9) * empty * 2));
  const std::int64_t cost = Round(T(350) * empty * 1.5);
  const std::int64_t rof = Round(T(bore) / 20);
  return static_cast<double>(half + strength + cost + rof + adds) + dice + body;
}

template <typename T>
void BM_EngineMix(benchmark::State& s) {
  const std::vector<double>& bores = Doubles(1);
  const std::vector<double>& powers = Doubles(2);
  const std::vector<double>& weights = Doubles(3);
  for (auto _ : s) {
    for (std::size_t i = 0; i < kBlock; ++i) {
      double r = Mix<T>(bores[i], powers[i] * 0.01, weights[i]);
      benchmark::DoNotOptimize(r);
    }
  }
  s.SetItemsProcessed(static_cast<std::int64_t>(s.iterations() * kBlock));
}

#define BOTH(name)                                           \
  BENCHMARK_TEMPLATE(name, long double)->Name(#name "/x87"); \
  BENCHMARK_TEMPLATE(name, SoftExt)->Name(#name "/SoftExt")

#if LDBL_MANT_DIG == 64 && (defined(__x86_64__) || defined(__i386__))
BOTH(BM_Add);
BOTH(BM_Sub);
BOTH(BM_Mul);
BOTH(BM_Div);
BOTH(BM_Less);
BOTH(BM_Sqrt);
BOTH(BM_Floor);
BOTH(BM_RoundToInt);
BOTH(BM_ToDouble);
BOTH(BM_FromDouble);
BOTH(BM_Cbrt);
BOTH(BM_Log10);
BOTH(BM_PowThird);
BOTH(BM_EngineMix);
#else
BENCHMARK_TEMPLATE(BM_Add, SoftExt);
BENCHMARK_TEMPLATE(BM_Mul, SoftExt);
BENCHMARK_TEMPLATE(BM_Div, SoftExt);
BENCHMARK_TEMPLATE(BM_Sqrt, SoftExt);
BENCHMARK_TEMPLATE(BM_EngineMix, SoftExt);
#endif

}  // namespace

BENCHMARK_MAIN();
