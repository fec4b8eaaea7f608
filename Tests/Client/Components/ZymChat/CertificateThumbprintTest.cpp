// The texts a host may name its client certificate by, as copied from the
// system's certificate dialogs or typed, and the ones that name none.
#include <gtest/gtest.h>

#include <string>

#include "CertificateThumbprint.h"

TEST(CertificateThumbprint, TakesFortyHexDigitsInPairsAndNothingElse)
{
    const char kUpper[] = "1C80E5D53EF7A031F7D5D111BE1F1FC29606F656";
    struct Case
    {
        const char* pszText;
        // Null: refused.
        const char* pszParsed;
    };
    const Case cases[] = {
        {"1c80e5d53ef7a031f7d5d111be1f1fc29606f656", kUpper},
        {"1C 80 e5 D5 3e F7 a0 31 f7 d5 d1 11 be 1f 1f c2 96 06 f6 56", kUpper},
        {" 1c80e5d53ef7a031f7d5d111be1f1fc29606f656  ", kUpper},
        {"1c  80e5d53ef7a031f7d5d111be1f1fc29606f656", kUpper},
        // A blank inside a pair, a digit short, a pair too many, no hex, a
        // tab, a colon list as other tools print it.
        {"1 c80e5d53ef7a031f7d5d111be1f1fc29606f656", nullptr},
        {"1c80e5d53ef7a031f7d5d111be1f1fc29606f65", nullptr},
        {"1c80e5d53ef7a031f7d5d111be1f1fc29606f65600", nullptr},
        {"1c80e5d53ef7a031f7d5d111be1f1fc29606f6zz", nullptr},
        {"1c80e5d53ef7a031f7d5d111be1f1fc29606f656\t", nullptr},
        {"1C:80:E5:D5:3E:F7:A0:31:F7:D5:D1:11:BE:1F:1F:C2:96:06:F6:56", nullptr},
        {"   ", nullptr},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszText);
        CertificateThumbprint thumbprint;
        ASSERT_TRUE(thumbprint.Parse(kUpper));
        EXPECT_EQ(c.pszParsed != nullptr, thumbprint.Parse(c.pszText));
        // A refused text leaves the one set before.
        EXPECT_EQ(kUpper, thumbprint.Text());
        EXPECT_TRUE(thumbprint.IsSet());
    }
    CertificateThumbprint thumbprint;
    ASSERT_TRUE(thumbprint.Parse("00ff00ff00ff00ff00ff00ff00ff00ff00ff00fe"));
    EXPECT_EQ(0x00, thumbprint.Bytes()[0]);
    EXPECT_EQ(0xff, thumbprint.Bytes()[1]);
    EXPECT_EQ(0xfe, thumbprint.Bytes()[CertificateThumbprint::kSize - 1]);
    // Null and empty both clear.
    EXPECT_TRUE(thumbprint.Parse(nullptr));
    EXPECT_FALSE(thumbprint.IsSet());
    EXPECT_EQ("", thumbprint.Text());
    ASSERT_TRUE(thumbprint.Parse(kUpper));
    EXPECT_TRUE(thumbprint.Parse(""));
    EXPECT_FALSE(thumbprint.IsSet());
}
