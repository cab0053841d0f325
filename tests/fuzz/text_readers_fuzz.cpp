// libFuzzer target: the small readers of outside text. The first byte picks
// the reader; the rest is its input (UTF-16 little-endian where it takes text).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "core/byte_source.h"
#include "core/format.h"
#include "core/http_request.h"
#include "payload/section_locator.h"
#include "startup/command_line.h"

namespace {

std::u16string Wide(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) text += char16_t(data[i] | (data[i + 1] << 8));
    return text;
}

// A message text from the catalogue, with arguments of both kinds.
void FuzzFormat(const std::u16string& text) {
    std::u16string out = palisade::Format(text, {u"text", 42, u"more", -7});
    // Every directive grows the output by at most its capped width (or an argument).
    if (out.size() > (text.size() + 4) * (palisade::kMaxFormatWidth + 8)) std::abort();
}

void FuzzCommandLine(const std::u16string& text) {
    auto toAnsi = [](std::u16string_view t) { return std::string(t.size(), '?'); };
    palisade::CommandLineResult parsed = palisade::ParseCommandLine(palisade::SkipProgramPath(text), toAnsi);
    if (parsed.options.silent && !parsed.options.automatic) std::abort();  // silent implies automatic
    for (const std::string& addition : parsed.options.batchAdditions) {
        if (addition.size() > 2 * text.size()) std::abort();
    }
}

void FuzzSectionLocator(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> image(data, data + size);
    palisade::MemoryByteSource source(image);
    palisade::SectionLookup lookup = palisade::LocateSetupSection(source);
    if (auto* section = std::get_if<palisade::SetupSection>(&lookup)) {
        if (section->rawPosition == 0 || section->index >= section->sectionCount) std::abort();
    }
}

// A server's answer and a notification address: whatever is taken apart names a host, a port and
// a path that begins with "/", and holds no character that could end a line.
void FuzzHttpAddress(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::optional<int> status = palisade::HttpStatusCode(text);
    if (status && (*status < 0 || *status > 999)) std::abort();
    std::optional<palisade::HttpAddress> address = palisade::ParseHttpAddress(text);
    if (!address) return;
    if (address->host.empty() || address->port == 0 || address->path.empty() || address->path[0] != '/') std::abort();
    for (const std::string* part : {&address->host, &address->path}) {
        if (part->find_first_of("\r\n") != std::string::npos || part->size() > text.size()) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t* rest = data + 1;
    std::size_t restSize = size - 1;
    switch (data[0] % 4) {
        case 0: FuzzFormat(Wide(rest, restSize)); break;
        case 1: FuzzCommandLine(Wide(rest, restSize)); break;
        case 3: FuzzHttpAddress(rest, restSize); break;
        default: FuzzSectionLocator(rest, restSize); break;
    }
    return 0;
}
