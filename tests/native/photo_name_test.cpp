#include <gtest/gtest.h>

#include <set>
#include <string>

#include "PhotoName.h"

TEST(PhotoName, LocalTimeWithoutLeadingZeros) {
  struct Case {
    PhotoTime t;
    const char* name;
  };
  const Case cases[] = {
      {{2008, 3, 5, 9, 7, 4}, "200835_974.bmp"},
      {{2008, 12, 25, 18, 30, 5}, "20081225_18305.bmp"},
      {{2026, 12, 1, 0, 0, 0}, "2026121_000.bmp"},
  };
  for (const Case& c : cases) EXPECT_EQ(PhotoBaseName(c.t), c.name);
}

TEST(PhotoName, CoincidingTimesNeverShareAFile) {
  // 01:15:03 and 11:05:03 give the same text; the second photo must get a name of its own.
  std::string first = PhotoBaseName({2008, 1, 1, 1, 15, 3});
  std::string second = PhotoBaseName({2008, 1, 1, 11, 5, 3});
  ASSERT_EQ(first, second);
  std::set<std::string> folder;
  auto taken = [&](const std::string& n) { return folder.count(n) > 0; };
  for (int i = 0; i < 4; ++i) {
    std::string name = UniquePhotoName(first, taken);
    ASSERT_FALSE(name.empty());
    EXPECT_TRUE(folder.insert(name).second) << name;
  }
  EXPECT_EQ(folder, (std::set<std::string>{"200811_1153.bmp", "200811_1153-2.bmp", "200811_1153-3.bmp",
                                           "200811_1153-4.bmp"}));
}

TEST(PhotoName, GivesUpRatherThanOverwrite) {
  EXPECT_EQ(UniquePhotoName("x.bmp", [](const std::string&) { return true; }), "");
}
