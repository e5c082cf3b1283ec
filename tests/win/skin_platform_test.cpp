#include <gtest/gtest.h>
#include <windows.h>

#include "SkinFile.h"
#include "SkinPlatformWin.h"

// With the Windows platform installed, the link pass gives controls a real GDI font made from
// their font record, and default colours come from the system.
TEST(SkinPlatformWin, LinkMakesFontsFromRecords) {
  skin::InstallWindowsPlatform();
  EXPECT_EQ(skin::SysColor(COLOR_WINDOW), static_cast<uint32_t>(GetSysColor(COLOR_WINDOW)));
  skin::SkinFile file;
  auto button = skin::CreateSkinObject(skin::SKIN_BUTTON);
  button->SetName("PushButton");
  auto* control = static_cast<skin::ControlSkin*>(button.get());
  control->font = skin::DefaultFont("Tahoma");
  control->font.font.height = -17;
  file.AddObject(std::move(button));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(file.Save(bytes));
  skin::SkinFile loaded;
  ASSERT_TRUE(loaded.LoadFromBytes(bytes.data(), bytes.size()));
  auto* linked = static_cast<skin::ControlSkin*>(loaded.FindObject("PushButton"));
  ASSERT_NE(linked, nullptr);
  ASSERT_NE(linked->fontHandle, nullptr);
  LOGFONTA lf{};
  ASSERT_EQ(GetObjectA(static_cast<HFONT>(linked->fontHandle), sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(lf.lfHeight, -17);
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  skin::SetSkinPlatform(nullptr);
  skin::SetSysColorProvider(nullptr);
}
