// Number conversions against the standard library on the same million values and words: the
// cell form against std::to_chars (fixed, three decimals), the parser against std::from_chars.

#include <benchmark/benchmark.h>

#include <charconv>
#include <string>
#include <vector>

#include "bench/number_mix.h"
#include "data/number_text.h"

namespace {

constexpr std::size_t kCount = 1'000'000;

const std::vector<double>& Values() {
  static const std::vector<double> kValues = tolbench::NumberMix(kCount);
  return kValues;
}

const std::vector<std::string>& Words() {
  static const std::vector<std::string> kWords = tolbench::WordMix(Values());
  return kWords;
}

void BM_CellNumberText(benchmark::State& state) {
  const std::vector<double>& values = Values();
  for (auto _ : state) {
    std::size_t length = 0;
    for (double v : values) length += tol::CellNumberText(v).size();
    benchmark::DoNotOptimize(length);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * values.size()));
}

// The same product as the cell form, a text in a std::string.
void BM_ToCharsFixed3(benchmark::State& state) {
  const std::vector<double>& values = Values();
  for (auto _ : state) {
    std::size_t length = 0;
    for (double v : values) {
      char buffer[400];  // room for the widest fixed form of a binary64
      const auto result =
          std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 3);
      length += std::string(buffer, result.ptr).size();
    }
    benchmark::DoNotOptimize(length);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * values.size()));
}

// std::to_chars alone, into a buffer: the lower bound of any formatting.
void BM_ToCharsFixed3Buffer(benchmark::State& state) {
  const std::vector<double>& values = Values();
  for (auto _ : state) {
    std::size_t length = 0;
    for (double v : values) {
      char buffer[400];
      const auto result =
          std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 3);
      length += static_cast<std::size_t>(result.ptr - buffer);
      benchmark::DoNotOptimize(buffer);
    }
    benchmark::DoNotOptimize(length);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * values.size()));
}

// Each result is only made to exist (DoNotOptimize), as a caller that stores or checks it would.
void BM_NumberFromText(benchmark::State& state) {
  const std::vector<std::string>& words = Words();
  for (auto _ : state) {
    int errors = 0;
    for (const std::string& word : words) {
      const tol::NumberResult result = tol::NumberFromText(word);
      benchmark::DoNotOptimize(result);
      errors += result.error != 0;
    }
    if (errors != 0) state.SkipWithError("a benchmark word did not parse");
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * words.size()));
}

void BM_FromChars(benchmark::State& state) {
  const std::vector<std::string>& words = Words();
  for (auto _ : state) {
    int errors = 0;
    for (const std::string& word : words) {
      double value = 0.0;
      const auto result = std::from_chars(word.data(), word.data() + word.size(), value);
      benchmark::DoNotOptimize(value);
      errors += result.ec != std::errc() || result.ptr != word.data() + word.size();
    }
    if (errors != 0) state.SkipWithError("a benchmark word did not parse");
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * words.size()));
}

// The same two, summing the results instead. An extended sum cannot stay in an x87 register
// across a call, so it makes a 10-byte store and reload per word, one chain through memory that
// the binary64 sum of the baseline does not have: the difference is the harness's, not the
// parser's.
void BM_NumberFromTextSummed(benchmark::State& state) {
  const std::vector<std::string>& words = Words();
  for (auto _ : state) {
    long double sum = 0.0L;
    for (const std::string& word : words) sum += tol::NumberFromText(word).value;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * words.size()));
}

void BM_FromCharsSummed(benchmark::State& state) {
  const std::vector<std::string>& words = Words();
  for (auto _ : state) {
    double sum = 0.0;
    for (const std::string& word : words) {
      double value = 0.0;
      std::from_chars(word.data(), word.data() + word.size(), value);
      sum += value;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * words.size()));
}

BENCHMARK(BM_CellNumberText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToCharsFixed3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToCharsFixed3Buffer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NumberFromText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FromChars)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NumberFromTextSummed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FromCharsSummed)->Unit(benchmark::kMillisecond);

}  // namespace
