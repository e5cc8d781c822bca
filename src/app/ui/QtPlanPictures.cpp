#include "app/ui/QtPlanPictures.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <memory>
#include <stdexcept>

#include "app/ui/PainterDrawing.h"

namespace lumaq::ui {
namespace {

constexpr int kPdfDpi = 300;
constexpr int kSvgDpi = 96;
constexpr int kPngDpi = 150;
// A4 across, in millimetres.
constexpr double kPageWidthMm = 297;
constexpr double kPageHeightMm = 210;

QSize A4AcrossPixels(int dpi) {
  return QSize(static_cast<int>(kPageWidthMm / 25.4 * dpi),
               static_cast<int>(kPageHeightMm / 25.4 * dpi));
}

class PictureFile : public PainterDrawing<PictureSurface> {
 public:
  explicit PictureFile(PictureKind kind) {
    buffer_.open(QIODevice::WriteOnly);
    switch (kind) {
      case PictureKind::kPdf: {
        auto pdf = std::make_unique<QPdfWriter>(&buffer_);
        pdf->setResolution(kPdfDpi);
        pdf->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, {}));
        pdf->setCreator("Lumaq");
        device_ = std::move(pdf);
        break;
      }
      case PictureKind::kSvg: {
        auto svg = std::make_unique<QSvgGenerator>();
        svg->setOutputDevice(&buffer_);
        svg->setResolution(kSvgDpi);
        svg->setSize(A4AcrossPixels(kSvgDpi));
        svg->setViewBox(QRect(QPoint(0, 0), A4AcrossPixels(kSvgDpi)));
        device_ = std::move(svg);
        break;
      }
      case PictureKind::kPng: {
        auto image = std::make_unique<QImage>(A4AcrossPixels(kPngDpi), QImage::Format_RGB32);
        image->fill(Qt::white);
        const int dotsPerMetre = static_cast<int>(kPngDpi / 0.0254);
        image->setDotsPerMeterX(dotsPerMetre);
        image->setDotsPerMeterY(dotsPerMetre);
        image_ = image.get();
        device_ = std::move(image);
        break;
      }
    }
    SetDevice(device_.get());
  }
  ~PictureFile() override {
    if (painter_.isActive()) painter_.end();
  }

  int PageWidth() override { return device_->width(); }
  int PageHeight() override { return device_->height(); }
  void BeginDoc() override {
    if (!BeginPainting()) throw std::runtime_error("无法生成图片：绘图设备无法使用");
  }
  void NewPage() override { throw std::logic_error("a picture has one page"); }
  void EndDoc() override {
    if (!EndPainting()) throw std::runtime_error("无法生成图片：绘图未能完成");
    if (image_ != nullptr && !image_->save(&buffer_, "PNG")) {
      throw std::runtime_error("无法生成 PNG 图片");
    }
  }
  std::string TakeBytes() override {
    buffer_.close();
    return buffer_.data().toStdString();
  }

 private:
  QBuffer buffer_;  // outlives the device, which writes into it
  std::unique_ptr<QPaintDevice> device_;
  QImage* image_ = nullptr;  // the device of a PNG picture
};

}  // namespace

std::unique_ptr<PictureSurface> QtPlanPictures::NewPicture(PictureKind kind) {
  return std::make_unique<PictureFile>(kind);
}

}  // namespace lumaq::ui
