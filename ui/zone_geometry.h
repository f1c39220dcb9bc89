#pragma once
// Where the tolerance zones go in a picture: a vertical scale in micrometres, positive upwards,
// that always shows the zero line, and bars placed side by side at a fixed pitch that never
// shrinks below legibility (a panel with many grades scrolls instead).

#include <QRect>
#include <vector>

class ZoneScale {
 public:
  // A scale from the pixel row top (highest value) to bottom (lowest) showing low..high and 0,
  // with a twentieth of the span spare at either end; an empty span shows -1..1.
  ZoneScale(double lowMicrons, double highMicrons, int top, int bottom);

  // The pixel row of a value, rounded to the nearest.
  [[nodiscard]] int Y(double microns) const;
  // A bar between two values across columns left..left+width-1, at least kMinBarHeight high
  // (grown about its middle).
  [[nodiscard]] QRect Bar(int left, int width, double upperMicrons, double lowerMicrons) const;
  // Values of the scale's marks: multiples of 1, 2 or 5 times a power of ten, at least
  // minPixels apart, from the lowest shown to the highest.
  [[nodiscard]] std::vector<double> Ticks(int minPixels) const;

  [[nodiscard]] double High() const { return high_; }
  [[nodiscard]] double Low() const { return low_; }

  static constexpr int kMinBarHeight = 3;

 private:
  double high_;
  double low_;
  int top_;
  int bottom_;
};

// Bars side by side: bar i's columns, and which bar a column x falls in (-1 for none).
struct BarRow {
  int left;   // the first bar's left edge
  int pitch;  // from one bar's left edge to the next one's
  int width;  // of a bar, below pitch so that bars stand apart

  [[nodiscard]] int BarLeft(int i) const { return left + i * pitch; }
  [[nodiscard]] int BarAt(int x, int count) const;
};
