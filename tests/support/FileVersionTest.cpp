// Source revision records: one per distinct record, however many units include a header.
#include "Versioned.h"

#include <gtest/gtest.h>

#include <cstring>

int versionedUnitA();
int versionedUnitB();

namespace {

int count(const char* file, const char* revision = nullptr) {
    int n = 0;
    for (const FileVersionRecord& r : versionRegistry())
        if (std::strcmp(r.file, file) == 0 && (!revision || std::strcmp(r.revision, revision) == 0))
            ++n;
    return n;
}

// A header included by three units registers one record; the same file at a second revision another.
TEST(FileVersionTest, OneRecordPerFileAndRevisionHoweverManyUnitsIncludeIt) {
    ASSERT_EQ(versionedUnitA() + versionedUnitB(), 3); // keeps both units linked in
    EXPECT_EQ(count("$RCSfile: Versioned.h,v $", "$Revision: 1.4 $"), 1);
    EXPECT_EQ(count("$RCSfile: Versioned.h,v $"), 2);
}

TEST(FileVersionTest, RecordsKeepTheirFourTextsInOrderOfFirstRegistration) {
    const auto& registry = versionRegistry();
    auto at = [&](const char* file) {
        for (size_t i = 0; i < registry.size(); ++i)
            if (std::strcmp(registry[i].file, file) == 0)
                return static_cast<int>(i);
        return -1;
    };
    int helpers = at("$RCSfile: Helpers.h,v $");
    ASSERT_GE(helpers, 0) << "the plug-in's own headers register too";
    EXPECT_EQ(count("$RCSfile: Helpers.h,v $"), 1);
    EXPECT_STREQ(registry[helpers].author, "Last modified by $Author: gradix $");
    int versioned = at("$RCSfile: Versioned.h,v $");
    ASSERT_GE(versioned, 0);
    EXPECT_STREQ(registry[versioned].date, "$Date: 2003/11/28 02:47:29 $");
    EXPECT_STREQ(registry[versioned].revision, "$Revision: 1.4 $")
        << "the first registered revision comes first";
}

TEST(FileVersionTest, EqualTextsAtOtherAddressesAreTheSameRecord) {
    size_t before = versionRegistry().size();
    std::string file = "$RCSfile: Versioned.h,v $", revision = "$Revision: 1.4 $";
    FileVersion again(file.c_str(), revision.c_str(), "$Date: 2003/11/28 02:47:29 $",
                      "Last modified by $Author: tester $");
    EXPECT_EQ(versionRegistry().size(), before);
}

} // namespace
