#include "cli/terminal_view.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "base/codec.h"

namespace ak {
namespace {

using namespace std::chrono_literals;

class TerminalViewTest : public ::testing::Test {
 protected:
  void Attach(bool terminal) {
    view_ = std::make_shared<TerminalView>(controls_, log_, terminal ? &progress_ : nullptr,
                                           [this] { return now_; });
    controls_.Attach(view_);
  }
  // What the terminal shows on the progress line's row after the control sequences.
  std::string LastDrawn() const {
    const std::string all = progress_.str();
    const std::size_t clear = all.rfind("\r\x1b[K");
    return clear == std::string::npos ? all : all.substr(clear + 4);
  }

  Controls controls_;
  std::ostringstream log_;
  std::ostringstream progress_;
  std::chrono::steady_clock::time_point now_{};
  std::shared_ptr<TerminalView> view_;
};

TEST_F(TerminalViewTest, LogIsPrintedInUtf8AsItGrows) {
  Attach(false);
  controls_.AppendLog(AK_GBK("正努力获取相册列表，耐心等待哈！\r\n\r\n"));
  EXPECT_EQ(log_.str(), "正努力获取相册列表，耐心等待哈！\n\n");
  controls_.AppendLog(AK_GBK("---完成相册《猫》下载\r\n\r\n"));
  controls_.ShowMessage(AK_GBK("全部下载完毕"));
  EXPECT_EQ(log_.str(),
            "正努力获取相册列表，耐心等待哈！\n\n---完成相册《猫》下载\n\n信息：全部下载完毕\n");
  ASSERT_EQ(view_->Messages().size(), 1u);
  EXPECT_EQ(view_->Messages()[0], AK_GBK("全部下载完毕"));
}

// An album name from the service travels into the log, the message boxes and the progress line:
// no byte of it may reach the terminal as a control character.
TEST_F(TerminalViewTest, ControlCharactersAreShownNotSent) {
  Attach(true);
  controls_.SetCaption(ctl::标签_选择了相册数量, AK_GBK("总共需下载[1]个相册"));
  const struct {
    std::string gbk;
    std::string shown;
  } cases[] = {
      {"\x1b[2J\x1b]0;owned\x07", "\\x1b[2J\\x1b]0;owned\\x07"},
      {"a\rb", "a\\x0db"},             // a lone CR would overwrite the line
      {"a\r\nb\nc\td", "a\nb\nc\td"},  // the log's own line ends and tabs stay
      {std::string("\0\x01\x1f\x7f", 4), "\\x00\\x01\\x1f\\x7f"},
      {AK_GBK("运动会"), "运动会"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    log_.str("");
    controls_.AppendLog(c.gbk);
    EXPECT_EQ(log_.str(), c.shown);
    controls_.SetCaption(ctl::标签_正在下载相册, c.gbk);
    EXPECT_EQ(view_->ProgressLine().find('\x1b'), std::string::npos);
    EXPECT_EQ(view_->ProgressLine().find('\x07'), std::string::npos);
  }
  // A lead byte of GBK before the escape does not hide it.
  log_.str("");
  controls_.AppendLog("\xB0\x1b[2J");
  EXPECT_EQ(log_.str().find('\x1b'), std::string::npos) << log_.str();
  log_.str("");
  controls_.ShowMessage("\x1b[31m");
  EXPECT_EQ(log_.str(), "信息：\\x1b[31m\n");
}

TEST_F(TerminalViewTest, MessageBoxIsAnsweredAtOnce) {
  Attach(false);
  std::thread worker([this] { controls_.ShowMessageAndWait(AK_GBK("网址格式不符")); });
  worker.join();  // would hang if the box were never answered
  EXPECT_EQ(log_.str(), "信息：网址格式不符\n");
}

TEST_F(TerminalViewTest, NoProgressLineWithoutATerminal) {
  Attach(false);
  controls_.SetCaption(ctl::标签_选择了相册数量, AK_GBK("总共需下载[3]个相册"));
  controls_.SetProgressMaximum(ctl::进度条1, 57);
  controls_.SetProgressPosition(ctl::进度条1, 12);
  controls_.AppendLog("a\r\n");
  EXPECT_EQ(log_.str(), "a\n");
  EXPECT_EQ(view_->ProgressLine(), "");
}

TEST_F(TerminalViewTest, ProgressLineFollowsTheBatchLabels) {
  Attach(true);
  controls_.SetCaption(ctl::标签_动态, AK_GBK("相册获取中，耐心等待..."));
  EXPECT_EQ(LastDrawn(), "相册获取中，耐心等待...");
  // Listing steps are albums, not photos: they make no rate.
  controls_.SetProgressPosition(ctl::进度条1, 5);
  now_ += 10s;

  controls_.SetProgressPosition(ctl::进度条1, 0);
  controls_.SetCaption(ctl::标签_选择了相册数量, AK_GBK("总共需下载[3]个相册"));
  controls_.SetCaption(ctl::标签_正在下载相册, AK_GBK("下载到第[2]个相册"));
  controls_.SetCaption(ctl::标签_第多少张照片, "57/12");
  controls_.SetCaption(ctl::标签_进度条比例, "21%");
  EXPECT_EQ(LastDrawn(), "下载到第[2]个相册 / 总共需下载[3]个相册  照片 57/12  21%");

  for (int photo = 1; photo <= 8; ++photo) {
    controls_.SetProgressPosition(ctl::进度条1, photo);
    now_ += 500ms;
  }
  // A new album starts the bar again; its steps count on.
  controls_.SetProgressPosition(ctl::进度条1, 0);
  controls_.SetProgressPosition(ctl::进度条1, 2);
  EXPECT_EQ(LastDrawn(), "下载到第[2]个相册 / 总共需下载[3]个相册  照片 57/12  21%  2.5 张/秒");
  EXPECT_EQ(view_->ProgressLine(), LastDrawn());
  EXPECT_TRUE(log_.str().empty());
}

TEST_F(TerminalViewTest, LogLinesPushTheProgressLineDown) {
  Attach(true);
  controls_.SetCaption(ctl::标签_进度条比例, "40%");
  progress_.str("");
  controls_.AppendLog(AK_GBK("第一行\r\n"));
  // The line was cleared before the log was written and drawn again afterwards.
  EXPECT_EQ(progress_.str(), "\r\x1b[K\r\x1b[K40%");
  EXPECT_EQ(log_.str(), "第一行\n");
  view_->Finish();
  EXPECT_EQ(view_->ProgressLine(), "");
  EXPECT_TRUE(progress_.str().ends_with("\r\x1b[K"));
}

}  // namespace
}  // namespace ak
