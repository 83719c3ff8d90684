#include "info/Homepage.h"

#include <gtest/gtest.h>

TEST(HomepageTest, AddressTakesEachPieceUnchanged)
{
    const CString strStart = CString("http://") + HomepageHost + "/software/download/index.php?Software=";
    const struct {
        LPCSTR pszProduct;
        LPCSTR pszVersion;
        LPCSTR pszQueryRest;
    } cases[] = {
        {"Sondaro", "0.1.0.0", "Sondaro&CurrentVersion=0.1.0.0"},
        // Spaces, '&', '%', '?', '#' and Windows-1252 umlauts stay as they are.
        {"Sondaro & Co %41?x=1#top \xE4\xF6\xFC", "1.2.3.4",
         "Sondaro & Co %41?x=1#top \xE4\xF6\xFC&CurrentVersion=1.2.3.4"},
        // No product name: the parameter stays empty.
        {"", "0.1.0.0", "&CurrentVersion=0.1.0.0"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(strStart + c.pszQueryRest, HomepageAddress(c.pszProduct, c.pszVersion)) << c.pszProduct;
}
