#include "ui/zone_geometry.h"

#include <algorithm>
#include <cmath>

ZoneScale::ZoneScale(double lowMicrons, double highMicrons, int top, int bottom)
    : top_(top), bottom_(std::max(bottom, top + 1)) {
  double low = std::min(lowMicrons, 0.0);
  double high = std::max(highMicrons, 0.0);
  if (!(high > low)) {
    low = -1.0;
    high = 1.0;
  }
  const double spare = (high - low) / 20.0;
  low_ = low - spare;
  high_ = high + spare;
}

int ZoneScale::Y(double microns) const {
  const double pixelsPerMicron = (bottom_ - top_) / (high_ - low_);
  return top_ + static_cast<int>(std::lround((high_ - microns) * pixelsPerMicron));
}

QRect ZoneScale::Bar(int left, int width, double upperMicrons, double lowerMicrons) const {
  int top = Y(std::max(upperMicrons, lowerMicrons));
  int bottom = Y(std::min(upperMicrons, lowerMicrons));
  if (bottom - top + 1 < kMinBarHeight) {
    const int middle = (top + bottom) / 2;
    top = middle - kMinBarHeight / 2;
    bottom = top + kMinBarHeight - 1;
  }
  return QRect(QPoint(left, top), QPoint(left + width - 1, bottom));
}

std::vector<double> ZoneScale::Ticks(int minPixels) const {
  const double pixelsPerMicron = (bottom_ - top_) / (high_ - low_);
  const double least = std::max(minPixels, 1) / pixelsPerMicron;
  double step = std::pow(10.0, std::floor(std::log10(least)));
  for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
    if (step * factor >= least) {
      step *= factor;
      break;
    }
  }
  std::vector<double> ticks;
  for (auto k = static_cast<long long>(std::ceil(low_ / step)); k * step <= high_; ++k) {
    ticks.push_back(static_cast<double>(k) * step);
  }
  return ticks;
}

int BarRow::BarAt(int x, int count) const {
  if (x < left || pitch <= 0) return -1;
  const int i = (x - left) / pitch;
  if (i >= count || x - BarLeft(i) >= width) return -1;
  return i;
}
