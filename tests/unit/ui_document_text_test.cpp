// The licence and readme documents: rich or plain, and plain text decoded.
#include <gtest/gtest.h>

#include "ui/document_text.h"

namespace palisade {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Of(std::string_view text) { return Bytes(text.begin(), text.end()); }

TEST(DocumentText, RichTextIsRecognisedAfterAByteOrderMark) {
    EXPECT_TRUE(IsRichText(Of("{\\rtf1\\ansi hello}")));
    EXPECT_TRUE(IsRichText(Of("\xEF\xBB\xBF{\\rtf1 x}")));
    EXPECT_FALSE(IsRichText(Of(" {\\rtf1 x}")));
    EXPECT_FALSE(IsRichText(Of("{\\rt")));
    EXPECT_FALSE(IsRichText(Of("")));
    Bytes marked = Of("\xEF\xBB\xBF{\\rtf1 x}");
    ByteView stream = RichTextStream(marked);
    EXPECT_EQ(std::string(stream.begin(), stream.end()), "{\\rtf1 x}");
    Bytes plain = Of("{\\rtf1 x}");
    EXPECT_EQ(RichTextStream(plain).size, plain.size());
}

TEST(DocumentText, PlainTextIsDecodedByItsMarkOrItsBytes) {
    struct Case {
        Bytes bytes;
        std::u16string text;
    } cases[] = {
        {Of("Plain\nline"), u"Plain\r\nline"},
        {Of("\xEF\xBB\xBF" "Caf\xC3\xA9"), u"Café"},
        {Of("Caf\xC3\xA9"), u"Café"},                     // valid UTF-8 without a mark
        {Of("Caf\xE9 \x80"), u"Café €"},                   // not UTF-8: Windows-1252
        {{0xFF, 0xFE, 'H', 0, 'i', 0, '\n', 0}, u"Hi\r\n"},
        {{0xFE, 0xFF, 0, 'H', 0, 'i'}, u"Hi"},
        {{0xFF, 0xFE, 'H', 0, 'i'}, u"H"},                 // an odd last byte is dropped
        {Of("A\r\rB\n\rC"), u"A\r\n\r\nB\r\nC"},
        {Bytes{'A', 0, 'B'}, u"A"},                        // a NUL ends the text
        {{}, u""},
    };
    for (const Case& c : cases) EXPECT_EQ(PlainDocumentText(c.bytes), c.text);
}

TEST(DocumentText, PageDocumentsPutThePrefixFirstAndReplacePlaceholdersInPlainTextOnly) {
    auto replace = [](std::u16string_view text) {
        std::u16string out(text);
        for (std::size_t at = out.find(u"<product>"); at != std::u16string::npos; at = out.find(u"<product>")) {
            out.replace(at, 9, u"Hello");
        }
        return out;
    };
    const Bytes rich = Of("{\\rtf1 <product>}");
    const std::vector<Bytes> documents = {Of("Terms of <product>\n"), {}, rich};
    std::vector<Bytes> pages = PageDocuments(u"Read <product> first", documents, replace);
    ASSERT_EQ(pages.size(), 3u) << "the prefix and the two documents that are not empty";
    EXPECT_EQ(PlainDocumentText(pages[0]), u"Read Hello first");
    EXPECT_EQ(Bytes(pages[0].begin(), pages[0].begin() + 3), Of("\xEF\xBB\xBF")) << "stored as UTF-8 with its mark";
    EXPECT_EQ(PlainDocumentText(pages[1]), u"Terms of Hello\r\n");
    EXPECT_EQ(pages[2], rich) << "rich text is shown as it is";
    EXPECT_EQ(PageDocuments(u"", {Of("x")}, replace).size(), 1u) << "no prefix page without a prefix";
    EXPECT_TRUE(PageDocuments(u"", {}, replace).empty());
}

TEST(DocumentText, InnerMarginsFromTheDialogBaseUnits) {
    EXPECT_EQ(DocumentInnerMargins({8, 16}).horizontal, 3);  // 2.8
    EXPECT_EQ(DocumentInnerMargins({8, 16}).vertical, 5);    // 4.8
    EXPECT_EQ(DocumentInnerMargins({6, 13}).horizontal, 2);  // 2.1
    EXPECT_EQ(DocumentInnerMargins({6, 13}).vertical, 4);    // 3.9
}

}  // namespace
}  // namespace palisade
