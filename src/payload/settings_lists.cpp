// The settings fields that run until an end word, and the message catalogue.
#include "core/fatal_codes.h"

#include <algorithm>
#include <string>

#include "payload/settings_codecs.h"

namespace palisade {
namespace settings_codecs {

namespace {

const std::string& AutoCloseEndBytes() {
    static const std::string bytes = EncodeUtf16Le(kAutoCloseEndWord);
    return bytes;
}

}  // namespace

// Row 66: { narrow text name; u8 condition; narrow text reference; u8 flags } until the
// name "~~THE END~~". A list whose end word the block does not hold (it ends
// first, or 1000 entries pass without it) fails the list's own check, 38.
int ReadFileDeletions(SettingsReader& r, InstallerSettings& s, const SettingsField& self) {
    s.fileDeletions.clear();
    for (;;) {
        auto name = r.NarrowText();
        if (!name) return self.checkCode;
        if (*name == kDeletionListEndWord) return 0;
        if (s.fileDeletions.size() == std::size_t(self.limit)) return self.checkCode;
        FileDeletion entry;
        entry.pathPattern = std::move(*name);
        if (!ReadInto<U8Codec>(r, entry.condition) || !ReadInto<NarrowTextCodec>(r, entry.reference) ||
            !ReadInto<U8Codec>(r, entry.flags)) {
            return self.checkCode;
        }
        s.fileDeletions.push_back(std::move(entry));
    }
}

void WriteFileDeletions(SettingsWriter& w, const InstallerSettings& s, const SettingsField& self) {
    if (s.fileDeletions.size() > std::size_t(self.limit)) w.Problem("more than 1000 entries");
    for (const FileDeletion& entry : s.fileDeletions) {
        if (entry.pathPattern == kDeletionListEndWord) w.Problem("an entry named like the end word");
        w.NarrowText(entry.pathPattern);
        w.U8(entry.condition);
        w.NarrowText(entry.reference);
        w.U8(entry.flags);
    }
    w.NarrowText(kDeletionListEndWord);
}

bool EqualFileDeletions(const InstallerSettings& a, const InstallerSettings& b) {
    return a.fileDeletions == b.fileDeletions;
}

// Row 73: { string16 class; string16 title; string16 application; u8 action; u8 phase
// mask } until a class whose bytes are those of the UTF-16LE text "~~THE~END~~"
// (no terminator). As for row 66, a list without its end word fails with 41.
int ReadAutoCloseEntries(SettingsReader& r, InstallerSettings& s, const SettingsField& self) {
    s.autoCloseEntries.clear();
    for (;;) {
        auto key = r.String16();
        if (!key) return self.checkCode;
        if (*key == AutoCloseEndBytes()) return 0;
        if (s.autoCloseEntries.size() == std::size_t(self.limit)) return self.checkCode;
        AutoCloseEntry entry;
        entry.classPattern = DecodeUtf16Le(*key);
        if (!ReadInto<Str16::Wide>(r, entry.titlePattern) || !ReadInto<Str16::Wide>(r, entry.applicationName) ||
            !ReadInto<U8Codec>(r, entry.action) || !ReadInto<U8Codec>(r, entry.phaseMask)) {
            return self.checkCode;
        }
        s.autoCloseEntries.push_back(std::move(entry));
    }
}

void WriteAutoCloseEntries(SettingsWriter& w, const InstallerSettings& s, const SettingsField& self) {
    if (s.autoCloseEntries.size() > std::size_t(self.limit)) w.Problem("more than 1000 entries");
    for (const AutoCloseEntry& entry : s.autoCloseEntries) {
        if (entry.classPattern == kAutoCloseEndWord) w.Problem("an entry whose class is the end word");
        Str16::Wide::Write(w, entry.classPattern);
        Str16::Wide::Write(w, entry.titlePattern);
        Str16::Wide::Write(w, entry.applicationName);
        w.U8(entry.action);
        w.U8(entry.phaseMask);
    }
    w.String16(AutoCloseEndBytes());
}

bool EqualAutoCloseEntries(const InstallerSettings& a, const InstallerSettings& b) {
    return a.autoCloseEntries == b.autoCloseEntries;
}

// Row 74: u8 language count (30), u32 message count (31), the language names,
// then message 0 in every language, message 1 in every language, and so on.
int ReadCatalogue(SettingsReader& r, InstallerSettings& s, const SettingsField&) {
    auto languageCount = r.U8();
    if (!languageCount || *languageCount == 0 || *languageCount > kMaxCatalogueLanguages) {
        return FatalCode::kLanguageCount;
    }
    auto messageCount = r.U32();
    if (!messageCount || *messageCount == 0 || *messageCount > kMaxCatalogueMessages) {
        return FatalCode::kMessageCount;
    }
    // Every text takes at least its 2-byte terminator. A block too short to hold
    // them all would fail on a later text anyway; failing now spares building a
    // catalogue of up to two million texts for a few bytes of data.
    std::uint64_t textCount = std::uint64_t(*languageCount) * (std::uint64_t(*messageCount) + 1);
    if (r.Remaining() / 2 < textCount) return FatalCode::kSettingsChecksum;

    std::vector<std::u16string> languages(*languageCount);
    for (std::u16string& name : languages) {
        if (!ReadInto<WideTextCodec>(r, name)) return FatalCode::kSettingsChecksum;
    }
    MessageCatalogue catalogue(std::move(languages), *messageCount);
    for (std::size_t message = 0; message < *messageCount; ++message) {
        for (std::size_t language = 0; language < *languageCount; ++language) {
            auto text = r.WideText();
            if (!text) return FatalCode::kSettingsChecksum;
            catalogue.SetText(message, language, *text);
        }
    }
    s.messageCatalogue = std::move(catalogue);
    return 0;
}

void WriteCatalogue(SettingsWriter& w, const InstallerSettings& s, const SettingsField&) {
    const MessageCatalogue& catalogue = s.messageCatalogue;
    std::size_t languages = catalogue.LanguageCount();
    std::size_t messages = catalogue.MessageCount();
    if (languages == 0 || languages > kMaxCatalogueLanguages) w.Problem("language count not within 1..200");
    if (messages == 0 || messages > kMaxCatalogueMessages) w.Problem("message count not within 1..10000");
    // Counts beyond what the fields can hold are written cut; the reader refuses them anyway.
    w.U8(std::uint8_t(std::min<std::size_t>(languages, 255)));
    w.U32(std::uint32_t(messages));
    for (std::size_t language = 0; language < std::min<std::size_t>(languages, 255); ++language) {
        w.WideText(catalogue.Languages()[language]);
    }
    for (std::size_t message = 0; message < messages; ++message) {
        for (std::size_t language = 0; language < std::min<std::size_t>(languages, 255); ++language) {
            w.WideText(catalogue.Text(message, language));
        }
    }
}

bool EqualCatalogue(const InstallerSettings& a, const InstallerSettings& b) {
    return a.messageCatalogue == b.messageCatalogue;
}

}  // namespace settings_codecs
}  // namespace palisade
