// The settings fields with a layout of their own: fixed records, lists and the message catalogue.
#include "payload/settings_codecs.h"

#include "payload/little_endian.h"

namespace palisade {
namespace settings_codecs {

namespace {

std::uint64_t LoadU64(const std::uint8_t* p) { return LoadU32(p) | (std::uint64_t(LoadU32(p + 4)) << 32); }

void StoreU64(std::uint8_t* p, std::uint64_t value) {
    StoreU32(p, std::uint32_t(value));
    StoreU32(p + 4, std::uint32_t(value >> 32));
}

const std::uint8_t* Bytes(const std::string& raw) { return reinterpret_cast<const std::uint8_t*>(raw.data()); }

}  // namespace

bool ReadRecord(SettingsReader& r, ByteBlob& document) { return ReadInto<Str32::Bytes>(r, document); }
void WriteRecord(SettingsWriter& w, const ByteBlob& document) { Str32::Bytes::Write(w, document); }

// { u32 mode; 5 × narrow text; CompactString; wide text; CompactString }
bool ReadRecord(SettingsReader& r, FileAssociation& a) {
    return ReadInto<U32Codec>(r, a.mode) && ReadInto<NarrowTextCodec>(r, a.extension) &&
           ReadInto<NarrowTextCodec>(r, a.progId) && ReadInto<NarrowTextCodec>(r, a.verbs) &&
           ReadInto<NarrowTextCodec>(r, a.icon) && ReadInto<NarrowTextCodec>(r, a.spareText) &&
           ReadInto<Compact::Wide>(r, a.description) && ReadInto<WideTextCodec>(r, a.command) &&
           ReadInto<Compact::Wide>(r, a.verbLabel);
}

void WriteRecord(SettingsWriter& w, const FileAssociation& a) {
    w.U32(a.mode);
    w.NarrowText(a.extension);
    w.NarrowText(a.progId);
    w.NarrowText(a.verbs);
    w.NarrowText(a.icon);
    w.NarrowText(a.spareText);
    Compact::Wide::Write(w, a.description);
    w.WideText(a.command);
    Compact::Wide::Write(w, a.verbLabel);
}

// { 5 × CompactString; u8 status; u8 placements; u8 show command; narrow text; u8 icon index; u8 flags }
bool ReadRecord(SettingsReader& r, AuthorShortcut& a) {
    return ReadInto<Compact::Wide>(r, a.name) && ReadInto<Compact::Wide>(r, a.description) &&
           ReadInto<Compact::Wide>(r, a.target) && ReadInto<Compact::Wide>(r, a.arguments) &&
           ReadInto<Compact::Wide>(r, a.folder) && ReadInto<U8Codec>(r, a.status) &&
           ReadInto<U8Codec>(r, a.placements) && ReadInto<U8Codec>(r, a.showCommand) &&
           ReadInto<NarrowTextCodec>(r, a.startIn) && ReadInto<U8Codec>(r, a.iconIndex) &&
           ReadInto<U8Codec>(r, a.flags);
}

void WriteRecord(SettingsWriter& w, const AuthorShortcut& a) {
    for (const std::u16string* text : {&a.name, &a.description, &a.target, &a.arguments, &a.folder}) {
        Compact::Wide::Write(w, *text);
    }
    w.U8(a.status);
    w.U8(a.placements);
    w.U8(a.showCommand);
    w.NarrowText(a.startIn);
    w.U8(a.iconIndex);
    w.U8(a.flags);
}

// { string8 name; u8 type; CompactString value }
bool ReadRecord(SettingsReader& r, UninstallValue& v) {
    return ReadInto<Str8::Narrow>(r, v.name) && ReadInto<U8Codec>(r, v.type) && ReadInto<Compact::Wide>(r, v.value);
}

void WriteRecord(SettingsWriter& w, const UninstallValue& v) {
    w.String8(v.name);
    w.U8(v.type);
    Compact::Wide::Write(w, v.value);
}

// Row 9, 24 bytes: u64 fixed size, u64 reserve size, 4 placement bytes, u32 installer options.
int ReadFileInstallationRecord(SettingsReader& r, InstallerSettings& s, const SettingsField& self) {
    auto raw = r.Raw(24);
    if (!raw) return self.ShortDataCode();
    const std::uint8_t* p = Bytes(*raw);
    s.fixedSize = LoadU64(p);
    s.reserveSize = LoadU64(p + 8);
    s.shortcutPlacements = {p[16], p[17], p[18], p[19]};
    s.installerOptions = LoadU32(p + 20);
    return 0;
}

void WriteFileInstallationRecord(SettingsWriter& w, const InstallerSettings& s, const SettingsField&) {
    std::uint8_t p[24];
    StoreU64(p, s.fixedSize);
    StoreU64(p + 8, s.reserveSize);
    const ShortcutPlacements& place = s.shortcutPlacements;
    p[16] = place.forFlag1;
    p[17] = place.forFlag2;
    p[18] = place.forKind5;
    p[19] = place.forUninstaller;
    StoreU32(p + 20, s.installerOptions);
    w.Raw(p, sizeof p);
}

bool EqualFileInstallationRecord(const InstallerSettings& a, const InstallerSettings& b) {
    return a.fixedSize == b.fixedSize && a.reserveSize == b.reserveSize &&
           a.shortcutPlacements == b.shortcutPlacements && a.installerOptions == b.installerOptions;
}

// Row 43. A length of 0 or less means no picture, and no `BitmapTPI` follows.
int ReadBackgroundPicture(SettingsReader& r, InstallerSettings& s, const SettingsField& self) {
    auto length = r.I32();
    if (!length) return self.ShortDataCode();
    if (*length <= 0) return 0;
    auto picture = r.Raw(std::size_t(*length));
    auto tpi = picture ? r.I32() : std::nullopt;
    if (!tpi) return self.ShortDataCode();
    s.backgroundPicture = ToByteVector(*picture);
    s.bitmapTpi = *tpi;
    return 0;
}

void WriteBackgroundPicture(SettingsWriter& w, const InstallerSettings& s, const SettingsField&) {
    const ByteBlob& picture = s.backgroundPicture;
    if (picture.size() > 0x7FFFFFFFu) w.Problem("picture too large");
    if (picture.empty() || picture.size() > 0x7FFFFFFFu) {
        if (s.bitmapTpi != -1) w.Problem("bitmapTpi is stored only with a picture");
        w.I32(0);
        return;
    }
    w.I32(std::int32_t(picture.size()));
    w.Raw(picture.data(), picture.size());
    w.I32(s.bitmapTpi);
}

bool EqualBackgroundPicture(const InstallerSettings& a, const InstallerSettings& b) {
    return a.backgroundPicture == b.backgroundPicture && a.bitmapTpi == b.bitmapTpi;
}

// Row 53, 20 bytes: u32 major, minor, build, platform id; u16 service pack major, minor.
int ReadMinimumSystemVersion(SettingsReader& r, InstallerSettings& s, const SettingsField& self) {
    auto raw = r.Raw(20);
    if (!raw) return self.ShortDataCode();
    const std::uint8_t* p = Bytes(*raw);
    s.minimumSystemVersion = {LoadU32(p),     LoadU32(p + 4),  LoadU32(p + 8),
                              LoadU32(p + 12), LoadU16(p + 16), LoadU16(p + 18)};
    return 0;
}

void WriteMinimumSystemVersion(SettingsWriter& w, const InstallerSettings& s, const SettingsField&) {
    const MinimumSystemVersion& v = s.minimumSystemVersion;
    w.U32(v.major);
    w.U32(v.minor);
    w.U32(v.build);
    w.U32(v.platformId);
    w.U16(v.servicePackMajor);
    w.U16(v.servicePackMinor);
}

bool EqualMinimumSystemVersion(const InstallerSettings& a, const InstallerSettings& b) {
    return a.minimumSystemVersion == b.minimumSystemVersion;
}

// Row 59: word 0 = year (bits 0..15), month (16..23), day (24..31);
// word 1 = hour (0..7), minute (8..15), second (16..23); bits 24..31 are not used.
int ReadBuildDate(SettingsReader& r, InstallerSettings& s, const SettingsField& self) {
    auto date = r.U32();
    auto time = date ? r.U32() : std::nullopt;
    if (!time) return self.ShortDataCode();
    s.buildDate = {int(*date & 0xFFFF),   int((*date >> 16) & 0xFF), int(*date >> 24),
                   int(*time & 0xFF),     int((*time >> 8) & 0xFF),  int((*time >> 16) & 0xFF)};
    return 0;
}

void WriteBuildDate(SettingsWriter& w, const InstallerSettings& s, const SettingsField&) {
    const CalendarTime& d = s.buildDate;
    auto field = [](int value, std::uint32_t mask) { return std::uint32_t(value) & mask; };
    w.U32(field(d.year, 0xFFFF) | (field(d.month, 0xFF) << 16) | (field(d.day, 0xFF) << 24));
    w.U32(field(d.hour, 0xFF) | (field(d.minute, 0xFF) << 8) | (field(d.second, 0xFF) << 16));
}

bool EqualBuildDate(const InstallerSettings& a, const InstallerSettings& b) { return a.buildDate == b.buildDate; }

int ReadEndMarker(SettingsReader& r, InstallerSettings&, const SettingsField& self) {
    auto marker = r.U32();
    return marker && *marker == kSettingsEndMarker ? 0 : self.checkCode;
}

void WriteEndMarker(SettingsWriter& w, const InstallerSettings&, const SettingsField&) { w.U32(kSettingsEndMarker); }

}  // namespace settings_codecs
}  // namespace palisade
