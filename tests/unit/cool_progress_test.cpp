#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "progress/cool_progress.h"
#include "sim/raster_surface.h"

namespace foxbane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

Rgb Grey(std::uint8_t level) { return {level, level, level}; }

// Paints onto a raster of CoolProgress1's size (401 x 17 pixels, 6015 x 255
// twips) and keeps every figure asked for, so a test can see both the
// picture and how it was drawn.
class RecordingSurface : public DrawingSurface {
 public:
  struct Figure {
    char kind;  // 'L'ine, 'O'utline, 'F'ill
    double x1, y1, x2, y2;
    Rgb colour;
  };

  explicit RecordingSurface(int width = 401, int height = 17, Rgb background = {1, 2, 3})
      : raster(width, height, background) {}

  double WidthTwips() override { return raster.WidthTwips(); }
  double HeightTwips() override { return raster.HeightTwips(); }
  double TwipsPerPixelX() override { return raster.TwipsPerPixelX(); }
  double TwipsPerPixelY() override { return raster.TwipsPerPixelY(); }
  void Line(double x1, double y1, double x2, double y2, Rgb colour) override {
    figures.push_back({'L', x1, y1, x2, y2, colour});
    raster.Line(x1, y1, x2, y2, colour);
  }
  void Outline(double x1, double y1, double x2, double y2, Rgb colour) override {
    figures.push_back({'O', x1, y1, x2, y2, colour});
    raster.Outline(x1, y1, x2, y2, colour);
  }
  void Fill(double x1, double y1, double x2, double y2, Rgb colour) override {
    figures.push_back({'F', x1, y1, x2, y2, colour});
    raster.Fill(x1, y1, x2, y2, colour);
  }

  std::vector<Rgb> Pixels() const {
    std::vector<Rgb> all;
    for (int y = 0; y < raster.height(); ++y) {
      for (int x = 0; x < raster.width(); ++x) all.push_back(raster.Pixel(x, y));
    }
    return all;
  }
  // The shading lines of the last redraw: the figures before its first outline.
  std::vector<Figure> GradientLines() const {
    std::vector<Figure> lines;
    for (const Figure& figure : figures) {
      if (figure.kind != 'L') break;
      lines.push_back(figure);
    }
    return lines;
  }

  sim::RasterSurface raster;
  std::vector<Figure> figures;
};

struct Bar {
  explicit Bar(RecordingSurface drawingArea = RecordingSurface())
      : surface(std::move(drawingArea)), progress(surface, [this](std::string_view name) {
          reported.emplace_back(name);
        }) {
    progress.InitProperties();
  }
  // Redraws at `percent` and keeps only that redraw's figures.
  void DrawAt(std::int16_t percent) {
    surface.figures.clear();
    progress.Percent(percent);
  }

  RecordingSurface surface;
  CoolProgress progress;
  std::vector<std::string> reported;
};

TEST(CoolProgress, NewInstanceHoldsItsDefaults) {
  Bar bar;
  EXPECT_EQ(bar.progress.GradientFrom(), 190);
  EXPECT_EQ(bar.progress.GradientTo(), 230);
  EXPECT_EQ(bar.progress.RedHue(), 0);
  EXPECT_EQ(bar.progress.BlueHue(), 0);
  EXPECT_EQ(bar.progress.GreenHue(), 0);
  EXPECT_EQ(bar.progress.Percent(), 0);
  EXPECT_THAT(bar.surface.figures, IsEmpty());  // nothing drawn before a show or assignment
}

TEST(CoolProgress, ShadesEachRowOfTheBlockAndOneBelow) {
  Bar bar;
  bar.progress.Show();
  bar.DrawAt(33);
  std::vector<int> greys;
  for (const auto& line : bar.surface.GradientLines()) {
    EXPECT_EQ(line.y1, line.y2);
    EXPECT_EQ(line.y1, 15.0 * static_cast<double>(greys.size()));
    EXPECT_EQ(line.x2, 1985);  // round(6015 / 100 * 33)
    EXPECT_EQ(line.colour, Grey(line.colour.red));
    greys.push_back(line.colour.red);
  }
  EXPECT_THAT(greys, ElementsAre(192, 195, 197, 199, 202, 204, 206, 209, 211, 214, 216, 218, 221, 223,
                                 225, 228, 230, 232));
  // Three frame passes follow: Down3D (outline, track, four edges), Up3D.
  EXPECT_EQ(bar.surface.figures.size(), 18u + 6u + 5u);
  // Inside the block the shading shows between the frames.
  for (int y = 2; y <= 14; ++y) {
    EXPECT_EQ(bar.surface.raster.Pixel(60, y), Grey(static_cast<std::uint8_t>(greys[y])));
  }
}

TEST(CoolProgress, ThirtyThreePercentFillsAboutOneHundredThirtyTwoPixels) {
  Bar bar;
  bar.progress.Show();
  bar.DrawAt(33);
  const auto& raster = bar.surface.raster;
  EXPECT_EQ(raster.Pixel(0, 8), Grey(76));     // block outline, left
  EXPECT_EQ(raster.Pixel(1, 8), Grey(255));    // inner left edge
  EXPECT_EQ(raster.Pixel(60, 1), Grey(255));   // inner top edge
  EXPECT_EQ(raster.Pixel(60, 15), Grey(173));  // inner bottom edge
  EXPECT_EQ(raster.Pixel(130, 8), Grey(173));  // inner right edge
  EXPECT_EQ(raster.Pixel(131, 8), Grey(76));   // block outline, right
  EXPECT_EQ(raster.Pixel(132, 8), Grey(130));  // track
  EXPECT_EQ(raster.Pixel(132, 0), Grey(130));  // the track covers the bar's outline
  EXPECT_EQ(raster.Pixel(200, 1), Grey(173));  // Down3D's inset lines run on
  EXPECT_EQ(raster.Pixel(200, 15), Grey(205));
  EXPECT_EQ(raster.Pixel(399, 8), Grey(205));
  EXPECT_EQ(raster.Pixel(400, 8), Grey(130));
}

// The whole bar is track with Down3D's inset lines, and nothing else.
TEST(CoolProgress, ZeroPercentIsAllTrack) {
  Bar bar;
  bar.progress.Percent(50);
  bar.progress.Show();
  bar.DrawAt(0);
  for (int y = 0; y < 17; ++y) {
    for (int x = 0; x < 401; ++x) {
      Rgb expected = Grey(130);
      if (y == 1 && x >= 1 && x <= 399) expected = Grey(173);
      if (x == 1 && y >= 2 && y <= 15) expected = Grey(173);
      if (y == 15 && x >= 2) expected = Grey(205);
      if (x == 399 && y >= 2 && y <= 15) expected = Grey(205);
      ASSERT_EQ(bar.surface.raster.Pixel(x, y), expected) << x << "," << y;
    }
  }
  EXPECT_EQ(bar.surface.figures.size(), 18u + 6u);  // no Up3D
}

TEST(CoolProgress, HundredPercentLeavesNoTrack) {
  Bar bar;
  bar.progress.Show();
  bar.DrawAt(100);
  for (const Rgb& pixel : bar.surface.Pixels()) ASSERT_NE(pixel, Grey(130));
  EXPECT_EQ(bar.surface.raster.Pixel(400, 8), Grey(76));
  EXPECT_EQ(bar.surface.raster.Pixel(200, 8), Grey(211));
}

// Every pixel is painted on each redraw, so the picture does not depend on
// what was there before.
TEST(CoolProgress, LoweringThePercentLeavesNoTrace) {
  Bar lowered(RecordingSurface(401, 17, {9, 9, 9}));
  lowered.progress.Show();
  lowered.progress.Percent(80);
  lowered.progress.Percent(20);
  Bar fresh;
  fresh.progress.Show();
  fresh.progress.Percent(20);
  EXPECT_EQ(lowered.surface.Pixels(), fresh.surface.Pixels());
}

TEST(CoolProgress, RedHueTintsShadingAndHueFramesOnly) {
  Bar bar;
  bar.progress.RedHue(40);
  bar.progress.Show();
  bar.DrawAt(33);
  EXPECT_EQ(bar.surface.GradientLines().front().colour, (Rgb{232, 192, 192}));
  const auto& raster = bar.surface.raster;
  EXPECT_EQ(raster.Pixel(0, 8), (Rgb{116, 76, 76}));
  EXPECT_EQ(raster.Pixel(130, 8), (Rgb{213, 173, 173}));
  EXPECT_EQ(raster.Pixel(200, 1), (Rgb{213, 173, 173}));
  EXPECT_EQ(raster.Pixel(1, 8), Grey(255));
  EXPECT_EQ(raster.Pixel(60, 1), Grey(255));
  EXPECT_EQ(raster.Pixel(200, 15), Grey(205));
}

TEST(CoolProgress, ReversedGradientIsDarkestAtTheBottom) {
  Bar bar;
  bar.progress.GradientFrom(230);
  bar.progress.GradientTo(190);
  bar.progress.Show();
  bar.DrawAt(50);
  const auto lines = bar.surface.GradientLines();
  ASSERT_EQ(lines.size(), 18u);
  EXPECT_EQ(lines[0].colour, Grey(228));
  EXPECT_EQ(lines[16].colour, Grey(190));
  for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_LT(lines[i].colour.red, lines[i - 1].colour.red);
}

TEST(CoolProgress, ComponentsClampToTheByteRange) {
  Bar bar;
  bar.progress.GreenHue(100);
  bar.progress.BlueHue(-300);
  bar.progress.RedHue(32767);  // beyond what a 16-bit sum can hold
  bar.progress.Show();
  bar.DrawAt(33);
  for (const auto& line : bar.surface.GradientLines()) EXPECT_EQ(line.colour, (Rgb{255, 255, 0}));
  EXPECT_EQ(bar.surface.raster.Pixel(0, 8), (Rgb{255, 176, 0}));
  EXPECT_EQ(bar.surface.raster.Pixel(130, 8), (Rgb{255, 255, 0}));
}

TEST(CoolProgress, OutOfRangePercentIsIgnored) {
  Bar bar;
  bar.progress.Show();
  bar.progress.Percent(40);
  const auto before = bar.surface.Pixels();
  bar.reported.clear();
  bar.DrawAt(101);
  bar.DrawAt(-1);
  EXPECT_EQ(bar.progress.Percent(), 40);
  EXPECT_THAT(bar.surface.figures, IsEmpty());
  EXPECT_THAT(bar.reported, IsEmpty());
  EXPECT_EQ(bar.surface.Pixels(), before);
}

TEST(CoolProgress, SettersReportTheirPropertyNames) {
  Bar bar;
  bar.progress.GradientFrom(1);
  bar.progress.GradientTo(2);
  bar.progress.RedHue(3);
  bar.progress.BlueHue(4);
  bar.progress.GreenHue(5);
  bar.progress.Percent(6);
  EXPECT_THAT(bar.reported,
              ElementsAre("GradientFrom", "GradientTo", "RedHue", "BlueHue", "GreenHue", "Percent"));
}

TEST(CoolProgress, HueShowsOnlyAtTheNextRedraw) {
  Bar bar;
  bar.progress.Show();
  bar.progress.Percent(50);
  const auto before = bar.surface.Pixels();
  bar.progress.RedHue(20);
  EXPECT_EQ(bar.surface.Pixels(), before);
  bar.progress.Paint();
  EXPECT_EQ(bar.surface.raster.Pixel(0, 8), (Rgb{96, 76, 76}));
}

TEST(CoolProgress, ZeroHeightBarDrawsWithoutShading) {
  Bar bar(RecordingSurface(401, 0));
  bar.progress.Show();
  bar.DrawAt(50);
  EXPECT_EQ(bar.surface.figures.size(), 6u + 5u);
  EXPECT_THAT(bar.surface.GradientLines(), IsEmpty());
}

TEST(CoolProgressProperties, DefaultsAreOmittedAndRestored) {
  Bar bar;
  PropertyBag bag;
  bar.progress.WriteProperties(bag);
  EXPECT_THAT(bag.Values(), IsEmpty());

  bar.progress.GradientTo(200);
  bar.progress.RedHue(7);
  bar.progress.WriteProperties(bag);
  bar.progress.RedHue(0);
  bar.progress.WriteProperties(bag);
  EXPECT_THAT(bag.Values(), ElementsAre(std::pair<const std::string, double>("GradientTo", 200)));

  Bar restored;
  restored.progress.ReadProperties(bag);
  EXPECT_EQ(restored.progress.GradientFrom(), 190);
  EXPECT_EQ(restored.progress.GradientTo(), 200);
  EXPECT_EQ(restored.progress.RedHue(), 0);
  EXPECT_THAT(restored.reported, IsEmpty());
  EXPECT_THAT(restored.surface.figures, IsEmpty());
}

TEST(CoolProgressProperties, ReadRoundsHalfToEvenWithoutCheckingPercent) {
  PropertyBag bag;
  bag.WriteProperty("GradientFrom", 180.5, 190);
  bag.WriteProperty("GradientTo", 181.5, 230);
  bag.WriteProperty("RedHue", -2.5, 0);
  bag.WriteProperty("Percent", 150, 0);
  Bar bar;
  bar.progress.ReadProperties(bag);
  EXPECT_EQ(bar.progress.GradientFrom(), 180);
  EXPECT_EQ(bar.progress.GradientTo(), 182);
  EXPECT_EQ(bar.progress.RedHue(), -2);
  EXPECT_EQ(bar.progress.Percent(), 150);
  bar.DrawAt(150);
  EXPECT_THAT(bar.surface.figures, IsEmpty());
}

// Only a damaged bag holds such values; the control loads with its defaults
// for them, and a huge saved Percent still draws.
TEST(CoolProgressProperties, ValuesBeyondSixteenBitsDoNotBreakTheControl) {
  PropertyBag bag;
  bag.WriteProperty("GradientTo", 40000, 230);
  bag.WriteProperty("BlueHue", std::numeric_limits<double>::quiet_NaN(), 0);
  bag.WriteProperty("Percent", 32767, 0);
  Bar bar;
  bar.progress.ReadProperties(bag);
  EXPECT_EQ(bar.progress.GradientTo(), 230);
  EXPECT_EQ(bar.progress.BlueHue(), 0);
  EXPECT_EQ(bar.progress.Percent(), 32767);
  bar.progress.Paint();
  EXPECT_EQ(bar.surface.raster.Pixel(200, 5), Grey(204));
}

}  // namespace
}  // namespace foxbane
