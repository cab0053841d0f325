// Restore point description and the texts of its failures.
#include <gtest/gtest.h>

#include "system/restore_point_text.h"

namespace palisade {
namespace {

TEST(RestorePointText, DescriptionIsNameAndVersion) {
    EXPECT_EQ(RestorePointDescription(u"Acme Writer", u"2.1"), u"Acme Writer 2.1");
    EXPECT_EQ(RestorePointDescription(u"Acme Writer", u""), u"Acme Writer");
}

TEST(RestorePointText, DescriptionFitsTheServicesBuffer) {
    EXPECT_EQ(LimitedDescription(std::u16string(300, u'x')).size(), 255u);
    EXPECT_EQ(LimitedDescription(u"short"), u"short");
    // A surrogate pair cut in half would leave an invalid text behind.
    std::u16string text(254, u'x');
    text += u"\U0001F600";
    EXPECT_EQ(LimitedDescription(text), std::u16string(254, u'x'));
}

TEST(RestorePointText, FailureTexts) {
    EXPECT_EQ(RestoreFailureText(1058, u"The service is disabled."), u"System Restore is turned off.");
    EXPECT_EQ(RestoreFailureText(0, u"The operation completed successfully."),
              u"Failed, code 0: The operation completed successfully.");
    EXPECT_EQ(RestoreFailureText(112, u"Disk full."), u"Failed, code 112: Disk full.");
    EXPECT_EQ(ComSecurityCallFailureText(0x80010119u, u"Too late."), u"Error 0x80010119: Too late.");
    EXPECT_EQ(ComSecurityCallFailureText(0x5u, u"x"), u"Error 0x00000005: x");
    EXPECT_EQ(ComSecurityFailureText(kAdminSidFailure), u"Failed to initialize COM security: Unable to create admin SID.");
}

}  // namespace
}  // namespace palisade
