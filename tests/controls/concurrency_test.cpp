#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/codec.h"
#include "controls/controls.h"
#include "controls/headless_view.h"

namespace ak {
namespace {

constexpr int kWriters = 4;
constexpr int kPerWriter = 500;

std::string Entry(int writer, int index) {
  return "w" + std::to_string(writer) + "-" + std::to_string(index) + ";";
}

TEST(ControlsConcurrency, TheViewSeesEveryChangeOnceInTheModelsOrder) {
  Controls controls;
  std::ostringstream out;
  auto view = std::make_shared<HeadlessView>(controls, out);
  controls.Attach(view);

  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([&controls, w] {
      for (int i = 0; i < kPerWriter; ++i) {
        controls.AppendLog(Entry(w, i));
        controls.SetCaption(ctl::标签_第多少张照片, std::to_string(w * kPerWriter + i));
        controls.SetProgressPosition(ctl::进度条1, i);
      }
    });
  }
  for (std::thread& writer : writers) writer.join();

  // Delivered in strictly rising order with no gap: nothing lost, nothing twice, never reordered.
  const auto sequences = view->Sequences();
  ASSERT_EQ(sequences.size(), static_cast<std::size_t>(kWriters * kPerWriter * 3));
  for (std::size_t i = 0; i < sequences.size(); ++i) ASSERT_EQ(sequences[i], i + 1);

  // The view's copy ends where the model ends, and the printed log is the model's log.
  const ControlsState mirrored = view->State();
  EXPECT_EQ(mirrored.Find(kLogBox)->caption, controls.Log());
  EXPECT_EQ(mirrored.Find(ctl::标签_第多少张照片)->caption,
            controls.Caption(ctl::标签_第多少张照片));
  EXPECT_EQ(mirrored.Find(ctl::进度条1)->progressPosition, controls.ProgressPosition(ctl::进度条1));
  EXPECT_EQ(out.str(), controls.Log());

  // Each writer's own entries stay in the order it wrote them.
  const std::string log = controls.Log();
  for (int w = 0; w < kWriters; ++w) {
    std::size_t last = 0;
    for (int i = 0; i < kPerWriter; ++i) {
      const std::size_t at = log.find(Entry(w, i));
      ASSERT_NE(at, std::string::npos);
      ASSERT_GE(at, last);
      last = at;
    }
  }
}

TEST(ControlsConcurrency, ConcurrentAppendersGetDistinctRows) {
  Controls controls;
  std::ostringstream out;
  auto view = std::make_shared<HeadlessView>(controls, out);
  controls.Attach(view);
  std::vector<std::vector<int>> got(kWriters);
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([&, w] {
      for (int i = 0; i < 200; ++i) {
        const int row = controls.AppendRow();
        controls.SetCell(row, 2, Entry(w, i));
        got[w].push_back(row);
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  std::vector<int> all;
  for (const auto& rows : got) all.insert(all.end(), rows.begin(), rows.end());
  std::sort(all.begin(), all.end());
  ASSERT_EQ(all.size(), static_cast<std::size_t>(kWriters * 200));
  for (std::size_t i = 0; i < all.size(); ++i) ASSERT_EQ(all[i], static_cast<int>(i));
  for (int w = 0; w < kWriters; ++w) {
    for (int i = 0; i < 200; ++i) EXPECT_EQ(controls.Cell(got[w][i], 2), Entry(w, i));
  }
  const ControlsState mirrored = view->State();
  ASSERT_EQ(mirrored.Rows().size(), all.size());
  for (int row = 0; row < controls.RowCount(); ++row) {
    ASSERT_EQ(mirrored.Rows()[row].cells[2], controls.Cell(row, 2));
  }
}

TEST(ControlsConcurrency, ReadsDuringWritesSeeWholeValues) {
  Controls controls;
  std::atomic<bool> done{false};
  const std::string longA(4000, 'a');
  const std::string longB(3000, 'b');
  std::thread writer([&] {
    for (int i = 0; i < 3000; ++i) {
      controls.SetCaption(ctl::编辑框_号码, i % 2 == 0 ? longA : longB);
      const int row = controls.AppendRow();
      controls.SetCell(row, 2, "name" + std::to_string(row));
    }
    done = true;
  });
  int lastCount = 0;
  int reads = 0;
  while (!done || reads == 0) {
    const Text caption = controls.Caption(ctl::编辑框_号码);
    ASSERT_TRUE(caption.empty() || caption == longA || caption == longB);
    const int count = controls.RowCount();
    ASSERT_GE(count, lastCount);
    lastCount = count;
    if (count > 0) {
      // A row may be seen before its cell is written, never with a wrong text.
      const Text cell = controls.Cell(count - 1, 2);
      ASSERT_TRUE(cell.empty() || cell == "name" + std::to_string(count - 1)) << cell;
    }
    ++reads;
  }
  writer.join();
  EXPECT_EQ(controls.RowCount(), 3000);
}

// A view that never carries anything out, like a window that is going away.
class SilentView : public ControlsView {
 public:
  void Attached(const ControlsState&) override {}
  void ChangesPending() override { ++pending; }
  std::atomic<int> pending{0};
};

TEST(ControlsMessages, AWaitingWorkerIsReleasedByTheAnswerOrByDetaching) {
  Controls controls;
  // No view: nothing to wait for.
  controls.ShowMessageAndWait("x");

  std::ostringstream out;
  auto headless = std::make_shared<HeadlessView>(controls, out);
  controls.Attach(headless);
  controls.ShowMessageAndWait(Utf8ToGbk("有新版本，联系客服索取"));
  ASSERT_EQ(headless->Messages().size(), 1u);
  EXPECT_EQ(out.str(), "信息：有新版本，联系客服索取\n");

  auto silent = std::make_shared<SilentView>();
  controls.Attach(silent);
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    controls.ShowMessageAndWait("y");
    returned = true;
  });
  while (silent->pending == 0) std::this_thread::yield();
  EXPECT_FALSE(returned);
  controls.Detach();
  worker.join();
  EXPECT_TRUE(returned);
}

TEST(HeadlessView, PrintsLogAdditionsInUtf8WithPlainLineEnds) {
  Controls controls;
  std::ostringstream out;
  controls.Attach(std::make_shared<HeadlessView>(controls, out));
  controls.AppendLog(Utf8ToGbk("全部下载完毕\r\n\r\n"));
  controls.SetCaption(ctl::标签_动态, "not printed");
  controls.AppendLog("a\rb\r\n");
  // A lone carriage return would move the cursor back over the line: it is shown.
  EXPECT_EQ(out.str(), "全部下载完毕\n\na\\x0db\n");
}

}  // namespace
}  // namespace ak
