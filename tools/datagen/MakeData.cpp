// Offline generator for Embervane's bundled pictures: glyph atlas, wood floor, star sprite, and
// the icons that the desktop shows for the installed program.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BBOX_H
#include FT_OUTLINE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include <zlib.h>

namespace {

constexpr int kAtlasSize = 256;
constexpr int kCellSize = 16;
constexpr int kCellsPerRow = kAtlasSize / kCellSize;
// The HUD draws a 16-texel cell at 10 pixels, so GL blends mip level 0 with level 1, where each
// texel averages a 2x2 block of level 0. At a quad's outer pixels bilinear filtering reads the
// level-1 texel just across the cell boundary; two blank texels on every side of a cell keep
// that texel empty, so no neighbouring glyph shows through.
constexpr int kCellMargin = 2;
constexpr double kInkLow = kCellMargin;
constexpr double kInkHigh = kCellSize - kCellMargin;

constexpr int kWoodSize = 256;
constexpr int kPlankHeight = 32;
// Seams are offset from the image edge so the wrap-around row is plain grain, not a seam.
constexpr int kPlankOffset = 16;
constexpr int kJointsPerPlank = 2;

constexpr int kStarSize = 64;

// The icon is drawn in a unit square, y down, at each size the desktop's icon theme asks for.
constexpr std::array<int, 6> kIconSizes = {16, 32, 48, 64, 128, 256};
// The window carries the sizes up to this one itself (16, 32, 48): task bars and title bars show
// those; a larger view finds the installed icon through the desktop entry.
constexpr int kWindowIconLargest = 48;
constexpr int kIconSamples = 4;  // per pixel and axis
constexpr double kIconInset = 0.03;
constexpr double kIconCorner = 0.16;  // radius of the tile's rounded corners
constexpr double kHorizon = 0.64;
constexpr double kFadeDepth = 0.12;   // the floor fades into the sky over this many rows
constexpr double kFloorDepth = 0.5;   // a floor row v lies kFloorDepth / (v - kHorizon) away
constexpr double kPlankWidth = 0.22;  // across, at that depth
constexpr double kSeamWidth = 0.1;    // of a plank's width
constexpr int kOuterPlank = 12;       // planks -kOuterPlank..kOuterPlank-1 reach the fade
constexpr double kEmitterX = 0.5;
constexpr double kEmitterY = 0.8;
constexpr int kIconSparks = 150;

constexpr double kTau = 2.0 * std::numbers::pi;

// Pixels are kept top-down in memory because that is how the pictures are designed;
// the writer flips them into the file's bottom-up row order.
struct Image {
    int width = 0;
    int height = 0;
    int channels = 0;  // 1 = grey, 3 = R,G,B, 4 = R,G,B,A (PNG only)
    std::vector<std::uint8_t> pixels;

    Image(int w, int h, int c)
        : width(w), height(h), channels(c), pixels(static_cast<size_t>(w * h * c), 0) {}

    std::uint8_t* At(int x, int y) {
        return &pixels[static_cast<size_t>((y * width + x) * channels)];
    }
};

bool WriteTga(const std::filesystem::path& path, const Image& image) {
    std::array<std::uint8_t, 18> header{};
    header[2] = image.channels == 1 ? 3 : 2;
    header[12] = static_cast<std::uint8_t>(image.width & 0xff);
    header[13] = static_cast<std::uint8_t>(image.width >> 8);
    header[14] = static_cast<std::uint8_t>(image.height & 0xff);
    header[15] = static_cast<std::uint8_t>(image.height >> 8);
    header[16] = static_cast<std::uint8_t>(image.channels * 8);
    header[17] = 0;

    std::vector<std::uint8_t> body;
    body.reserve(image.pixels.size());
    for (int fileRow = 0; fileRow < image.height; ++fileRow) {
        const int y = image.height - 1 - fileRow;
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p =
                &image.pixels[static_cast<size_t>((y * image.width + x) * image.channels)];
            if (image.channels == 1) {
                body.push_back(p[0]);
            } else {
                body.push_back(p[2]);
                body.push_back(p[1]);
                body.push_back(p[0]);
            }
        }
    }

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    out.write(reinterpret_cast<const char*>(header.data()),
              static_cast<std::streamsize>(header.size()));
    out.write(reinterpret_cast<const char*>(body.data()),
              static_cast<std::streamsize>(body.size()));
    return static_cast<bool>(out);
}

std::uint8_t ToByte(double v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

bool IsDrawnCode(int code) {
    // Control codes, space and no-break space stay blank.
    return (code > 32 && code < 127) || (code > 160 && code < 256);
}

struct Span {
    double low;
    double high;
};

// Maps one axis of a glyph from font units to cell texels: texel = unit * scale + offset.
struct AxisMap {
    double scale;
    double offset;

    double Apply(double unit) const { return unit * scale + offset; }

    static AxisMap Stretch(const Span& from, const Span& to) {
        const double scale = (to.high - to.low) / (from.high - from.low);
        return {scale, to.low - from.low * scale};
    }

    // Narrows the glyph about its own centre if it is wider than the ink area, then slides it
    // inside; glyphs that already fit keep the shared map, so baselines and stems line up.
    AxisMap FitInk(const Span& glyph) const {
        AxisMap fitted = *this;
        const double low = Apply(glyph.low);
        const double high = Apply(glyph.high);
        const double span = kInkHigh - kInkLow;
        if (high - low > span) {
            const double centre = (low + high) * 0.5;
            const double shrink = span / (high - low);
            fitted = {scale * shrink, (offset - centre) * shrink + centre};
        }
        const double fittedLow = fitted.Apply(glyph.low);
        const double fittedHigh = fitted.Apply(glyph.high);
        if (fittedHigh > kInkHigh) {
            fitted.offset -= fittedHigh - kInkHigh;
        } else if (fittedLow < kInkLow) {
            fitted.offset += kInkLow - fittedLow;
        }
        return fitted;
    }
};

struct InkBox {
    Span x;
    Span y;
};

// Outline in font units, unhinted: the glyph is placed to fractions of a texel below, and
// hinting at the sheet's scale would not line up with the HUD's pixels anyway.
bool LoadOutline(FT_Face face, int code, InkBox& box) {
    const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
        return false;
    }
    FT_BBox bounds;
    if (FT_Outline_Get_BBox(&face->glyph->outline, &bounds) != 0) {
        return false;
    }
    box = {{static_cast<double>(bounds.xMin), static_cast<double>(bounds.xMax)},
           {static_cast<double>(bounds.yMin), static_cast<double>(bounds.yMax)}};
    return true;
}

Span Union(const Span& a, const Span& b) {
    return {std::min(a.low, b.low), std::max(a.high, b.high)};
}

// The ink box of a run of characters, which sets the scale every glyph on the sheet shares.
bool UnionInk(FT_Face face, int first, int last, InkBox& box) {
    if (!LoadOutline(face, first, box)) {
        return false;
    }
    for (int code = first + 1; code <= last; ++code) {
        InkBox glyph;
        if (!LoadOutline(face, code, glyph)) {
            return false;
        }
        box = {Union(box.x, glyph.x), Union(box.y, glyph.y)};
    }
    return true;
}

bool MakeFont(const std::string& fontPath, const std::filesystem::path& outPath) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "cannot start the font rasteriser\n");
        return false;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library, fontPath.c_str(), 0, &face) != 0) {
        std::fprintf(stderr, "cannot open font %s\n", fontPath.c_str());
        FT_Done_FreeType(library);
        return false;
    }

    // The HUD is mostly figures, so the widest digit sets the width and fills the ink area;
    // the sheet's glyphs come out about twice as wide as the face draws them. Height runs from
    // the lowest descender to the dot of i and j, so lower-case letters fit without help.
    InkBox digits;
    InkBox lowerCase;
    if (!UnionInk(face, '0', '9', digits) || !UnionInk(face, 'a', 'z', lowerCase)) {
        std::fprintf(stderr, "font lacks the digits or letters that set the sheet's scale\n");
        FT_Done_Face(face);
        FT_Done_FreeType(library);
        return false;
    }
    const AxisMap across = AxisMap::Stretch(digits.x, {kInkLow, kInkHigh});
    const AxisMap upward = AxisMap::Stretch(lowerCase.y, {kInkLow, kInkHigh});

    Image atlas(kAtlasSize, kAtlasSize, 1);
    std::array<std::uint8_t, kCellSize * kCellSize> cell{};
    bool ok = true;
    for (int code = 0; code < 256; ++code) {
        if (!IsDrawnCode(code)) {
            continue;
        }
        InkBox ink;
        if (!LoadOutline(face, code, ink)) {
            std::fprintf(stderr, "font has no usable glyph for code %d\n", code);
            ok = false;
            continue;
        }
        // Wide glyphs (W, M, #) are narrowed and tall ones (accented capitals, |) slid or
        // squeezed into the ink area instead of being cut off.
        const AxisMap glyphAcross = across.FitInk(ink.x);
        const AxisMap glyphUpward = upward.FitInk(ink.y);
        FT_Outline& outline = face->glyph->outline;
        for (int i = 0; i < outline.n_points; ++i) {
            FT_Vector& point = outline.points[i];
            point.x = std::lround(glyphAcross.Apply(static_cast<double>(point.x)) * 64.0);
            point.y = std::lround(glyphUpward.Apply(static_cast<double>(point.y)) * 64.0);
        }

        // The rasteriser's origin is the cell's lower-left corner, y up; row 0 of the bitmap is
        // the cell's top row.
        cell.fill(0);
        FT_Bitmap bitmap{};
        bitmap.rows = kCellSize;
        bitmap.width = kCellSize;
        bitmap.pitch = kCellSize;
        bitmap.buffer = cell.data();
        bitmap.num_grays = 256;
        bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
        if (FT_Outline_Get_Bitmap(library, &outline, &bitmap) != 0) {
            std::fprintf(stderr, "cannot rasterise code %d\n", code);
            ok = false;
            continue;
        }

        // Rounding the outline to 1/64 texel can graze the margin; the margin must stay blank.
        const int cellX = (code % kCellsPerRow) * kCellSize;
        const int cellY = (code / kCellsPerRow) * kCellSize;
        for (int y = kCellMargin; y < kCellSize - kCellMargin; ++y) {
            for (int x = kCellMargin; x < kCellSize - kCellMargin; ++x) {
                *atlas.At(cellX + x, cellY + y) = cell[static_cast<size_t>(y * kCellSize + x)];
            }
        }
    }

    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return WriteTga(outPath, atlas) && ok;
}

// Small fixed-seed generator so every run produces identical bytes on every platform.
class SplitMix {
public:
    explicit SplitMix(std::uint64_t seed) : state(seed) {}

    std::uint64_t Next() {
        state += 0x9e3779b97f4a7c15ull;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }

    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

private:
    std::uint64_t state;
};

// Value noise on a lattice that wraps, so the texture repeats without a visible seam.
class TileNoise {
public:
    TileNoise(int periodX, int periodY, std::uint64_t seed) : cellsX(periodX), cellsY(periodY) {
        SplitMix rng(seed);
        values.resize(static_cast<size_t>(cellsX * cellsY));
        for (double& v : values) {
            v = rng.Unit();
        }
    }

    // u, v in texture pixels; the lattice spans exactly kWoodSize in each direction.
    double Sample(double u, double v) const {
        const double fx = u / kWoodSize * cellsX;
        const double fy = v / kWoodSize * cellsY;
        const double x0 = std::floor(fx);
        const double y0 = std::floor(fy);
        const double tx = Smooth(fx - x0);
        const double ty = Smooth(fy - y0);
        const int ix = static_cast<int>(x0);
        const int iy = static_cast<int>(y0);
        const double a = Lattice(ix, iy);
        const double b = Lattice(ix + 1, iy);
        const double c = Lattice(ix, iy + 1);
        const double d = Lattice(ix + 1, iy + 1);
        return std::lerp(std::lerp(a, b, tx), std::lerp(c, d, tx), ty);
    }

private:
    static double Smooth(double t) { return t * t * (3.0 - 2.0 * t); }

    double Lattice(int x, int y) const {
        const int wx = ((x % cellsX) + cellsX) % cellsX;
        const int wy = ((y % cellsY) + cellsY) % cellsY;
        return values[static_cast<size_t>(wy * cellsX + wx)];
    }

    int cellsX;
    int cellsY;
    std::vector<double> values;
};

struct Rgb {
    double r;
    double g;
    double b;
};

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
    return {std::lerp(a.r, b.r, t), std::lerp(a.g, b.g, t), std::lerp(a.b, b.b, t)};
}

bool MakeWood(const std::filesystem::path& outPath) {
    constexpr int kPlanks = kWoodSize / kPlankHeight;
    static_assert(kWoodSize % kPlankHeight == 0, "planks must tile the texture exactly");

    SplitMix rng(0x456d626572ull);
    struct Board {
        double tint;
        double ringPhase;
        double ringCount;
    };
    // Each plank row has a few butt joints; every stretch between joints is its own board.
    std::array<std::array<int, kJointsPerPlank>, kPlanks> joints{};
    std::array<std::array<Board, kJointsPerPlank>, kPlanks> boards{};
    for (int p = 0; p < kPlanks; ++p) {
        const int base = static_cast<int>(rng.Next() % kWoodSize);
        for (int j = 0; j < kJointsPerPlank; ++j) {
            const int spread = kWoodSize / kJointsPerPlank;
            const int jitter =
                static_cast<int>(rng.Next() % static_cast<std::uint64_t>(spread / 2)) - spread / 4;
            joints[p][j] = ((base + j * spread + jitter) % kWoodSize + kWoodSize) % kWoodSize;
            boards[p][j] = {rng.Unit() * 2.0 - 1.0, rng.Unit(), 2.0 + std::floor(rng.Unit() * 3.0)};
        }
        std::sort(joints[p].begin(), joints[p].end());
    }

    // Noise stretched along x gives the long fibres; the coarse one bends the grain lines.
    const TileNoise fibre(8, 128, 11);
    const TileNoise fineFibre(16, 256, 12);
    const TileNoise warp(4, 16, 13);
    const TileNoise blotch(8, 8, 14);

    const Rgb light{0.78, 0.55, 0.33};
    const Rgb dark{0.50, 0.30, 0.15};
    const Rgb seam{0.20, 0.11, 0.05};

    Image image(kWoodSize, kWoodSize, 3);
    for (int y = 0; y < kWoodSize; ++y) {
        const int shifted = ((y - kPlankOffset) % kWoodSize + kWoodSize) % kWoodSize;
        const int plank = shifted / kPlankHeight;
        const int inPlank = shifted % kPlankHeight;
        for (int x = 0; x < kWoodSize; ++x) {
            // Which board of this plank row the pixel belongs to (the last one wraps past x = 0).
            int board = kJointsPerPlank - 1;
            for (int j = 0; j < kJointsPerPlank; ++j) {
                if (x >= joints[plank][j]) {
                    board = j;
                }
            }
            const Board& info = boards[plank][board];

            const double bend = (warp.Sample(x, y) - 0.5) * 0.9 + (blotch.Sample(x, y) - 0.5) * 0.4;
            const double rings = (static_cast<double>(inPlank) / kPlankHeight) * info.ringCount +
                                 info.ringPhase + bend;
            double grain = 0.5 + 0.5 * std::sin(kTau * rings);
            grain = std::pow(grain, 3.0);  // thin dark latewood lines on lighter wood
            const double fibres = fibre.Sample(x, y) * 0.6 + fineFibre.Sample(x, y) * 0.4;

            double t = 0.15 + 0.55 * grain + 0.35 * (fibres - 0.5);
            t += info.tint * 0.18;
            Rgb colour = Mix(light, dark, std::clamp(t, 0.0, 1.0));
            const double shade = 0.92 + 0.16 * blotch.Sample(x + 64.0, y + 64.0);
            colour = {colour.r * shade, colour.g * shade, colour.b * shade};

            // Darken seams: the plank edges run along x, the butt joints along y.
            bool isSeam = inPlank == 0;
            for (int j = 0; j < kJointsPerPlank; ++j) {
                if (x == joints[plank][j]) {
                    isSeam = true;
                }
            }
            if (isSeam) {
                colour = Mix(colour, seam, 0.75);
            } else if (inPlank == 1 || inPlank == kPlankHeight - 1) {
                colour = Mix(colour, seam, 0.2);
            }

            std::uint8_t* p = image.At(x, y);
            p[0] = ToByte(colour.r);
            p[1] = ToByte(colour.g);
            p[2] = ToByte(colour.b);
        }
    }
    return WriteTga(outPath, image);
}

bool MakeStar(const std::filesystem::path& outPath) {
    const double centre = (kStarSize - 1) * 0.5;
    // Every pixel on the border is farther than this, so the sprite fades to exact black there.
    const double reach = centre - 1.5;

    Image image(kStarSize, kStarSize, 3);
    for (int y = 0; y < kStarSize; ++y) {
        for (int x = 0; x < kStarSize; ++x) {
            const double dx = x - centre;
            const double dy = y - centre;
            const double r = std::sqrt(dx * dx + dy * dy) / reach;
            if (r >= 1.0) {
                continue;
            }
            const double window = (1.0 - r * r) * (1.0 - r * r);
            const double core = std::exp(-r * r * 60.0);
            const double halo = std::exp(-r * r * 9.0);
            const double glow = std::exp(-r * 3.5);
            const double ax = std::abs(dx) / reach;
            const double ay = std::abs(dy) / reach;
            const double glare = std::exp(-ay * 40.0) * std::exp(-ax * 3.0) +
                                 std::exp(-ax * 40.0) * std::exp(-ay * 3.0);

            const double white = core + 0.4 * glare;
            const double warm = 0.55 * halo + 0.25 * glow;
            std::uint8_t* p = image.At(x, y);
            p[0] = ToByte((white + warm * 1.00) * window);
            p[1] = ToByte((white + warm * 0.85) * window);
            p[2] = ToByte((white + warm * 0.65) * window);
        }
    }
    return WriteTga(outPath, image);
}

// The icon: the program's fountain as it looks at start-up, a jet and a spray of glowing blue
// sprites rising from the emitter over the wooden floor under a night sky, on a rounded tile.
// The PNG sizes and the scalable icon draw the same shapes.
struct Spark {
    double x;
    double y;
    double radius;
    Rgb colour;
};

const Rgb kSkyTop{0.01, 0.01, 0.03};
const Rgb kSkyLow{0.04, 0.05, 0.13};
const Rgb kWoodLight{0.78, 0.55, 0.33};
const Rgb kWoodDark{0.62, 0.40, 0.22};
const Rgb kWoodSeam{0.20, 0.11, 0.05};
const Rgb kSprayBlue{0.2, 0.5, 1.0};  // the program's two launch colours
const Rgb kJetBlue{0.2, 0.2, 1.0};

// Deterministic like the textures: a fixed seed and one draw per statement, in order.
std::vector<Spark> IconSparks() {
    SplitMix rng(0x69636f6eull);
    std::vector<Spark> sparks;
    for (int i = 0; i < kIconSparks; ++i) {
        // As in the program's pool, one spark in three belongs to the narrow jet, the rest to
        // the wide spray that arcs out and falls to both sides.
        const bool jet = i % 3 == 0;
        const double flight = rng.Unit();  // the part of its arc the spark has flown
        const double side = rng.Unit() * 2.0 - 1.0;
        const double lift = rng.Unit();
        const double size = rng.Unit();
        Spark spark{0.0, 0.0, 0.035 + 0.035 * size * (1.0 - 0.5 * flight), kSprayBlue};
        if (jet) {
            // Most of the jet is still low, where its sparks crowd into one bright stem.
            const double rise = flight * flight;
            spark.x = kEmitterX + side * 0.035 * rise;
            spark.y = kEmitterY - 0.62 * rise * (2.0 - rise);
            spark.colour = kJetBlue;
        } else {
            // Each spray spark climbs to its own height, so the arcs fill a dome.
            spark.x = kEmitterX + side * 0.46 * flight;
            spark.y = kEmitterY - (0.5 + lift) * 0.9 * flight * (1.0 - flight);
        }
        sparks.push_back(spark);
    }
    return sparks;
}

// Whether the point lies on the rounded tile; the icon is transparent around it.
bool InTile(double u, double v) {
    const double low = kIconInset + kIconCorner;
    const double high = 1.0 - kIconInset - kIconCorner;
    const double dx = std::max({low - u, u - high, 0.0});
    const double dy = std::max({low - v, v - high, 0.0});
    return dx * dx + dy * dy <= kIconCorner * kIconCorner && std::min(u, v) >= kIconInset &&
           std::max(u, v) <= 1.0 - kIconInset;
}

Rgb PlankColour(int plank) {
    return plank % 2 == 0 ? kWoodLight : kWoodDark;
}

// How far row v of the floor has faded into the sky's colour at the horizon.
double FloorFade(double v) {
    return std::clamp(1.0 - (v - kHorizon) / kFadeDepth, 0.0, 1.0);
}

// The tile's picture without the sparks: a sky above the horizon, below it planks that run
// toward the horizon and meet there, as the floor does from the program's start-up camera.
Rgb Ground(double u, double v) {
    if (v < kHorizon) {
        return Mix(kSkyTop, kSkyLow, v / kHorizon);
    }
    const double depth = kFloorDepth / std::max(v - kHorizon, 1e-9);
    const double across = (u - kEmitterX) * depth / kPlankWidth;
    const double plank = std::floor(across);
    const Rgb wood = across - plank < kSeamWidth ? kWoodSeam : PlankColour(static_cast<int>(plank));
    return Mix(wood, kSkyLow, FloorFade(v));
}

// Where the floor's line `across` planks from the middle meets the tile's bottom edge.
double FloorEdge(double across) {
    return kEmitterX + across * kPlankWidth * (1.0 - kHorizon) / kFloorDepth;
}

// The star sprite's profile (as in MakeStar, without its glare) at r = distance / radius.
double Glow(double r) {
    if (r >= 1.0) {
        return 0.0;
    }
    const double window = (1.0 - r * r) * (1.0 - r * r);
    return 1.6 * (std::exp(-r * r * 30.0) + 0.45 * std::exp(-r * r * 6.0)) * window;
}

// Zlib at its best compression; the same zlib gives the same bytes.
bool WritePng(const std::filesystem::path& path, const Image& image) {
    const size_t rowBytes = static_cast<size_t>(image.width * image.channels);
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);  // no filter
        const std::uint8_t* row = &image.pixels[static_cast<size_t>(y) * rowBytes];
        raw.insert(raw.end(), row, row + rowBytes);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return false;
    }
    packed.resize(packedSize);

    std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    auto put32 = [](std::vector<std::uint8_t>& bytes, std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            bytes.push_back(static_cast<std::uint8_t>(v >> shift));
        }
    };
    auto chunk = [&](const char* type, const std::vector<std::uint8_t>& data) {
        put32(file, static_cast<std::uint32_t>(data.size()));
        const size_t start = file.size();
        file.insert(file.end(), type, type + 4);
        file.insert(file.end(), data.begin(), data.end());
        put32(file, static_cast<std::uint32_t>(
                        crc32(0, &file[start], static_cast<uInt>(file.size() - start))));
    };
    std::vector<std::uint8_t> header;
    put32(header, static_cast<std::uint32_t>(image.width));
    put32(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, deflate, no interlace
    chunk("IHDR", header);
    chunk("IDAT", packed);
    chunk("IEND", {});

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out);
}

// Sprites add up as the program's additive blending adds them, saturating to white where many
// overlap, as at the emitter. No spark is drawn narrower than a pixel and a half, so the
// smallest sizes still show sparks rather than losing them between samples.
Image DrawIcon(int size, const std::vector<Spark>& sparks) {
    Image image(size, size, 4);
    const double minRadius = 0.75 / size;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Rgb sum{0.0, 0.0, 0.0};
            int covered = 0;
            for (int sy = 0; sy < kIconSamples; ++sy) {
                for (int sx = 0; sx < kIconSamples; ++sx) {
                    const double u = (x + (sx + 0.5) / kIconSamples) / size;
                    const double v = (y + (sy + 0.5) / kIconSamples) / size;
                    if (!InTile(u, v)) {
                        continue;
                    }
                    Rgb colour = Ground(u, v);
                    for (const Spark& spark : sparks) {
                        const double radius = std::max(spark.radius, minRadius);
                        const double glow = Glow(std::hypot(u - spark.x, v - spark.y) / radius);
                        colour = {colour.r + glow * spark.colour.r,
                                  colour.g + glow * spark.colour.g,
                                  colour.b + glow * spark.colour.b};
                    }
                    sum = {sum.r + std::min(colour.r, 1.0), sum.g + std::min(colour.g, 1.0),
                           sum.b + std::min(colour.b, 1.0)};
                    ++covered;
                }
            }
            if (covered > 0) {
                std::uint8_t* p = image.At(x, y);
                p[0] = ToByte(sum.r / covered);
                p[1] = ToByte(sum.g / covered);
                p[2] = ToByte(sum.b / covered);
                p[3] = ToByte(static_cast<double>(covered) / (kIconSamples * kIconSamples));
            }
        }
    }
    return image;
}

// The sizes that the window itself carries, as the desktop's _NET_WM_ICON property holds them
// and the program sets it: for each, its width and height, then its pixels from the top row,
// every value one 32-bit big-endian word, each pixel non-premultiplied alpha, red, green, blue.
// The build compiles the file into the program, which reads no file for its icon.
bool WriteWindowIcon(const std::vector<Image>& icons, const std::filesystem::path& outPath) {
    std::vector<std::uint8_t> bytes;
    auto put32 = [&bytes](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            bytes.push_back(static_cast<std::uint8_t>(v >> shift));
        }
    };
    for (const Image& icon : icons) {
        put32(static_cast<std::uint32_t>(icon.width));
        put32(static_cast<std::uint32_t>(icon.height));
        for (size_t at = 0; at < icon.pixels.size(); at += 4) {
            const std::uint8_t* p = &icon.pixels[at];
            bytes.insert(bytes.end(), {p[3], p[0], p[1], p[2]});
        }
    }
    std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string Hex(const Rgb& c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", ToByte(c.r), ToByte(c.g), ToByte(c.b));
    return text;
}

// The same picture as a scalable icon, 256 units across: the tile, the sky's gradient, each
// plank and seam as a wedge from the horizon's vanishing point, the fade over them, and every
// spark as a radial gradient sampled from the sprite's profile.
bool MakeSvg(const std::vector<Spark>& sparks, const std::filesystem::path& outPath) {
    constexpr double kUnits = 256.0;
    std::ofstream out(outPath, std::ios::trunc);
    const double horizon = kHorizon * kUnits;
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
           "viewBox=\"0 0 256 256\">\n<defs>\n"
        << "<clipPath id=\"tile\"><rect x=\"" << kIconInset * kUnits << "\" y=\""
        << kIconInset * kUnits << "\" width=\"" << (1.0 - 2.0 * kIconInset) * kUnits
        << "\" height=\"" << (1.0 - 2.0 * kIconInset) * kUnits << "\" rx=\"" << kIconCorner * kUnits
        << "\"/></clipPath>\n"
        << "<linearGradient id=\"sky\" gradientUnits=\"userSpaceOnUse\" x2=\"0\" y2=\"" << horizon
        << "\"><stop stop-color=\"" << Hex(kSkyTop) << "\"/><stop offset=\"1\" stop-color=\""
        << Hex(kSkyLow) << "\"/></linearGradient>\n"
        << "<linearGradient id=\"fade\" gradientUnits=\"userSpaceOnUse\" x2=\"0\" y1=\"" << horizon
        << "\" y2=\"" << (kHorizon + kFadeDepth) * kUnits << "\"><stop stop-color=\""
        << Hex(kSkyLow) << "\"/><stop offset=\"1\" stop-color=\"" << Hex(kSkyLow)
        << "\" stop-opacity=\"0\"/></linearGradient>\n";
    for (const auto& [name, colour] : {std::pair{"spray", kSprayBlue}, {"jet", kJetBlue}}) {
        out << "<radialGradient id=\"" << name << "\">";
        for (double r : {0.0, 0.1, 0.2, 0.3, 0.45, 0.6, 0.8, 1.0}) {
            // The brightest channel becomes the stop's opacity: over a dark ground, painting
            // the colour at that opacity adds about what the sprite adds.
            const double glow = Glow(r);
            const double alpha = std::min(glow * std::max({colour.r, colour.g, colour.b}), 1.0);
            const double scale = alpha > 0.0 ? glow / alpha : 0.0;
            const Rgb lit{std::min(scale * colour.r, 1.0), std::min(scale * colour.g, 1.0),
                          std::min(scale * colour.b, 1.0)};
            out << "<stop offset=\"" << r << "\" stop-color=\"" << Hex(lit) << "\" stop-opacity=\""
                << alpha << "\"/>";
        }
        out << "</radialGradient>\n";
    }
    out << "</defs>\n<g clip-path=\"url(#tile)\">\n"
        << "<rect width=\"256\" height=\"" << horizon << "\" fill=\"url(#sky)\"/>\n"
        << "<rect y=\"" << horizon << "\" width=\"256\" height=\"" << 256.0 - horizon
        << "\" fill=\"" << Hex(Mix(kWoodLight, kWoodDark, 0.5)) << "\"/>\n";
    for (int plank = -kOuterPlank; plank < kOuterPlank; ++plank) {
        const double seamEnd = FloorEdge(plank + kSeamWidth) * kUnits;
        out << "<path d=\"M" << kEmitterX * kUnits << " " << horizon << "L"
            << FloorEdge(plank) * kUnits << " 256H" << seamEnd << "Z\" fill=\"" << Hex(kWoodSeam)
            << "\"/><path d=\"M" << kEmitterX * kUnits << " " << horizon << "L" << seamEnd
            << " 256H" << FloorEdge(plank + 1) * kUnits << "Z\" fill=\"" << Hex(PlankColour(plank))
            << "\"/>\n";
    }
    out << "<rect y=\"" << horizon << "\" width=\"256\" height=\"" << kFadeDepth * kUnits
        << "\" fill=\"url(#fade)\"/>\n";
    for (const Spark& spark : sparks) {
        out << "<circle cx=\"" << spark.x * kUnits << "\" cy=\"" << spark.y * kUnits << "\" r=\""
            << spark.radius * kUnits << "\" fill=\"url(#"
            << (spark.colour.g == kJetBlue.g ? "jet" : "spray") << ")\"/>\n";
    }
    out << "</g>\n</svg>\n";
    return static_cast<bool>(out);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <font.ttf> <output-directory>\n", argv[0]);
        return 2;
    }
    const std::string fontPath = argv[1];
    const std::filesystem::path outDir = argv[2];

    bool ok = MakeFont(fontPath, outDir / "font.tga");
    ok = MakeWood(outDir / "wood.tga") && ok;
    ok = MakeStar(outDir / "star.tga") && ok;
    const std::vector<Spark> sparks = IconSparks();
    std::filesystem::create_directories(outDir / "icons");
    std::vector<Image> windowIcons;
    for (int size : kIconSizes) {
        const Image icon = DrawIcon(size, sparks);
        const std::string name = "embervane-" + std::to_string(size) + ".png";
        ok = WritePng(outDir / "icons" / name, icon) && ok;
        if (size <= kWindowIconLargest) {
            windowIcons.push_back(icon);
        }
    }
    ok = WriteWindowIcon(windowIcons, outDir / "icons" / "embervane-window.argb") && ok;
    ok = MakeSvg(sparks, outDir / "icons" / "embervane.svg") && ok;
    if (!ok) {
        std::fprintf(stderr, "some outputs could not be made\n");
        return 1;
    }
    return 0;
}
