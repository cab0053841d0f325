// Reading dialog templates and writing the copy with the installer's font.
#include "ui/dialog_template.h"

#include "payload/little_endian.h"
#include "ui/window_styles.h"

namespace palisade {
namespace {

constexpr std::uint16_t kExtendedVersion = 1;
constexpr std::uint16_t kExtendedSignature = 0xFFFF;
constexpr std::uint16_t kOrdinalMarker = 0xFFFF;

std::size_t AlignTo4(std::size_t offset) { return (offset + 3) & ~std::size_t(3); }

// Sequential reads over the template; the first read past the end marks the
// reader failed and remembers where.
class TemplateReader {
public:
    explicit TemplateReader(ByteView bytes) : m_bytes(bytes) {}

    bool Failed() const { return m_failed; }
    std::size_t Offset() const { return m_offset; }
    void Align() {
        std::size_t aligned = AlignTo4(m_offset);
        if (aligned > m_bytes.size) return Fail();
        m_offset = aligned;
    }

    std::uint8_t U8() { return Has(1) ? m_bytes[m_offset++] : 0; }
    std::uint16_t U16() {
        if (!Has(2)) return 0;
        std::uint16_t value = LoadU16(m_bytes.data + m_offset);
        m_offset += 2;
        return value;
    }
    std::uint32_t U32() {
        if (!Has(4)) return 0;
        std::uint32_t value = LoadU32(m_bytes.data + m_offset);
        m_offset += 4;
        return value;
    }
    std::int16_t I16() { return std::int16_t(U16()); }

    std::u16string Text() {
        std::u16string text;
        while (!m_failed) {
            char16_t unit = char16_t(U16());
            if (m_failed || unit == 0) break;
            text.push_back(unit);
        }
        return text;
    }

    TemplateName Name() {
        TemplateName name;
        if (!Has(2)) return name;
        std::uint16_t first = LoadU16(m_bytes.data + m_offset);
        if (first == 0) {
            m_offset += 2;
        } else if (first == kOrdinalMarker) {
            m_offset += 2;
            name.kind = TemplateName::Kind::Ordinal;
            name.ordinal = U16();
        } else {
            name.kind = TemplateName::Kind::Text;
            name.text = Text();
        }
        return name;
    }

    void Skip(std::size_t count) {
        if (Has(count)) m_offset += count;
    }

private:
    bool Has(std::size_t count) {
        if (m_failed || m_bytes.size - m_offset < count) {
            Fail();
            return false;
        }
        return true;
    }
    void Fail() { m_failed = true; }

    ByteView m_bytes;
    std::size_t m_offset = 0;
    bool m_failed = false;
};

void ReadHeaderNames(TemplateReader& in, DialogTemplate& dialog) {
    dialog.menu = in.Name();
    dialog.className = in.Name();
    dialog.title = in.Text();
    dialog.hasFont = (dialog.style & style::kDsSetFont) != 0;
    dialog.fontOffset = in.Offset();
    if (!dialog.hasFont) return;
    dialog.points = in.U16();
    if (dialog.extended) {
        dialog.weight = in.U16();
        dialog.italic = in.U8();
        dialog.charset = in.U8();
    }
    dialog.face = in.Text();
}

DialogItemTemplate ReadItem(TemplateReader& in, bool extended) {
    DialogItemTemplate item;
    if (extended) {
        item.helpId = in.U32();
        item.exStyle = in.U32();
        item.style = in.U32();
    } else {
        item.style = in.U32();
        item.exStyle = in.U32();
    }
    item.x = in.I16();
    item.y = in.I16();
    item.width = in.I16();
    item.height = in.I16();
    item.id = extended ? in.U32() : in.U16();
    item.className = in.Name();
    item.title = in.Name();
    item.extraSize = in.U16();
    in.Skip(item.extraSize);
    return item;
}

void AppendText(std::vector<std::uint8_t>& out, std::u16string_view text) {
    for (char16_t unit : text) AppendU16(out, std::uint16_t(unit));
    AppendU16(out, 0);
}

void AppendName(std::vector<std::uint8_t>& out, const TemplateName& name) {
    switch (name.kind) {
        case TemplateName::Kind::None: AppendU16(out, 0); break;
        case TemplateName::Kind::Ordinal:
            AppendU16(out, kOrdinalMarker);
            AppendU16(out, name.ordinal);
            break;
        case TemplateName::Kind::Text: AppendText(out, name.text.substr(0, name.text.find(u'\0'))); break;
    }
}

void AppendRect(std::vector<std::uint8_t>& out, std::int16_t x, std::int16_t y, std::int16_t w, std::int16_t h) {
    for (std::int16_t value : {x, y, w, h}) AppendU16(out, std::uint16_t(value));
}

}  // namespace

DialogTemplateRead ReadDialogTemplate(ByteView bytes) {
    TemplateReader in(bytes);
    DialogTemplate dialog;
    std::uint16_t itemCount = 0;
    dialog.extended = bytes.size >= 4 && LoadU16(bytes.data) == kExtendedVersion &&
                      LoadU16(bytes.data + 2) == kExtendedSignature;
    if (dialog.extended) {
        in.Skip(4);
        dialog.helpId = in.U32();
        dialog.exStyle = in.U32();
        dialog.style = in.U32();
    } else {
        dialog.style = in.U32();
        dialog.exStyle = in.U32();
    }
    itemCount = in.U16();
    dialog.x = in.I16();
    dialog.y = in.I16();
    dialog.width = in.I16();
    dialog.height = in.I16();
    ReadHeaderNames(in, dialog);
    dialog.firstItemOffset = AlignTo4(in.Offset());
    for (std::uint16_t i = 0; i < itemCount && !in.Failed(); ++i) {
        in.Align();
        dialog.items.push_back(ReadItem(in, dialog.extended));
    }
    if (in.Failed()) return {std::nullopt, in.Offset()};
    return {std::move(dialog), 0};
}

std::vector<std::uint8_t> WriteDialogTemplate(const DialogTemplate& dialog) {
    std::vector<std::uint8_t> out;
    AppendU16(out, kExtendedVersion);
    AppendU16(out, kExtendedSignature);
    AppendU32(out, dialog.helpId);
    AppendU32(out, dialog.exStyle);
    const std::uint32_t fontStyle = dialog.hasFont ? style::kDsSetFont : 0;
    AppendU32(out, (dialog.style & ~style::kDsSetFont) | fontStyle);
    AppendU16(out, std::uint16_t(dialog.items.size()));
    AppendRect(out, dialog.x, dialog.y, dialog.width, dialog.height);
    AppendName(out, dialog.menu);
    AppendName(out, dialog.className);
    AppendText(out, std::u16string_view(dialog.title).substr(0, dialog.title.find(u'\0')));
    if (dialog.hasFont) {
        AppendU16(out, dialog.points);
        AppendU16(out, dialog.weight);
        out.push_back(dialog.italic);
        out.push_back(dialog.charset);
        std::u16string_view face(dialog.face);
        AppendText(out, face.substr(0, face.find(u'\0')).substr(0, kMaxFaceLength));
    }
    for (const DialogItemTemplate& item : dialog.items) {
        out.resize(AlignTo4(out.size()), 0);
        AppendU32(out, item.helpId);
        AppendU32(out, item.exStyle);
        AppendU32(out, item.style);
        AppendRect(out, item.x, item.y, item.width, item.height);
        AppendU32(out, item.id);
        AppendName(out, item.className);
        AppendName(out, item.title);
        AppendU16(out, 0);  // no creation data
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> WithDialogFont(ByteView original, std::u16string_view face,
                                                        std::uint16_t points) {
    if (face.empty() && points == 0) return std::nullopt;
    DialogTemplateRead read = ReadDialogTemplate(original);
    if (!read.dialog || !read.dialog->extended || !read.dialog->hasFont) return std::nullopt;
    const DialogTemplate& dialog = *read.dialog;

    std::u16string_view newFace = face.empty() ? std::u16string_view(dialog.face) : face;
    // A NUL inside the face would end the name early for the system, which
    // would then look for the items in the wrong place.
    newFace = newFace.substr(0, newFace.find(u'\0')).substr(0, kMaxFaceLength);
    std::vector<std::uint8_t> copy(original.data, original.data + dialog.fontOffset);
    AppendU16(copy, points != 0 ? points : dialog.points);
    AppendU16(copy, dialog.weight);
    copy.push_back(dialog.italic);
    copy.push_back(dialog.charset);
    for (char16_t unit : newFace) AppendU16(copy, std::uint16_t(unit));
    AppendU16(copy, 0);
    // The items start on a 4-byte boundary; the face name is padded to keep them there.
    copy.resize(AlignTo4(copy.size()), 0);
    if (dialog.firstItemOffset < original.size) {
        copy.insert(copy.end(), original.data + dialog.firstItemOffset, original.data + original.size);
    }
    return copy;
}

}  // namespace palisade
