#include "core/html_log.h"

#include <cstdio>
#include <cstring>

namespace vela {
namespace {

// Texts that go through the formatter: the head takes the title as its one argument, and the
// head row's opening has its percent sign doubled.
constexpr const char* kHead =
    "<HTML>\n"
    "<HEAD>\n"
    "<META http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\n"
    "<TITLE>%s</TITLE>\n"
    "<STYLE type=\"text/css\">\n"
    "<!--\n"
    "BODY{\n"
    "  font-size : 12px;\n"
    // "ＭＳ ゴシック" in Shift-JIS: the head is written as is, not converted.
    "  font-family : \"\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E\";\n"
    "}\n"
    "-->\n"
    "</STYLE>\n"
    "</HEAD>\n"
    "<BODY bgcolor=\"#ffffff\" text=\"#000000\" link=\"#444444\" vlink=\"#444444\" alink=\"#444444\">\n";

constexpr const char* kHeadRowOpen =
    "<TABLE width=\"100%%\" bgcolor=\"#000000\">\n"
    "  <TBODY>\n"
    "    <TR>\n"
    "      <TD align=\"center\">\n"
    "        <B>\n"
    "          <FONT color=\"WHITE\">";
constexpr const char* kHeadRowClose =
    "</FONT>\n"
    "        </B>\n"
    "      </TD>\n"
    "    </TR>\n"
    "  </TBODY>\n"
    "</TABLE>\n";

struct StyleFrame {
  const char* before;
  const char* after;
};

StyleFrame FrameOf(LogStyle style) {
  switch (style) {
    case LogStyle::kHeadRow: return {kHeadRowOpen, kHeadRowClose};
    case LogStyle::kBlue: return {"<B><FONT color=\"BLUE\">", "</FONT></B>"};
    case LogStyle::kRed: return {"<B><FONT color=\"RED\">", "</FONT></B>"};
    case LogStyle::kGreen: return {"<B><FONT color=\"GREEN\">", "</FONT></B>"};
    case LogStyle::kBold: return {"<B>", "</B>"};
    case LogStyle::kPlain: break;
  }
  return {"", ""};
}

void PrintTo(LogOutput& output, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  output.Print(format, args);
  va_end(args);
}

}  // namespace

std::uint16_t ConsoleColourOf(LogStyle style) {
  switch (style) {
    case LogStyle::kHeadRow: return 0x70;
    case LogStyle::kBlue: return 0x17;
    case LogStyle::kRed: return 0x47;
    case LogStyle::kGreen: return 0x27;
    case LogStyle::kBold:
    case LogStyle::kPlain: break;
  }
  return 0;
}

void HtmlLog::Open(LogOutput& output, const char* title) {
  output_ = &output;
  PrintTo(output, kHead, title ? title : "");
  output.Flush();
}

void HtmlLog::Write(LogStyle style, const char* format, std::va_list args) {
  if (!output_) return;
  const StyleFrame frame = FrameOf(style);
  std::va_list echoArgs;
  va_copy(echoArgs, args);
  PrintTo(*output_, frame.before);
  output_->Print(format, args);
  PrintTo(*output_, frame.after);
  output_->Flush();
  if (echo_) Echo(style, format, echoArgs);
  va_end(echoArgs);
}

void HtmlLog::Echo(LogStyle style, const char* format, std::va_list args) {
  const std::uint16_t colour = ConsoleColourOf(style);
  if (colour != 0) echo_->SetColour(colour);
  char text[kEchoBufferBytes];
  const int length = std::vsnprintf(text, sizeof text, format, args);
  if (length > 0) echo_->Write({text, std::strlen(text)});
  if (colour != 0) echo_->SetColour(kConsoleDefaultColour);
}

void HtmlLog::Break() {
  if (!output_) return;
  output_->Write("<BR>\n");
  output_->Flush();
  if (echo_) echo_->Write("\n");
}

void HtmlLog::Close() {
  if (!output_) return;
  output_->Write("</BODY>\n</HTML>\n");
  output_->Flush();
  output_ = nullptr;
  echo_ = nullptr;
}

}  // namespace vela
