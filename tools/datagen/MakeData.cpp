// Offline generator for Embervane's bundled textures: glyph atlas, wood floor, star sprite.

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

constexpr double kTau = 2.0 * std::numbers::pi;

// Pixels are kept top-down in memory because that is how the pictures are designed;
// the writer flips them into the file's bottom-up row order.
struct Image {
    int width = 0;
    int height = 0;
    int channels = 0;  // 1 = grey, 3 = R,G,B
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
    if (!ok) {
        std::fprintf(stderr, "some outputs could not be made\n");
        return 1;
    }
    return 0;
}
