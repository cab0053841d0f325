// Title and copyright lines of the background window: face, size, box, lines.
#include "ui/background_text.h"

#include <algorithm>
#include <cmath>

#include "core/text.h"
#include "ui/blank_trim.h"

namespace palisade {
namespace {

constexpr double kTitlePoints = 26;
constexpr double kCopyrightPoints = 16;
constexpr double kSmallestFittedPoints = 6;
constexpr int kShadowUnits = 1300;
// A size factor from the settings beyond this is no intended size; it would
// only make the fit loop run for long.
constexpr double kMaxSizeFactor = 40;

double SaneSizeFactor(double factor) {
    if (!std::isfinite(factor) || factor <= 0) return 1.0;
    return std::min(factor, kMaxSizeFactor);
}

int FontHeight(double points, int pixelsPerInch) { return int(std::floor(pixelsPerInch * points / 72.0)); }

}  // namespace

std::optional<TextPosition> PositionFromCode(std::uint8_t code) {
    if (code < 1 || code > 6) return std::nullopt;
    static constexpr TextAlign kAligns[] = {TextAlign::Left, TextAlign::Centre, TextAlign::Right};
    return TextPosition{code <= 3, kAligns[(code - 1) % 3]};
}

TextMargins MarginsFor(const Rect& client) { return {client.Width() / 200, client.Height() / 400}; }

std::vector<std::u16string_view> SplitTextLines(std::u16string_view text) {
    std::vector<std::u16string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(u"\r\n", start);
        if (end == text.npos) end = text.size();
        lines.push_back(text.substr(start, std::min(end - start, kMaxDrawnLineLength)));
        start = end;
        if (start < text.size()) {
            char16_t first = text[start++];
            // CR LF and LF CR are one break each.
            if (start < text.size() && (text[start] == u'\r' || text[start] == u'\n') && text[start] != first) ++start;
        }
    }
    return lines;
}

std::u16string ResolveFontList(std::u16string_view list, const std::function<bool(std::u16string_view)>& isInstalled) {
    while (true) {
        std::size_t comma = list.find(u',');
        std::u16string_view name = TrimBlanks(list.substr(0, comma));
        if (!name.empty() && isInstalled(name)) return std::u16string(name);
        if (comma == list.npos) break;
        list.remove_prefix(comma + 1);
    }
    if (isInstalled(u"MS Shell Dlg 2")) return u"MS Shell Dlg 2";
    return u"Arial";
}

int LineLeft(const Rect& box, int lineWidth, TextAlign align) {
    switch (align) {
        case TextAlign::Left: return box.left;
        case TextAlign::Centre: return box.left + (box.Width() - lineWidth) / 2;
        case TextAlign::Right: return box.left + box.Width() - lineWidth;
    }
    return box.left;
}

BackgroundText TitleText(const BackgroundSettings& background) {
    return {background.ShownTitle(), background.titleFont, kTitlePoints * SaneSizeFactor(background.titleSize),
            background.titleShadow, background.titlePosition, ColourOr(background.titleColor, 0xFFFEF7)};
}

BackgroundText CopyrightText(const BackgroundSettings& background) {
    return {background.copyrightText, background.copyrightFont,
            kCopyrightPoints * SaneSizeFactor(background.copyrightSize), 0, background.copyrightPos,
            ColourOr(background.copyrightColor, 0xFEFCEC)};
}

FontFit FitFont(const BackgroundText& text, std::u16string_view face, const std::vector<std::u16string_view>& lines,
                const Rect& client, int pixelsPerInch, const LineMeasure& measure) {
    const int margin = MarginsFor(client).horizontal;
    double points = text.nominalPoints;
    while (true) {
        FontFit fit{points, FontHeight(points, pixelsPerInch), 0};
        fit.shadowOffset = fit.height * text.shadow / kShadowUnits;
        if (points <= kSmallestFittedPoints) return fit;
        int widest = 0;
        for (std::u16string_view line : lines) widest = std::max(widest, measure(face, fit.height, line));
        if (widest + fit.shadowOffset + margin < client.right) return fit;
        // Shrinking stops at 6 points, where the text is drawn even if it does not fit.
        points = std::max(points - 1, kSmallestFittedPoints);
    }
}

std::optional<TextLinePlan> PlanBackgroundText(const BackgroundText& text, const Rect& client, int pixelsPerInch,
                                               const std::function<bool(std::u16string_view)>& isInstalled,
                                               const LineMeasure& measure) {
    std::optional<TextPosition> position = PositionFromCode(text.position);
    if (text.text.empty() || !position) return std::nullopt;
    TextLinePlan plan;
    std::vector<std::u16string_view> lines = SplitTextLines(text.text);
    plan.face = ResolveFontList(text.faceList, isInstalled);
    plan.font = FitFont(text, plan.face, lines, client, pixelsPerInch, measure);

    const TextMargins margins = MarginsFor(client);
    const int shadow = plan.font.shadowOffset;
    const int textHeight = int(lines.size()) * plan.font.height;
    int top = position->atTop ? client.top + margins.vertical
                              : client.bottom - textHeight - shadow - margins.vertical;
    plan.box = Rect::At(client.left + margins.horizontal, top, client.Width() - 2 * (margins.horizontal + shadow),
                        plan.font.height);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        int width = measure(plan.face, plan.font.height, lines[i]);
        plan.lines.push_back({lines[i], {LineLeft(plan.box, width, position->align), top + int(i) * plan.font.height}});
    }
    return plan;
}

}  // namespace palisade
