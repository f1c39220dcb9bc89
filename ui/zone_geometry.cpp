#include "ui/zone_geometry.h"

#include <algorithm>
#include <cmath>

ZoneScale::ZoneScale(double low_microns, double high_microns, int top, int bottom)
    : top_(top), bottom_(std::max(bottom, top + 1)) {
  double low = std::min(low_microns, 0.0);
  double high = std::max(high_microns, 0.0);
  if (!(high > low)) {
    low = -1.0;
    high = 1.0;
  }
  const double spare = (high - low) / 20.0;
  low_ = low - spare;
  high_ = high + spare;
}

int ZoneScale::Y(double microns) const {
  const double pixels_per_micron = (bottom_ - top_) / (high_ - low_);
  return top_ + static_cast<int>(std::lround((high_ - microns) * pixels_per_micron));
}

QRect ZoneScale::Bar(int left, int width, double upper_microns, double lower_microns) const {
  int top = Y(std::max(upper_microns, lower_microns));
  int bottom = Y(std::min(upper_microns, lower_microns));
  if (bottom - top + 1 < kMinBarHeight) {
    const int middle = (top + bottom) / 2;
    top = middle - kMinBarHeight / 2;
    bottom = top + kMinBarHeight - 1;
  }
  return QRect(QPoint(left, top), QPoint(left + width - 1, bottom));
}

std::vector<double> ZoneScale::Ticks(int min_pixels) const {
  const double pixels_per_micron = (bottom_ - top_) / (high_ - low_);
  const double least = std::max(min_pixels, 1) / pixels_per_micron;
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
