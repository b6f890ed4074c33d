// The download record store against SQLite doing the same work: a store of 1,000,000 photo ids,
// opened (our index is rebuilt from the records), looked up (half present, half absent) and
// extended by 100,000 adds. SQLite keeps the ids the way general downloaders keep an archive: one
// table with one indexed text column.
#include <sqlite3.h>
#include <stdlib.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "download/record_store.h"
#include "download/record_store_layout.h"

namespace ak {
namespace {

constexpr int kRecords = 1000000;
constexpr int kLookups = 1000000;
constexpr int kAdds = 100000;

// Photo ids look like the service's: decimal numbers of ten digits, in no particular order.
std::string PhotoId(std::uint64_t n) {
  return std::to_string(2000000000ULL + (n * 2654435761ULL) % 7000000000ULL);
}
// Ids never in the store (odd numbers above the stored range).
std::string AbsentId(std::uint64_t n) { return std::to_string(9100000001ULL + 2 * n); }

struct Fixture {
  std::filesystem::path folder;
  std::filesystem::path store;   // 1,000,000 records
  std::filesystem::path sqlite;  // the same ids
  std::vector<std::string> probes;

  Fixture() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ak_bench_XXXXXX").string();
    folder = mkdtemp(pattern.data());
    store = folder / "source.edb";
    sqlite = folder / "archive.sqlite";

    std::string bytes = NewStoreBytes(45292.5);
    bytes.reserve(bytes.size() + static_cast<std::size_t>(kRecords) * 24);
    for (int i = 0; i < kRecords; ++i) {
      char record[24] = {};
      WriteLe32(record, static_cast<std::uint32_t>(i + 1));
      const std::string id = PhotoId(static_cast<std::uint64_t>(i));
      id.copy(record + 4, 20);
      bytes.append(record, sizeof record);
    }
    WriteLe32(bytes.data() + 16, kRecords);
    WriteLe32(bytes.data() + 20, kRecords + 1);
    std::ofstream(store, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

    sqlite3* db = nullptr;
    sqlite3_open(sqlite.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE archive (entry TEXT PRIMARY KEY)", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO archive (entry) VALUES (?)", -1, &insert, nullptr);
    for (int i = 0; i < kRecords; ++i) {
      const std::string id = PhotoId(static_cast<std::uint64_t>(i));
      sqlite3_bind_text(insert, 1, id.data(), static_cast<int>(id.size()), SQLITE_TRANSIENT);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);

    // Present and absent ids alternate, present ones spread over the whole store.
    probes.reserve(kLookups);
    for (int i = 0; i < kLookups; ++i) {
      const auto n = static_cast<std::uint64_t>(i) * 7919 % kRecords;
      probes.push_back(i % 2 ? AbsentId(n) : PhotoId(n));
    }
  }
  ~Fixture() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

Fixture& Data() {
  static Fixture fixture;
  return fixture;
}

void StoreOpen(benchmark::State& state) {
  Fixture& data = Data();
  for (auto _ : state) {
    DownloadRecordStore store;
    if (!store.OpenFile(data.store)) state.SkipWithError("open failed");
    benchmark::DoNotOptimize(store.record_count());
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void StoreLookups(benchmark::State& state) {
  Fixture& data = Data();
  DownloadRecordStore store;
  if (!store.OpenFile(data.store)) state.SkipWithError("open failed");
  std::int64_t found = 0;
  for (auto _ : state) {
    for (const std::string& id : data.probes) {
      store.Rewind();
      found += store.Find(id);
    }
  }
  if (found != state.iterations() * kLookups / 2) state.SkipWithError("wrong lookup results");
  state.SetItemsProcessed(state.iterations() * kLookups);
}

void StoreAdds(benchmark::State& state) {
  Fixture& data = Data();
  const std::filesystem::path copy = data.folder / "adds.edb";
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::copy_file(data.store, copy, std::filesystem::copy_options::overwrite_existing);
    DownloadRecordStore store;
    if (!store.OpenFile(copy)) state.SkipWithError("open failed");
    state.ResumeTiming();
    for (int i = 0; i < kAdds; ++i) store.Add(AbsentId(static_cast<std::uint64_t>(i)));
    state.PauseTiming();
    if (store.record_count() != kRecords + kAdds) state.SkipWithError("adds lost");
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kAdds);
}

sqlite3* OpenSqlite(const std::filesystem::path& path) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  return db;
}

// SQLite keeps its index on disk, so opening is lazy; "ready" includes reading the schema and a
// first lookup.
void SqliteOpen(benchmark::State& state) {
  Fixture& data = Data();
  for (auto _ : state) {
    sqlite3* db = OpenSqlite(data.sqlite);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT 1 FROM archive WHERE entry = ?", -1, &select, nullptr);
    sqlite3_bind_text(select, 1, "1", 1, SQLITE_STATIC);
    benchmark::DoNotOptimize(sqlite3_step(select));
    sqlite3_finalize(select);
    sqlite3_close(db);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

// The same open, with the whole index read once (what our open does with the records).
void SqliteOpenAndReadIndex(benchmark::State& state) {
  Fixture& data = Data();
  for (auto _ : state) {
    sqlite3* db = OpenSqlite(data.sqlite);
    sqlite3_stmt* count = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(entry) FROM archive INDEXED BY sqlite_autoindex_archive_1",
                       -1, &count, nullptr);
    if (sqlite3_step(count) != SQLITE_ROW || sqlite3_column_int(count, 0) != kRecords)
      state.SkipWithError("count failed");
    sqlite3_finalize(count);
    sqlite3_close(db);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

// range(0): 0 with SQLite's default page cache (2 MB, as a downloader opens it), 1 with the whole
// file mapped into memory and a cache big enough for all of it.
void SqliteLookups(benchmark::State& state) {
  Fixture& data = Data();
  sqlite3* db = OpenSqlite(data.sqlite);
  if (state.range(0) == 1) {
    sqlite3_exec(db, "PRAGMA mmap_size=268435456; PRAGMA cache_size=-262144", nullptr, nullptr,
                 nullptr);
  }
  sqlite3_stmt* select = nullptr;
  sqlite3_prepare_v2(db, "SELECT 1 FROM archive WHERE entry = ?", -1, &select, nullptr);
  std::int64_t found = 0;
  for (auto _ : state) {
    for (const std::string& id : data.probes) {
      sqlite3_bind_text(select, 1, id.data(), static_cast<int>(id.size()), SQLITE_STATIC);
      found += sqlite3_step(select) == SQLITE_ROW;
      sqlite3_reset(select);
    }
  }
  sqlite3_finalize(select);
  sqlite3_close(db);
  if (found != state.iterations() * kLookups / 2) state.SkipWithError("wrong lookup results");
  state.SetItemsProcessed(state.iterations() * kLookups);
}

// Adds as a downloader makes them, one committed insert per photo. range(0): 1 with the default
// synchronous=FULL (a flush per insert), 0 with synchronous=OFF (no flush, like our adds).
void SqliteAdds(benchmark::State& state) {
  Fixture& data = Data();
  const std::filesystem::path copy = data.folder / "adds.sqlite";
  const int adds = static_cast<int>(state.range(1));
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::copy_file(data.sqlite, copy,
                               std::filesystem::copy_options::overwrite_existing);
    sqlite3* db = OpenSqlite(copy);
    if (state.range(0) == 0) sqlite3_exec(db, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT OR IGNORE INTO archive (entry) VALUES (?)", -1, &insert,
                       nullptr);
    state.ResumeTiming();
    for (int i = 0; i < adds; ++i) {
      const std::string id = AbsentId(static_cast<std::uint64_t>(i));
      sqlite3_bind_text(insert, 1, id.data(), static_cast<int>(id.size()), SQLITE_TRANSIENT);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    state.PauseTiming();
    sqlite3_finalize(insert);
    sqlite3_close(db);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * adds);
}

// All of them in one transaction: SQLite's best case, which a downloader that records each
// photo as it lands does not get.
void SqliteAddsOneTransaction(benchmark::State& state) {
  Fixture& data = Data();
  const std::filesystem::path copy = data.folder / "adds.sqlite";
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::copy_file(data.sqlite, copy,
                               std::filesystem::copy_options::overwrite_existing);
    sqlite3* db = OpenSqlite(copy);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT OR IGNORE INTO archive (entry) VALUES (?)", -1, &insert,
                       nullptr);
    state.ResumeTiming();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (int i = 0; i < kAdds; ++i) {
      const std::string id = AbsentId(static_cast<std::uint64_t>(i));
      sqlite3_bind_text(insert, 1, id.data(), static_cast<int>(id.size()), SQLITE_TRANSIENT);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    state.PauseTiming();
    sqlite3_finalize(insert);
    sqlite3_close(db);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kAdds);
}

BENCHMARK(StoreOpen)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(SqliteOpen)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(SqliteOpenAndReadIndex)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(StoreLookups)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(SqliteLookups)->Unit(benchmark::kMillisecond)->Arg(0)->Iterations(3);
BENCHMARK(SqliteLookups)->Unit(benchmark::kMillisecond)->Arg(1)->Iterations(3);
BENCHMARK(StoreAdds)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SqliteAdds)->Unit(benchmark::kMillisecond)->Args({0, kAdds})->Iterations(1);
BENCHMARK(SqliteAdds)->Unit(benchmark::kMillisecond)->Args({1, 2000})->Iterations(1);
BENCHMARK(SqliteAddsOneTransaction)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace ak

BENCHMARK_MAIN();
