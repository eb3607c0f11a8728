#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "progress/cool_progress.h"
#include "sim/raster_surface.h"

namespace foxbane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;

Rgb Grey(std::uint8_t level) { return {level, level, level}; }

// A raster that also keeps every figure asked for, so a test can see both
// the picture and how it was drawn. The raster draws its outlines as lines:
// those are not kept again.
class RecordingSurface : public sim::RasterSurface {
 public:
  struct Figure {
    char kind;  // 'L'ine, 'O'utline, 'F'ill
    double x1, y1, x2, y2;
    Rgb colour;
  };
  using RasterSurface::RasterSurface;
  void Line(double x1, double y1, double x2, double y2, Rgb colour) override {
    if (!outlining_) figures.push_back({'L', x1, y1, x2, y2, colour});
    RasterSurface::Line(x1, y1, x2, y2, colour);
  }
  void Outline(double x1, double y1, double x2, double y2, Rgb colour) override {
    figures.push_back({'O', x1, y1, x2, y2, colour});
    outlining_ = true;
    RasterSurface::Outline(x1, y1, x2, y2, colour);
    outlining_ = false;
  }
  void Fill(double x1, double y1, double x2, double y2, Rgb colour) override {
    figures.push_back({'F', x1, y1, x2, y2, colour});
    RasterSurface::Fill(x1, y1, x2, y2, colour);
  }
  std::vector<Figure> figures;

 private:
  bool outlining_ = false;
};

// CoolProgress1 at its size: 401 pixels (6015 twips) wide, 17 pixels (255
// twips) high unless asked otherwise.
struct Bar {
  explicit Bar(int height = 17)
      : surface(401, height, {1, 2, 3}),
        progress(surface, [this](std::string_view name) { reported.emplace_back(name); }) {
    progress.InitProperties();
  }
  // Redraws at `percent` and keeps only that redraw's figures.
  void DrawAt(std::int16_t percent) {
    surface.figures.clear();
    progress.Percent(percent);
  }
  void ExpectPixels(std::initializer_list<std::tuple<int, int, Rgb>> expected) const {
    for (const auto& [x, y, colour] : expected) EXPECT_EQ(surface.Pixel(x, y), colour) << x << "," << y;
  }
  // The shading lines of the last redraw: the figures before its first outline.
  std::vector<RecordingSurface::Figure> GradientLines() const {
    std::vector<RecordingSurface::Figure> lines;
    for (const auto& figure : surface.figures) {
      if (figure.kind != 'L') break;
      lines.push_back(figure);
    }
    return lines;
  }

  RecordingSurface surface;
  CoolProgress progress;
  std::vector<std::string> reported;
};

// Every pixel is painted on each redraw, so a lowered Percent leaves no trace.
TEST(CoolProgress, ShadesFramesAndTracksTheBarAtThirtyThreeHundredAndZeroPercentAndNoOther) {
  Bar bar;
  bar.progress.Show();
  bar.DrawAt(33);
  std::vector<std::uint8_t> greys;
  for (const auto& line : bar.GradientLines()) {
    // Each row and one below, to round(6015 / 100 * 33).
    const double y = 15.0 * static_cast<double>(greys.size());
    EXPECT_EQ(std::tuple(line.y1, line.y2, line.x2), std::tuple(y, y, 1985.0));
    EXPECT_EQ(line.colour, Grey(line.colour.red));
    greys.push_back(line.colour.red);
  }
  EXPECT_THAT(greys, ElementsAre(192, 195, 197, 199, 202, 204, 206, 209, 211, 214, 216, 218, 221, 223,
                                 225, 228, 230, 232));
  // Three frame passes follow: Down3D (outline, track, four edges), Up3D.
  EXPECT_EQ(bar.surface.figures.size(), 18u + 6u + 5u);
  for (int y = 2; y <= 14; ++y) EXPECT_EQ(bar.surface.Pixel(60, y), Grey(greys[y]));
  // The block's outline and inner edges, then the track, which covers the
  // bar's outline, with Down3D's inset lines running on.
  bar.ExpectPixels({{0, 8, Grey(76)}, {1, 8, Grey(255)}, {60, 1, Grey(255)}, {60, 15, Grey(173)},
                    {130, 8, Grey(173)}, {131, 8, Grey(76)}, {132, 8, Grey(130)}, {132, 0, Grey(130)},
                    {200, 1, Grey(173)}, {200, 15, Grey(205)}, {399, 8, Grey(205)}, {400, 8, Grey(130)}});

  // At 100 the block's frame runs to the bar's right edge, no track beside it.
  bar.DrawAt(100);
  bar.ExpectPixels({{400, 8, Grey(76)}, {399, 8, Grey(173)}, {398, 8, Grey(211)}, {200, 8, Grey(211)}});

  // At 0 the whole bar is track (over the outline too) with Down3D's inset
  // lines, from end to end of each, and nothing else.
  bar.DrawAt(0);
  const Rgb track = Grey(130), top = Grey(173), bottom = Grey(205);  // left and right alike
  bar.ExpectPixels({{0, 0, track}, {0, 8, track}, {400, 16, track}, {0, 1, track}, {400, 1, track},
                    {1, 1, top}, {200, 1, top}, {399, 1, top}, {1, 2, top}, {1, 8, top}, {1, 15, top},
                    {1, 16, track}, {2, 15, bottom}, {200, 15, bottom}, {400, 15, bottom}, {399, 2, bottom},
                    {399, 8, bottom}});
  EXPECT_EQ(bar.surface.figures.size(), 18u + 6u);  // no Up3D

  // A Percent outside 0..100 is ignored; the other properties report their
  // change but draw nothing until the next repaint.
  bar.DrawAt(101);
  bar.DrawAt(-1);
  EXPECT_EQ(bar.progress.Percent(), 0);
  bar.progress.GradientFrom(190);
  bar.progress.GradientTo(230);
  bar.progress.RedHue(20);
  bar.progress.BlueHue(0);
  bar.progress.GreenHue(0);
  EXPECT_THAT(bar.surface.figures, IsEmpty());
  EXPECT_THAT(bar.reported, ElementsAre("Percent", "Percent", "Percent", "GradientFrom", "GradientTo",
                                        "RedHue", "BlueHue", "GreenHue"));
  bar.progress.Paint();
  EXPECT_EQ(bar.surface.Pixel(1, 8), (Rgb{193, 173, 173}));
}

// Hues tint the shading and the 76 and 173 frame greys but never the white
// and light grey edges; each component is held to 0..255, even where a
// 16-bit sum would overflow. A reversed gradient darkens downwards, and a
// bar without rows has no shading to draw, and no step to divide by.
TEST(CoolProgress, HuesAndGradientShadeTheBlockAndAFlatBarHasNone) {
  const struct {
    std::int16_t red, green, blue;
    Rgb shade, outline, hueFrame;  // shade: the third row's
  } cases[] = {
      {40, 0, 0, {237, 197, 197}, {116, 76, 76}, {213, 173, 173}},
      {32767, 100, -300, {255, 255, 0}, {255, 176, 0}, {255, 255, 0}},
  };
  for (const auto& hue : cases) {
    SCOPED_TRACE(hue.red);
    Bar bar;
    bar.progress.RedHue(hue.red);
    bar.progress.GreenHue(hue.green);
    bar.progress.BlueHue(hue.blue);
    bar.progress.Show();
    bar.DrawAt(33);
    bar.ExpectPixels({{60, 2, hue.shade}, {0, 8, hue.outline}, {130, 8, hue.hueFrame},
                      {200, 1, hue.hueFrame}, {1, 8, Grey(255)}, {60, 1, Grey(255)}, {200, 15, Grey(205)}});
  }

  Bar bar;
  bar.progress.GradientFrom(230);
  bar.progress.GradientTo(190);
  bar.progress.Show();
  bar.DrawAt(50);
  const auto lines = bar.GradientLines();
  ASSERT_EQ(lines.size(), 18u);
  EXPECT_EQ(lines[0].colour, Grey(228));
  EXPECT_EQ(lines[16].colour, Grey(190));
  for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_LT(lines[i].colour.red, lines[i - 1].colour.red);

  Bar flat(0);
  flat.progress.Show();
  flat.DrawAt(50);
  EXPECT_EQ(flat.surface.figures.size(), 6u + 5u);
  EXPECT_THAT(flat.GradientLines(), IsEmpty());
}

// Values back at their defaults are left out of the bag. Saved values are
// not checked against Percent's range; values beyond 16 bits (only a
// damaged bag holds them) load as their defaults, and a huge saved Percent
// still draws. Neither a new instance nor a load draws or reports.
TEST(CoolProgressProperties, DefaultsAreOmittedAndLoadsRoundHalfToEvenAndSurviveDamage) {
  Bar bar;
  PropertyBag bag;
  bar.progress.GradientTo(200);
  bar.progress.RedHue(7);
  bar.progress.WriteProperties(bag);
  bar.progress.RedHue(0);
  bar.progress.WriteProperties(bag);  // a value back at its default leaves the bag
  EXPECT_THAT(bag.Values(), ElementsAre(Pair("GradientTo", 200)));
  Bar restored;
  restored.progress.ReadProperties(bag);
  EXPECT_EQ(restored.progress.GradientFrom(), 190);
  EXPECT_EQ(restored.progress.GradientTo(), 200);

  bag.WriteProperty("GradientFrom", 180.5, 190);
  bag.WriteProperty("GradientTo", 181.5, 230);
  bag.WriteProperty("RedHue", -2.5, 0);
  bag.WriteProperty("GreenHue", 40000, 0);
  bag.WriteProperty("BlueHue", std::numeric_limits<double>::quiet_NaN(), 0);
  bag.WriteProperty("Percent", 32767, 0);
  Bar loaded;
  loaded.progress.ReadProperties(bag);
  EXPECT_THAT(loaded.reported, IsEmpty());
  EXPECT_THAT(loaded.surface.figures, IsEmpty());
  PropertyBag saved;  // what was loaded, the hues at their defaults left out
  loaded.progress.WriteProperties(saved);
  EXPECT_THAT(saved.Values(), ElementsAre(Pair("GradientFrom", 180), Pair("GradientTo", 182),
                                          Pair("Percent", 32767), Pair("RedHue", -2)));
  loaded.DrawAt(150);
  EXPECT_THAT(loaded.surface.figures, IsEmpty());
  loaded.progress.Paint();
  EXPECT_EQ(loaded.surface.Pixel(200, 5), (Rgb{179, 181, 181}));  // shade 181 at row 5, red -2
}

}  // namespace
}  // namespace foxbane
