#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "SkinFile.h"

using namespace skin;
using Bytes = std::vector<uint8_t>;

namespace {

void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

Bytes Header(uint8_t version, uint32_t count, uint8_t kind = 1, char last = 'E') {
  Bytes h(kHeaderSize, 0);
  std::memcpy(h.data(), kSkinMagic, 20);
  h[18] = uint8_t(last);
  h[20] = kind;
  h[21] = version;
  std::memcpy(h.data() + 22, "Lustrado Inc.", 13);
  std::memset(h.data() + 36, 0xCD, 140);
  std::memcpy(h.data() + 176, &count, 4);
  return h;
}

Bytes Compressed(const Bytes& body) {
  Bytes file;
  EXPECT_TRUE(CompressSkinBody(body, file));
  return file;
}

// One record (type id and its bytes) as the writer makes it at a version.
Bytes Record(SkinObject& object, int version) {
  MemoryStream s;
  uint32_t type = object.type;
  s.Write(&type, 4);
  object.Save(s, version);
  return Bytes(s.Data(), s.Data() + s.Size());
}

template <class T>
std::unique_ptr<T> Named(const char* name) {
  auto o = std::make_unique<T>();
  o->SetName(name);
  return o;
}

Bytes SaveBytes(SkinObject& o, int version) {
  MemoryStream s;
  o.Save(s, version);
  return Bytes(s.Data(), s.Data() + s.Size());
}

std::unique_ptr<SkinObject> LoadBytes(uint32_t type, const Bytes& b, int version) {
  auto o = CreateSkinObject(type);
  MemoryStream s(b.data(), b.size());
  o->Load(s, version);
  EXPECT_TRUE(s.AtEnd()) << "type " << type << " left " << s.Remaining() << " bytes";
  return o;
}

const uint32_t kAllTypes[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
                              20, 23, 24, 25, 26, 27, 28, 29, 30, 31, 33, 35, 36, 37, 38, 39, 40, 42, 100};

}  // namespace

TEST(MemoryStream, ReadWriteSeek) {
  MemoryStream s(8);
  EXPECT_EQ(s.Read(nullptr, 4), 0u);  // no data yet
  uint8_t data[20];
  for (int i = 0; i < 20; ++i) data[i] = uint8_t(i);
  EXPECT_EQ(s.Write(data, 3), 3u);
  EXPECT_EQ(s.Write(data, 20), 20u);  // grows by whole steps
  EXPECT_EQ(s.Size(), 23u);
  EXPECT_EQ(s.Seek(-5, 2), 18u);
  EXPECT_EQ(s.Seek(100, 1), 23u);  // limited to the size
  EXPECT_EQ(s.Seek(-100, 0), 0u);
  uint8_t back[30] = {};
  EXPECT_EQ(s.Read(back, 30), 23u);
  EXPECT_EQ(back[3], 0);
  EXPECT_EQ(back[22], 19);
  s.Seek(1, 0);
  s.Write(data + 10, 2);  // overwrite inside keeps the size
  EXPECT_EQ(s.Size(), 23u);
  EXPECT_EQ(s.Data()[1], 10);
}

TEST(SkinContainer, LoadFailuresSetTheirCodes) {
  SkinFile good;
  good.AddObject(Named<EditSkin>("Edit"));
  Bytes valid;
  ASSERT_TRUE(good.Save(valid));
  Bytes badStart = {0, 1, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  Bytes early(valid.begin(), valid.begin() + valid.size() / 2);
  Bytes longer = valid;
  longer[0] += 1;  // declared length beyond what the body gives
  Bytes huge = valid;
  std::memset(huge.data(), 0xFF, 4);
  Bytes body187 = Header(13, 0);
  body187.resize(187);
  struct Case {
    const char* what;
    Bytes file;
    int code;
  } cases[] = {
      {"bad LZO start", badStart, 5},
      {"data ends early", early, 5},
      {"length differs", longer, 5},
      {"length beyond any body", huge, 5},
      {"no length", {1, 2}, 5},
      {"187-byte body", Compressed(body187), 6},
      {"magic wrong in its last character", Compressed(Header(13, 0, 1, 'F')), 7},
      {"kind 2", Compressed(Header(13, 0, 2)), 7},
  };
  for (const Case& c : cases) {
    SkinFile f;
    f.AddObject(Named<EditSkin>("Stale"));
    EXPECT_FALSE(f.LoadFromBytes(c.file.data(), c.file.size())) << c.what;
    EXPECT_EQ(f.ResultCode(), c.code) << c.what;
    EXPECT_TRUE(f.Objects().empty()) << c.what;
    EXPECT_EQ(f.Version(), 13);
  }
  SkinFile missing;
  EXPECT_FALSE(missing.LoadFromFile("/nonexistent/skin.skn"));
  EXPECT_EQ(missing.ResultCode(), 4);
  SkinFile ok;
  ASSERT_TRUE(ok.LoadFromBytes(valid.data(), valid.size()));
  EXPECT_EQ(ok.ResultCode(), 0);
  EXPECT_EQ(ok.UnreadBytes(), 0u);
  ASSERT_NE(ok.FindObject("Edit"), nullptr);
}

TEST(SkinContainer, FileRoundTripAndCurrentFormat) {
  SkinFile f;
  f.AddObject(Named<InfoSkin>("Application"));
  std::string path = testing::TempDir() + "skf_roundtrip.skn";
  ASSERT_TRUE(f.SaveToFile(path.c_str(), 12, "Lustrado Inc."));
  SkinFile g;
  ASSERT_TRUE(g.LoadFromFile(path.c_str()));
  EXPECT_EQ(g.Version(), 12);
  EXPECT_EQ(CurrentFormat().version, 12);
  g.Clear();
  EXPECT_EQ(CurrentFormat().kind, 1);
  EXPECT_EQ(CurrentFormat().version, 13);
  std::remove(path.c_str());
}

TEST(SkinContainer, VersionZeroUnknownIdsAndRepeatedNames) {
  EditSkin first, second;
  first.SetName("Edit");
  second.SetName("Edit");
  first.controlId = 1;
  first.background.mode = 1;
  second.background.mode = 2;
  Bytes body = Header(0, 3);
  Put32(body, 99);  // unknown: only its 4 bytes
  for (Bytes r : {Record(first, 0), Record(second, 0)}) body.insert(body.end(), r.begin(), r.end());
  SkinPicture pic;
  pic.SetName("A.bmp");
  Picture p;
  ASSERT_TRUE(p.Create(2, 2, 24, kFormatBmp));
  p.SetPixelValue(1, 0, 0x112233);
  ASSERT_TRUE(pic.SetEncoded(EncodeBmp(p), kFormatBmp));
  Put32(body, 1);
  Bytes r = Record(pic, 0);
  body.insert(body.end(), r.begin(), r.end());
  Put32(body, 0);
  Bytes file = Compressed(body);
  SkinFile f;
  ASSERT_TRUE(f.LoadFromBytes(file.data(), file.size()));
  EXPECT_EQ(f.Version(), 0);
  ASSERT_EQ(f.Objects().size(), 1u);
  auto* edit = static_cast<EditSkin*>(f.FindObject("Edit"));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->background.mode, 2);  // the second record replaced the first
  EXPECT_EQ(edit->rect.right, 60);      // no rectangle below version 8
  Picture* found = f.FindPicture("A.bmp");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->PixelColor(1, 0), 0x112233u);
  EXPECT_EQ(f.UnreadBytes(), 0u);
}

TEST(SkinLookups, FindObjectSearchOrder) {
  SkinFile f;
  auto dialog = Named<WindowFrameSkin>("Dialog");
  auto main = Named<WindowFrameSkin>("MainFrame");
  auto b1 = Named<CaptionButtonSkin>("Button0");
  b1->command = 1;
  auto b2 = Named<CaptionButtonSkin>("Button0");
  b2->command = 2;
  auto holder = Named<CaptionButtonSkin>("Close");
  auto deep = Named<CaptionButtonSkin>("Deep");
  holder->AddChild(std::move(deep));
  main->AddChild(std::move(b2));
  dialog->AddChild(std::move(b1));
  dialog->AddChild(std::move(holder));
  f.AddObject(std::move(main));
  f.AddObject(std::move(dialog));
  f.AddObject(Named<ToolBarSkin>("ToolBar"));
  f.AddObject(Named<StaticSkin>("AStatic"));
  auto pic = std::make_unique<SkinPicture>();
  pic->SetName("Shared");
  f.AddPicture(std::move(pic));
  auto plain = std::make_unique<SkinObject>(SKIN_PLAIN);
  plain->SetName("Plain");
  f.AddPlain(std::move(plain));

  // Through a written and read file, so that children and sections take the loader's road.
  Bytes file;
  ASSERT_TRUE(f.Save(file));
  SkinFile g;
  ASSERT_TRUE(g.LoadFromBytes(file.data(), file.size()));
  ASSERT_NE(g.FindObject("Dialog"), nullptr);
  EXPECT_EQ(g.FindObject("Dialog")->type, SKIN_FRAME);
  auto* button = static_cast<CaptionButtonSkin*>(g.FindObject("Button0"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->command, 1u);  // Dialog's children come before MainFrame's
  ASSERT_NE(g.FindObject("Deep"), nullptr);
  EXPECT_EQ(g.FindObject("Shared")->type, SKIN_PICTURE);
  EXPECT_EQ(g.FindObject("Plain")->type, SKIN_PLAIN);
  EXPECT_EQ(g.FindObject("dialog"), nullptr);  // names keep their case
  EXPECT_EQ(g.FindObject(nullptr), nullptr);
  ASSERT_NE(g.FindFirstOfType(24), nullptr);
  EXPECT_EQ(g.FindFirstOfType(24)->Name(), "ToolBar");
  EXPECT_EQ(g.FindFirstOfType(1)->Name(), "Dialog");
  EXPECT_EQ(g.FindFirstOfType(3), nullptr);  // children are not searched by type
}

TEST(SkinLookups, NamesSortBytewise) {
  SkinFile f;
  f.AddObject(Named<EditSkin>("Listbox"));
  f.AddObject(Named<EditSkin>("ListCtrl"));
  EXPECT_EQ(f.Objects().begin()->first, "ListCtrl");
}

TEST(SkinProperties, KeysIgnoreCase) {
  WindowFrameSkin frame;
  const SkinProperty* p = frame.FindProperty("activeframe.topleft");
  ASSERT_NE(p, nullptr);
  EXPECT_STREQ(p->key, "ACTIVEFRAME.TOPLEFT");
  EXPECT_EQ(p->value, &frame.parts[0]);
  EXPECT_EQ(p->kind, PK_IMAGE);
  for (const char* key : {"ACTIVEFRAME.BOTTOMRIGHT", "ACTIVEFRAME.BOTtoMRIGHT"}) {
    const SkinProperty* br = frame.FindProperty(key);
    ASSERT_NE(br, nullptr) << key;
    EXPECT_EQ(br->value, &frame.parts[8]) << key;
  }
  EXPECT_EQ(frame.FindProperty("DEACTIVEFRAME.CLIENT")->value, &frame.parts[13]);
  EXPECT_EQ(frame.FindProperty("name")->kind, PK_TEXT);
  EXPECT_EQ(frame.FindProperty("FONT"), nullptr);  // frames register CAPTIONFONT only
  EXPECT_EQ(frame.FindProperty(nullptr), nullptr);
  TabSkin tab;
  EXPECT_NE(tab.FindProperty("TRANSPARENT"), nullptr);
  EditSkin edit(SKIN_EDIT);
  EXPECT_EQ(edit.FindProperty("BACKCOLOR")->value, &edit.color1);
  EXPECT_EQ(edit.FindProperty("border")->kind, PK_GRID);
}

TEST(SkinProperties, CustomObjectAnswersFromItsList) {
  CustomSkin custom;
  custom.SetName("Custom");
  std::vector<CustomProperty> list(3);
  std::strcpy(list[0].key, "Color");
  list[0].kind = PK_COLOR;
  list[0].value = {1, 2, 3, 0};
  std::strcpy(list[1].key, "COLOR");
  list[1].value = {9};
  std::strcpy(list[2].key, "Caption");
  list[2].kind = PK_TEXT;
  list[2].text = {'H', 'i', 0};
  custom.SetCustom(list);
  // Written and read back: the list survives in record order.
  auto loaded = LoadBytes(SKIN_CUSTOM, SaveBytes(custom, 13), 13);
  for (SkinObject* o : {static_cast<SkinObject*>(&custom), loaded.get()}) {
    EXPECT_EQ(o->FindProperty("FONT"), nullptr);
    EXPECT_EQ(o->FindProperty("NAME"), nullptr);
    const SkinProperty* c = o->FindProperty("color");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->size, 4u);
    EXPECT_EQ(static_cast<const uint8_t*>(c->value)[1], 2);  // the earlier of the two
    EXPECT_TRUE(c->owned);
    EXPECT_STREQ(o->FindProperty("CAPTION")->text, "Hi");
  }
  std::strcpy(list[0].key, "FONT");
  custom.SetCustom(list);
  EXPECT_NE(custom.FindProperty("font"), nullptr);
}

TEST(SkinVersions, OptionalFieldsAndResets) {
  // Type 12 at version 11: no vertical blocks written or read.
  ScrollBarSkin bar;
  bar.SetName("Scrollbar");
  std::strcpy(bar.vertical[0].arrow1.name, "V.bmp");
  bar.vertical[0].arrow1.source = {0, 0, 5, 5};
  std::strcpy(bar.horizontal[0].arrow1.name, "H.bmp");
  auto readBar = LoadBytes(SKIN_SCROLLBAR, SaveBytes(bar, 11), 11);
  auto* b = static_cast<ScrollBarSkin*>(readBar.get());
  EXPECT_STREQ(b->horizontal[0].arrow1.name, "H.bmp");
  EXPECT_STREQ(b->vertical[0].arrow1.name, "");
  EXPECT_EQ(b->vertical[0].arrow1.source.right, 0);
  EXPECT_EQ(SaveBytes(bar, 12).size() - SaveBytes(bar, 11).size(), 4u * 320);

  // Type 7 at version 10: the colours read are replaced by the system's.
  EditSkin edit(SKIN_EDIT);
  edit.color1 = 0x010203, edit.color2 = 0x040506, edit.color3 = 0x070809;
  auto readEdit = LoadBytes(SKIN_EDIT, SaveBytes(edit, 10), 10);
  EXPECT_EQ(readEdit->color1, SysColor(kColorWindow));
  EXPECT_EQ(readEdit->color2, SysColor(kColorWindowText));
  EXPECT_EQ(readEdit->color3, SysColor(kColorBtnFace));
  auto keptEdit = LoadBytes(SKIN_EDIT, SaveBytes(edit, 11), 11);
  EXPECT_EQ(keptEdit->color1, 0x010203u);

  // Type 6 below 11: the disabled colours come from the first and second colours read.
  ComboSkin combo(SKIN_COMBOBOX);
  combo.color1 = 0x111111, combo.color2 = 0x222222;
  auto* c10 = static_cast<ComboSkin*>(LoadBytes(SKIN_COMBOBOX, SaveBytes(combo, 10), 10).release());
  EXPECT_EQ(c10->disabledBackground, 0x111111u);
  EXPECT_EQ(c10->disabledText, 0x222222u);
  EXPECT_EQ(c10->color1, SysColor(kColorWindow));
  delete c10;

  // Control part at version 6: the control id is forced to 0.
  StaticSkin st;
  st.controlId = 77;
  EXPECT_EQ(static_cast<ControlSkin*>(LoadBytes(SKIN_STATIC, SaveBytes(st, 6), 6).get())->controlId, 0u);
  EXPECT_EQ(static_cast<ControlSkin*>(LoadBytes(SKIN_STATIC, SaveBytes(st, 7), 7).get())->controlId, 77u);

  // Frame caption effect below 9 is reset to the default.
  WindowFrameSkin frame;
  frame.captionEffect.flags = 1;
  auto f8 = LoadBytes(SKIN_FRAME, SaveBytes(frame, 8), 8);
  EXPECT_EQ(static_cast<FrameSkin*>(f8.get())->captionEffect.flags, 0x8004);
}

TEST(SkinVersions, ButtonAtVersionSixHasBasePartAndLateFont) {
  // Laid out by hand: base part without rectangle, six state blocks, reserved text and value,
  // the font, and the two reserved values.
  Bytes b;
  char name[51] = "PushButton";
  b.insert(b.end(), name, name + 51);
  Put32(b, 0x0A0B0C), Put32(b, 0x0D0E0F), Put32(b, 0x123456);
  b.resize(b.size() + 51 + 4, 0);  // tooltip, reserved value
  Put32(b, 0);                      // children
  Bytes blocks(6 * 120, 0);
  b.insert(b.end(), blocks.begin(), blocks.end());
  b.resize(b.size() + 50, 0);
  Put32(b, 5);
  FontSpec font = DefaultFont("Tahoma");
  font.color = 0x00332211;
  const uint8_t* fp = reinterpret_cast<const uint8_t*>(&font);
  b.insert(b.end(), fp, fp + sizeof font);
  Put32(b, 6), Put32(b, 1000);
  auto o = LoadBytes(SKIN_BUTTON, b, 6);
  auto* button = static_cast<ButtonSkin*>(o.get());
  EXPECT_EQ(button->Name(), "PushButton");
  EXPECT_STREQ(button->font.font.faceName, "Tahoma");
  EXPECT_EQ(button->reserved3, 5u);
  EXPECT_EQ(button->reserved4, 6u);
  EXPECT_EQ(button->states[2].effect.text[0], 0x11);  // below 9: the font colour as text colour
  EXPECT_EQ(button->states[2].effect.text[2], 0x33);
  EXPECT_EQ(button->states[2].effect.flags, 0x8004);
  EXPECT_EQ(SaveBytes(*button, 6).size(), b.size());
}

TEST(SkinRoundTrip, EveryTypeAtEveryVersionStep) {
  for (int version : {13, 12, 11, 10, 9, 8, 7, 6, 4, 3, 2, 0}) {
    for (uint32_t type : kAllTypes) {
      auto original = CreateSkinObject(type);
      ASSERT_NE(original, nullptr) << type;
      MemoryStream none;
      RecordIO fill(none, RecordIO::kFill, version, type * 977 + version);
      original->Transfer(fill);
      if (type != SKIN_PICTURE && type != SKIN_PLAIN) {
        auto child = CreateSkinObject(SKIN_CAPTION_BUTTON);
        RecordIO childFill(none, RecordIO::kFill, version, type + 5);
        child->Transfer(childFill);
        original->AddChild(std::move(child));
      }
      Bytes first = SaveBytes(*original, version);
      auto once = LoadBytes(type, first, version);
      Bytes second = SaveBytes(*once, version);
      if (version == 13) {
        // Nothing is reset at the current version: every field comes back.
        EXPECT_EQ(first, second) << "type " << type;
        EXPECT_EQ(SaveBytes(*once, 13), SaveBytes(*original, 13));
      } else {
        // Older versions apply their upgrade resets once; after that a round trip holds.
        EXPECT_EQ(first.size(), second.size()) << "type " << type << " v" << version;
        auto twice = LoadBytes(type, second, version);
        EXPECT_EQ(SaveBytes(*twice, version), second) << "type " << type << " v" << version;
      }
      EXPECT_EQ(once->children.size(), original->children.size()) << type;
      if (type == SKIN_PICTURE) {
        auto* a = static_cast<SkinPicture*>(original.get());
        auto* b = static_cast<SkinPicture*>(once.get());
        ASSERT_TRUE(b->picture.Valid());
        EXPECT_EQ(EncodeBmp(a->picture), EncodeBmp(b->picture));
      }
    }
  }
}

TEST(SkinRoundTrip, WholeSkinThroughTheWriter) {
  SkinFile f;
  for (uint32_t type : kAllTypes) {
    auto o = CreateSkinObject(type);
    MemoryStream none;
    RecordIO fill(none, RecordIO::kFill, 13, type + 1);
    o->Transfer(fill);
    o->SetName(("Object" + std::to_string(type)).c_str());
    if (type == SKIN_PICTURE)
      f.AddPicture(std::unique_ptr<SkinPicture>(static_cast<SkinPicture*>(o.release())));
    else if (type == SKIN_PLAIN)
      f.AddPlain(std::move(o));
    else
      f.AddObject(std::move(o));
  }
  Bytes file, again;
  ASSERT_TRUE(f.Save(file, 13, "Lustrado Inc."));
  SkinFile g;
  ASSERT_TRUE(g.LoadFromBytes(file.data(), file.size()));
  EXPECT_EQ(g.UnreadBytes(), 0u);
  EXPECT_EQ(g.Objects().size(), f.Objects().size());
  Bytes b1, b2;
  ASSERT_TRUE(f.SaveBody(b1, 13, "Lustrado Inc."));
  ASSERT_TRUE(g.SaveBody(b2, 13, "Lustrado Inc."));
  EXPECT_EQ(b1, b2);
}

TEST(SkinSafety, HostileCountsAndSizesStayBounded) {
  auto withTail = [](uint8_t version, uint32_t count, const Bytes& tail) {
    Bytes body = Header(version, count);
    body.insert(body.end(), tail.begin(), tail.end());
    return body;
  };
  // A base part at version 13 whose child count is huge and then runs out.
  Bytes hugeChildren;
  {
    SkinObject plain(SKIN_PLAIN);
    Bytes r = Record(plain, 13);
    r.resize(r.size() - 4);
    Put32(r, 0xFFFFFFFF);
    Put32(r, SKIN_EDIT);
    hugeChildren = r;
  }
  Bytes hugeCustom;
  {
    CustomSkin c;
    Bytes r = Record(c, 13);
    r.resize(r.size() - 4);
    Put32(r, 0xFFFFFFF0);  // property count
    Put32(r, PK_VALUE);
    r.resize(r.size() + 31 + 51, 'k');
    Put32(r, 0x7FFFFFFF);  // value size beyond the stream
    hugeCustom = r;
  }
  Bytes hugePicture;
  {
    SkinPicture p;
    Bytes r = Record(p, 13);
    r.resize(r.size() - 8);
    Put32(r, 0xFFFFFFFF), Put32(r, 1);
    r.push_back('B');
    hugePicture = {};
    Put32(hugePicture, 0xFFFFFFFF);  // picture count
    hugePicture.insert(hugePicture.end(), r.begin() , r.end());
  }
  Bytes hugeTooltip;
  {
    TooltipSkin t;
    Bytes r = Record(t, 13);
    r.resize(r.size() - 4);
    Put32(r, 0xFFFFFFFF);
    r.push_back('x');
    hugeTooltip = r;
  }
  Bytes deep;
  for (int i = 0; i < 5000; ++i) {
    CaptionButtonSkin e;
    e.SetName("n");
    Bytes r = Record(e, 13);
    // Replace the child count (after the base part's 142 bytes and the type id) with 1.
    uint32_t one = 1;
    std::memcpy(r.data() + 4 + 51 + 12 + 51 + 4 + 20, &one, 4);
    r.resize(4 + 51 + 12 + 51 + 4 + 20 + 4);
    deep.insert(deep.end(), r.begin(), r.end());
  }
  struct Case {
    const char* what;
    Bytes body;
  } cases[] = {
      {"object count with nothing after it", withTail(13, 0xFFFFFFFF, {})},
      {"child count", withTail(13, 1, hugeChildren)},
      {"custom property count and value size", withTail(13, 1, hugeCustom)},
      {"picture count and size", withTail(13, 0, hugePicture)},
      {"tooltip text length", withTail(13, 1, hugeTooltip)},
      {"children nested 5000 deep", withTail(13, 1, deep)},
  };
  for (const Case& c : cases) {
    Bytes file = Compressed(c.body);
    SkinFile f;
    EXPECT_TRUE(f.LoadFromBytes(file.data(), file.size())) << c.what;
    EXPECT_EQ(f.ResultCode(), 0) << c.what;
  }
}

TEST(SkinLink, FramePiecesAreCroppedFromPictures) {
  SkinFile f;
  auto pic = std::make_unique<SkinPicture>();
  pic->SetName("ActiveFrame.bmp");
  Picture p;
  ASSERT_TRUE(p.Create(40, 30, 24, kFormatBmp));
  p.SetPixelValue(12, 3, 0x445566);
  ASSERT_TRUE(pic->SetEncoded(EncodeBmp(p), kFormatBmp));
  f.AddPicture(std::move(pic));
  auto frame = Named<WindowFrameSkin>("Dialog");
  std::strcpy(frame->parts[0].name, "ActiveFrame.bmp");
  frame->parts[0].source = {10, 2, 30, 12};
  std::strcpy(frame->parts[1].name, "Missing.bmp");
  frame->parts[1].source = {0, 0, 5, 5};
  std::strcpy(frame->parts[2].name, "ActiveFrame.bmp");  // an empty source cannot be cropped
  auto label = Named<CaptionLabelSkin>("CaptionStatic1");
  std::strcpy(label->image.name, "ActiveFrame.bmp");
  label->image.source = {0, 0, 4, 3};
  frame->AddChild(std::move(label));
  f.AddObject(std::move(frame));
  Bytes file;
  ASSERT_TRUE(f.Save(file));
  SkinFile g;
  ASSERT_TRUE(g.LoadFromBytes(file.data(), file.size()));
  auto* dialog = static_cast<FrameSkin*>(g.FindObject("Dialog"));
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->pieces[0].width, 20);
  EXPECT_EQ(dialog->pieces[0].height, 10);
  ASSERT_NE(dialog->pieces[0].picture, nullptr);
  EXPECT_EQ(dialog->pieces[0].picture->PixelColor(2, 1), 0x445566u);
  EXPECT_EQ(dialog->pieces[1].picture, nullptr);
  EXPECT_EQ(dialog->pieces[1].width, 0);
  EXPECT_EQ(dialog->pieces[2].picture, nullptr);
  auto* caption = static_cast<CaptionLabelSkin*>(g.FindObject("CaptionStatic1"));
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->piece.width, 4);
  dialog->Release();
  EXPECT_EQ(dialog->pieces[0].picture, nullptr);
  EXPECT_EQ(caption->piece.picture, nullptr);  // release reaches the children
}
