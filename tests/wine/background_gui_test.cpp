// The background window under Wine, shown by the probe: the gradient, the
// title and copyright lines, and a picture in every stretch mode, with a
// transparent palette entry and with alpha, checked by the colours of
// pixels at known points of the screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <thread>

#include "install_support.h"
#include "wizard_gui_support.h"

namespace palisade::wine {
namespace {

using Colour = std::uint32_t;  // 0x00BBGGRR
constexpr Colour kRed = 0x0000FF, kGreen = 0x00FF00, kWhite = 0xFFFFFF, kYellow = 0x00FFFF;
constexpr Colour kBlueTop = 0xFF0000;  // the gradient runs from blue at the top to black

void Put16(std::string& out, unsigned v) { out += char(v & 0xFF), out += char(v >> 8); }
void Put32(std::string& out, unsigned v) { Put16(out, v & 0xFFFF), Put16(out, v >> 16); }

// A BMP file of `width` x `height`, bottom-up, from a pixel function giving
// a palette index (8 bits), a colour (24 bits) or a colour with alpha (32 bits).
std::string Bmp(int width, int height, int bits, const std::vector<Colour>& palette,
                const std::function<std::uint32_t(int x, int y)>& pixel) {
    const int stride = ((width * bits + 31) / 32) * 4;
    const unsigned paletteBytes = unsigned(palette.size()) * 4;
    std::string out = "BM";
    Put32(out, 54 + paletteBytes + unsigned(stride * height));
    Put32(out, 0);
    Put32(out, 54 + paletteBytes);
    Put32(out, 40), Put32(out, unsigned(width)), Put32(out, unsigned(height));
    Put16(out, 1), Put16(out, unsigned(bits));
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    Put32(out, unsigned(palette.size())), Put32(out, 0);
    for (Colour c : palette) out += char((c >> 16) & 0xFF), out += char((c >> 8) & 0xFF), out += char(c & 0xFF), out += '\0';
    for (int row = height - 1; row >= 0; --row) {
        std::string line;
        for (int x = 0; x < width; ++x) {
            std::uint32_t v = pixel(x, row);
            if (bits == 8) line += char(v);
            else {
                line += char((v >> 16) & 0xFF), line += char((v >> 8) & 0xFF), line += char(v & 0xFF);
                if (bits == 32) line += char(v >> 24);
            }
        }
        line.resize(std::size_t(stride), '\0');
        out += line;
    }
    return out;
}

// A host file the probe reads through Wine's Z: drive.
std::string PictureFile(const std::string& name, const std::string& bytes) {
    std::filesystem::path path = ArtefactDir() / name;
    WriteHostFile(path, bytes);
    return "Z:" + path.string();
}

bool Near(Colour a, Colour b, int tolerance) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
    }
    return true;
}

// The gradient's colour at screen row y (blue falling to black down the window).
Colour GradientAt(int y) { return Colour(255 * (1025 - y) / 1025) << 16; }

int CountColour(const ScreenPixels& screen, int left, int top, int right, int bottom, Colour colour) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) count += Near(screen.At(x, y), colour, 8);
    }
    return count;
}

struct Probe {
    std::string name;  // for messages
    int x, y;
    std::optional<Colour> colour;  // nothing: the gradient of that row
};

void ExpectPoints(const ScreenPixels& screen, const std::vector<Probe>& points, const std::string& what) {
    for (const Probe& p : points) {
        Colour wanted = p.colour.value_or(GradientAt(p.y));
        EXPECT_TRUE(Near(screen.At(p.x, p.y), wanted, 14))
            << what << ": " << p.name << " at " << p.x << "," << p.y << " is " << std::hex << screen.At(p.x, p.y)
            << ", wanted " << wanted;
    }
}

class BackgroundProbe {
public:
    explicit BackgroundProbe(std::vector<std::string> settings) {
        static const std::filesystem::path probe = UniqueCopy(ProbePath(), "background-probe");
        settings.insert(settings.begin(), "background");
        settings.push_back("top=0xFF0000");
        settings.push_back("bottom=0");
        m_gui = std::make_unique<GuiRun>(probe, settings);
        if (!m_gui->Ready()) return;
        m_window = m_gui->spy().WaitFor("SEA Window Class", "*").value_or(0);
        std::this_thread::sleep_for(std::chrono::seconds(2));
    }
    ~BackgroundProbe() {
        if (m_window) m_gui->spy().Close(m_window);
        if (m_gui->Ready()) m_gui->run().Wait(std::chrono::seconds(30));
    }
    bool Ready() const { return m_gui->Ready() && m_window != 0; }
    std::optional<ScreenPixels> ShowMode(int mode) {
        m_gui->spy().Key(m_window, 0, '0' + mode);
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        return ScreenPixels::Capture();
    }

private:
    std::unique_ptr<GuiRun> m_gui;
    std::uintptr_t m_window = 0;
};

// 100 x 50: red on the left half, green on the right.
std::uint32_t Halves(int x, int) { return x < 50 ? kRed : kGreen; }

TEST(BackgroundGui, GradientTextsAndAPictureInEveryStretchMode) {
    std::string picture = PictureFile("background-24.bmp", Bmp(100, 50, 24, {}, Halves));
    BackgroundProbe probe({"picture=" + picture, "size=30", "mode=0", "title=PALISADE TITLE", "titlepos=2",
                           "titlecolor=0xFFFFFF", "shadow=40", "copyright=(c) Palisade Tests", "copyrightpos=6",
                           "copyrightcolor=0x00FFFF"});
    if (!probe.Ready()) GTEST_SKIP() << "no X server or no background window";
    // The client is 1281 x 1025; 30 % of it is 384 x 308 at 448,358.
    std::optional<ScreenPixels> fill = probe.ShowMode(0);
    ASSERT_TRUE(fill.has_value());
    ExpectPoints(*fill, {{"gradient top", 5, 100, {}}, {"gradient middle", 5, 512, {}}, {"gradient bottom", 5, 1000, {}},
                         {"left of the area", 440, 512, {}}, {"red half", 470, 380, kRed}, {"green half", 820, 650, kGreen},
                         {"above the area", 640, 350, {}}},
                 "stretched");
    EXPECT_GT(CountColour(*fill, 400, 0, 880, 60, kWhite), 100) << "the title, white, at the top centre";
    EXPECT_GT(CountColour(*fill, 400, 0, 880, 70, 0x000000), 50) << "the title's shadow";
    EXPECT_EQ(CountColour(*fill, 0, 0, 300, 60, kWhite), 0) << "the title is centred";
    EXPECT_GT(CountColour(*fill, 900, 960, 1280, 1024, kYellow), 30) << "the copyright at the bottom right";
    Screenshot("background-mode-0");

    // Mode 1: the largest 2:1 size that fits, 384 x 192 at y 416.
    std::optional<ScreenPixels> fit = probe.ShowMode(1);
    ASSERT_TRUE(fit.has_value());
    ExpectPoints(*fit, {{"above the fitted picture", 500, 400, {}}, {"red half", 460, 512, kRed},
                        {"green half", 820, 600, kGreen}},
                 "fitted");
    // Mode 2: three times the natural size, 300 x 150 at 490,437.
    std::optional<ScreenPixels> multiple = probe.ShowMode(2);
    ASSERT_TRUE(multiple.has_value());
    ExpectPoints(*multiple, {{"left of the picture", 470, 512, {}}, {"red half", 500, 512, kRed},
                             {"green half", 780, 512, kGreen}, {"right of the picture", 800, 512, {}}},
                 "whole multiple");
    // Mode 3: tiles of 100 x 50 from the top-left corner over everything.
    std::optional<ScreenPixels> tiles = probe.ShowMode(3);
    ASSERT_TRUE(tiles.has_value());
    ExpectPoints(*tiles, {{"first tile", 10, 10, kRed}, {"first tile's right half", 60, 10, kGreen},
                          {"second tile", 110, 10, kRed}, {"a low tile", 160, 1000, kGreen}},
                 "tiled");
    Screenshot("background-mode-3");
}

TEST(BackgroundGui, TransparentPaletteEntryAndAlphaLetTheGradientShow) {
    // Palette entry 1 (magenta) is transparent; the picture's right half uses it.
    std::string indexed = PictureFile("background-8.bmp",
                                      Bmp(100, 50, 8, {kRed, 0xFF00FF}, [](int x, int) { return x < 50 ? 0u : 1u; }));
    {
        BackgroundProbe probe({"picture=" + indexed, "tpi=1", "size=30", "mode=0"});
        if (!probe.Ready()) GTEST_SKIP() << "no X server or no background window";
        std::optional<ScreenPixels> shown = probe.ShowMode(0);
        ASSERT_TRUE(shown.has_value());
        ExpectPoints(*shown, {{"opaque half", 470, 512, kRed}, {"transparent half", 820, 512, {}}}, "transparent entry");
    }
    // 32 bits: the right half has alpha 0.
    std::string blended = PictureFile("background-32.bmp", Bmp(100, 50, 32, {}, [](int x, int) {
                                          return x < 50 ? 0xFF0000FFu : 0u;
                                      }));
    BackgroundProbe probe({"picture=" + blended, "size=30", "mode=0"});
    std::optional<ScreenPixels> shown = probe.ShowMode(0);
    ASSERT_TRUE(shown.has_value());
    ExpectPoints(*shown, {{"opaque half", 470, 512, kRed}, {"transparent half", 820, 512, {}}}, "alpha");
}

}  // namespace
}  // namespace palisade::wine
