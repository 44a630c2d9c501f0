// Benchmarks of JSON strings, the part of reading and writing designs that
// looks at every byte of every text: writing texts quoted, and reading design
// objects and long strings back. Short names are what a design is mostly made
// of; the long texts are a name or a bore pasted in whole.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/json_reader.h"
#include "formats/json_text.h"

namespace {

using brennick::json::Reader;

// Plain ASCII of `size` bytes, a quote every `every` bytes when that is not 0.
std::string Text(std::size_t size, std::size_t every) {
  std::string text;
  text.reserve(size);
  for (std::size_t i = 0; i < size; ++i) {
    text += every != 0 && i % every == every - 1 ? '"' : static_cast<char>('a' + i % 26);
  }
  return text;
}

void Quote(benchmark::State& state, const std::string& text) {
  std::string out;
  for (auto _ : state) {
    out.clear();
    brennick::json::AppendQuoted(out, text);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_QuoteShortNames(benchmark::State& state) {
  // Field names and short texts, as a design object has them.
  const std::vector<std::string> names = {"NameEdit", "TLEdit",      "BarrelLengthEdit", "8",
                                          "10mm",     "Gauss Rifle", "ChambersEdit",     "0,5"};
  std::string out;
  std::size_t bytes = 0;
  for (auto _ : state) {
    out.clear();
    for (const std::string& name : names) brennick::json::AppendQuoted(out, name);
    bytes += out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_QuoteShortNames);

void BM_QuotePlainText32K(benchmark::State& state) {
  Quote(state, Text(32767, 0));
}
BENCHMARK(BM_QuotePlainText32K);

void BM_QuoteTextWithQuotes32K(benchmark::State& state) {
  Quote(state, Text(32767, 40));
}
BENCHMARK(BM_QuoteTextWithQuotes32K);

// An array of `count` strings, each `text` quoted.
void ReadStrings(benchmark::State& state, const std::string& text, std::size_t count) {
  std::string json = "[";
  for (std::size_t i = 0; i < count; ++i) {
    if (i != 0) json += ", ";
    brennick::json::AppendQuoted(json, text);
  }
  json += "]";
  std::string value;
  for (auto _ : state) {
    Reader reader(brennick::json::ReadFromText(json));
    reader.NextTopLevel();
    reader.BeginArray();
    while (reader.NextElement()) {
      reader.ReadString(value);
      benchmark::DoNotOptimize(value.data());
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * json.size()));
}

void BM_ReadShortStrings(benchmark::State& state) {
  ReadStrings(state, "Gauss Rifle", 4096);
}
BENCHMARK(BM_ReadShortStrings);

void BM_ReadPlainText32K(benchmark::State& state) {
  ReadStrings(state, Text(32767, 0), 16);
}
BENCHMARK(BM_ReadPlainText32K);

void BM_ReadTextWithQuotes32K(benchmark::State& state) {
  ReadStrings(state, Text(32767, 40), 16);
}
BENCHMARK(BM_ReadTextWithQuotes32K);

// Objects of short keys, as design objects are: the keys are scanned where
// they stand in the buffer.
void BM_ReadKeys(benchmark::State& state) {
  std::string json = "[";
  for (int i = 0; i < 1000; ++i) {
    json += i == 0 ? "{" : ", {";
    json += R"("NameEdit": 1, "BarrelLengthEdit": 2, "ChambersEdit": 3, "TLEdit": 4})";
  }
  json += "]";
  std::string_view key;
  for (auto _ : state) {
    Reader reader(brennick::json::ReadFromText(json));
    reader.NextTopLevel();
    reader.BeginArray();
    while (reader.NextElement()) {
      reader.BeginObject();
      while (reader.NextMember(key)) {
        benchmark::DoNotOptimize(key.data());
        reader.SkipValue();
      }
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * json.size()));
}
BENCHMARK(BM_ReadKeys);

}  // namespace

BENCHMARK_MAIN();
