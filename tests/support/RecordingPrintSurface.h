// A print surface that records every call into a log the test keeps, with a
// page size and font metrics given in advance. Text widths count columns:
// one per byte of code-page text, two per non-ASCII character of UTF-8. As a
// picture its bytes name the calls it recorded.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "app/PlanCommands.h"
#include "app/PrintSurface.h"

namespace lumaq::test {

struct PrintCall {
  enum class Kind { kWidth, kHeight, kBeginDoc, kNewPage, kEndDoc, kText, kInk, kLine, kDot };
  Kind kind;
  int x = 0;
  int y = 0;
  std::string text;
  TextEncoding encoding = TextEncoding::kUtf8;
  // A line's end, a dot's radius (in x2); the ink of texts, lines and dots.
  int x2 = 0;
  int y2 = 0;
  Ink ink = Ink::kBlack;
};

struct PrintLog {
  std::vector<PrintCall> calls;

  int Count(PrintCall::Kind kind) const {
    int count = 0;
    for (const PrintCall& call : calls) count += call.kind == kind ? 1 : 0;
    return count;
  }

  // The texts drawn, page by page, between BeginDoc and EndDoc.
  std::vector<std::vector<PrintCall>> Pages() const {
    std::vector<std::vector<PrintCall>> pages;
    for (const PrintCall& call : calls) {
      if (call.kind == PrintCall::Kind::kBeginDoc || call.kind == PrintCall::Kind::kNewPage) {
        pages.emplace_back();
      } else if (call.kind == PrintCall::Kind::kText && !pages.empty()) {
        pages.back().push_back(call);
      }
    }
    return pages;
  }
};

class RecordingPrintSurface : public PictureSurface {
 public:
  RecordingPrintSurface(PrintLog& log, int pageWidth, int pageHeight, int textHeight = 15,
                        int columnWidth = 10)
      : log_(log),
        pageWidth_(pageWidth),
        pageHeight_(pageHeight),
        textHeight_(textHeight),
        columnWidth_(columnWidth) {}

  // Make the n-th DrawText (counted from 1) or the n-th NewPage throw.
  int failAtText = 0;
  int failAtNewPage = 0;

  int PageWidth() override { return pageWidth_; }
  int PageHeight() override { return pageHeight_; }

  int TextWidth(const std::string& text, TextEncoding encoding) override {
    log_.calls.push_back({PrintCall::Kind::kWidth, 0, 0, text, encoding});
    return columnWidth_ * Columns(text, encoding);
  }
  int TextHeight(const std::string& text, TextEncoding encoding) override {
    log_.calls.push_back({PrintCall::Kind::kHeight, 0, 0, text, encoding});
    return textHeight_;
  }
  void BeginDoc() override { Record(PrintCall::Kind::kBeginDoc); }
  void NewPage() override {
    if (++newPages_ == failAtNewPage) throw std::runtime_error("paper jam");
    Record(PrintCall::Kind::kNewPage);
  }
  void EndDoc() override { Record(PrintCall::Kind::kEndDoc); }
  void DrawText(int x, int y, const std::string& text, TextEncoding encoding) override {
    if (++texts_ == failAtText) throw std::runtime_error("printer offline");
    log_.calls.push_back({PrintCall::Kind::kText, x, y, text, encoding, 0, 0, ink_});
  }
  void SetInk(Ink ink) override {
    ink_ = ink;
    log_.calls.push_back({PrintCall::Kind::kInk, 0, 0, {}, TextEncoding::kUtf8, 0, 0, ink});
  }
  void DrawLine(int x1, int y1, int x2, int y2) override {
    log_.calls.push_back({PrintCall::Kind::kLine, x1, y1, {}, TextEncoding::kUtf8, x2, y2, ink_});
  }
  void DrawDot(int x, int y, int radius) override {
    log_.calls.push_back({PrintCall::Kind::kDot, x, y, {}, TextEncoding::kUtf8, radius, 0, ink_});
  }

  std::string TakeBytes() override {
    return "picture of " + std::to_string(log_.calls.size()) + " calls";
  }

  static int Columns(const std::string& text, TextEncoding encoding) {
    if (encoding == TextEncoding::kCodePage) return static_cast<int>(text.size());
    int columns = 0;
    for (const char c : text) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x80) {
        columns += 1;
      } else if (byte >= 0xC0) {
        columns += 2;  // the lead byte of a wide character
      }
    }
    return columns;
  }

 private:
  void Record(PrintCall::Kind kind) { log_.calls.push_back({kind, 0, 0, {}, TextEncoding::kUtf8}); }

  PrintLog& log_;
  int pageWidth_;
  int pageHeight_;
  int textHeight_;
  int columnWidth_;
  int texts_ = 0;
  int newPages_ = 0;
  Ink ink_ = Ink::kBlack;
};

}  // namespace lumaq::test
