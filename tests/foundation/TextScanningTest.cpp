#include "foundation/TextScanning.h"

#include <gtest/gtest.h>

TEST(TextScanningTest, SearchesIgnoreCaseAndDiacritics)
{
    struct Row
    {
        const char *name;
        const char *text;
        const char *search;
        bool found;
    };
    const Row rows[] = {
        {"UpperWithUmlaut", "Snapshot 1", "SNÄP", true},
        {"AccentsInTheText", "Résumé", "resume", true},
        {"DecomposedText", "Re\xCC\x81sume\xCC\x81", "RÉSUMÉ", true},
        {"Absent", "DazadUdiz 2", "snap", false},
        {"EmptySearchFindsNothing", "anything", "", false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(inkora::containsIgnoringCaseAndDiacritics(QString::fromUtf8(row.text), QString::fromUtf8(row.search)),
                  row.found);
    }
}
