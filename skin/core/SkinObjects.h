#pragma once
// The skin object model: one class per record type of a skin file, each with its defaults,
// its keyed properties and one Transfer that reads, writes or fills its record.
//
// Writing (for skin compilers): fill the public fields, then SkinObject::Save writes the record
// exactly as SkinObject::Load reads it at the same format version.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MemoryStream.h"
#include "Picture.h"
#include "RecordIO.h"
#include "SkinTypes.h"

namespace skin {

class SkinFile;

enum SkinType : uint32_t {
  SKIN_FRAME = 1, SKIN_SHAPE = 2, SKIN_CAPTION_BUTTON = 3, SKIN_BUTTON = 4, SKIN_CHECKBOX = 5,
  SKIN_COMBOBOX = 6, SKIN_EDIT = 7, SKIN_GROUPBOX = 8, SKIN_LISTBOX = 9, SKIN_PROGRESS = 10,
  SKIN_RADIO = 11, SKIN_SCROLLBAR = 12, SKIN_TRACKBAR = 13, SKIN_STATIC = 14, SKIN_STATUSBAR = 15,
  SKIN_TAB = 16, SKIN_POPUPMENU = 17, SKIN_PICTURE = 18, SKIN_PLAIN = 19, SKIN_MENUBAR = 20,
  SKIN_TOOLBAR = 23, SKIN_CONTROLBAR = 24, SKIN_INFO = 25, SKIN_SCROLLCONTROL = 26, SKIN_SPIN = 27,
  SKIN_LISTVIEW = 28, SKIN_TREEVIEW = 29, SKIN_RICHEDIT = 30, SKIN_DATETIME = 31,
  SKIN_COMBOBOX_ALT = 33, SKIN_MONTHCAL = 35, SKIN_REBAR = 36, SKIN_HEADER = 37,
  SKIN_CAPTION_LABEL = 38, SKIN_IMAGELIST = 39, SKIN_ANIMATE = 40, SKIN_TOOLTIP = 42,
  SKIN_CUSTOM = 100,
};

enum PropertyKind {
  PK_FONT = 0, PK_TEXT = 1, PK_COLOR = 2, PK_IMAGE = 3, PK_GRID = 4, PK_VALUE = 5, PK_FLAG = 6,
  PK_INTEGER = 7, PK_TEXTEFFECT = 9,
};

struct SkinProperty {
  int kind;
  size_t size;          // bytes of the value
  void* value;          // inside the object, or the custom property's own buffer
  const char* key;
  const char* defaultText;
  const char* text;     // custom properties only
  bool owned;           // custom properties own their buffers
};

// Font handles and regions are the platform's; the Windows engine installs these so that the
// link pass can make them. Without them the portable core links pictures only.
struct SkinPlatform {
  void* (*createFont)(const LogFont& font);
  void* (*createRegion)(const Picture& picture, uint32_t transparentColor);
  void (*deleteObject)(void* handle);
};
void SetSkinPlatform(const SkinPlatform* platform);
const SkinPlatform* CurrentSkinPlatform();

TextEffect DefaultTextEffect();
FontSpec DefaultFont(const char* face);

class SkinObject;
using SkinObjectMap = std::map<std::string, std::unique_ptr<SkinObject>>;

// A record type id known to the object model; and those that may appear among children.
bool IsKnownType(uint32_t type);
bool IsChildType(uint32_t type);
// A new object of a type with its defaults, or null for an unknown id.
std::unique_ptr<SkinObject> CreateSkinObject(uint32_t type);

class SkinObject {
 public:
  explicit SkinObject(uint32_t type);
  virtual ~SkinObject();
  SkinObject(const SkinObject&) = delete;
  SkinObject& operator=(const SkinObject&) = delete;

  virtual uint32_t TransparentColor() const { return 0xFF00FF; }
  virtual void Release();
  virtual void Link(SkinFile& file);
  void Save(MemoryStream& stream, int version);
  void Load(MemoryStream& stream, int version);
  virtual const SkinProperty* FindProperty(const char* key) const;
  // The record without its type id, in the direction of io.
  virtual void Transfer(RecordIO& io);

  std::string Name() const { return std::string(name, BoundedLength(name, sizeof name)); }
  void SetName(const char* text);
  SkinObject* Child(const std::string& childName) const;
  // Adds a child under its name; false (and the child dropped) when the name is taken.
  bool AddChild(std::unique_ptr<SkinObject> child);

  SkinObjectMap children;
  uint32_t color1, color2, color3 = 255;
  Rect32 rect{0, 0, 60, 30};
  uint32_t autoPlace = 0;
  char tooltip[51] = {};
  uint32_t reserved = 0;
  char name[51] = {};
  uint32_t type;

 protected:
  void TransferBase(RecordIO& io);
  void Register(const char* key, int kind, void* value, size_t size);
  template <class T>
  void Register(const char* key, int kind, T& value) { Register(key, kind, &value, sizeof value); }

  std::vector<SkinProperty> properties_;
};

class ControlSkin : public SkinObject {
 public:
  explicit ControlSkin(uint32_t type, const char* borderKey = nullptr);
  ~ControlSkin() override;
  void Release() override;
  void Link(SkinFile& file) override;
  void Transfer(RecordIO& io) override { TransferControl(io); }

  FontSpec font;
  GridImageRef border{};
  uint32_t controlId = 0;
  uint32_t reserved2 = 0;
  uint32_t autoSkinFont = 0;
  void* fontHandle = nullptr;  // made by the link pass through the platform

 protected:
  void TransferControl(RecordIO& io);
  void TransferControlPart(RecordIO& io);
  // Text effect reset of old formats: the default, with the font colour as text colour.
  void ResetEffectToFont(TextEffect& effect) const;
};

struct FramePiece {
  int width = 0, height = 0;
  void* region = nullptr;
  std::unique_ptr<Picture> picture;
};

class ElementSkin : public SkinObject {
 public:
  explicit ElementSkin(uint32_t type);
  void Transfer(RecordIO& io) override { TransferElement(io); }

  ImageRef image{};
  uint32_t anchor = 0;
  uint32_t command = 1000;
  uint32_t visibility = 0;
  char reservedText[51] = {};

 protected:
  void TransferElement(RecordIO& io);
};

class FrameSkin : public SkinObject {
 public:
  explicit FrameSkin(uint32_t type);
  ~FrameSkin() override;
  void Release() override;
  void Link(SkinFile& file) override;
  void Transfer(RecordIO& io) override { TransferFrame(io); }

  ImageRef parts[18]{};  // nine active, then nine inactive
  Rect32 sampleRects[9];
  FontSpec captionFont;
  uint32_t unused1 = 0, unused2 = 0;
  uint32_t activeColor = 0xFF0000, inactiveColor = 0x727200, clientColor = 0xFFFFFF;
  TextEffect captionEffect;
  GridImageRef minimizedActive{}, minimizedInactive{};
  FramePiece pieces[18];

 protected:
  void TransferFrame(RecordIO& io);
  void SetSampleBorders(int side, int caption, int bottom);
};

// Frame pieces and labels crop their picture at link time; shared by frames and labels.
void BuildFramePiece(SkinFile& file, const ImageRef& ref, FramePiece& piece);
void FreeFramePiece(FramePiece& piece);

class MenuBarSkin : public ElementSkin {  // type 20, inside every type-1 record
 public:
  MenuBarSkin();
  void Transfer(RecordIO& io) override;

  FontSpec menuFont;
  TextEffect normalEffect, disabledEffect, hotEffect;
  uint32_t hotFill = 0x727272;
  GridImageRef hotImage{};
  TextEffect pressedEffect;
  uint32_t pressedFill = 0xE07272;
  GridImageRef pressedImage{};
  ImageRef childButtons[12]{};
  GridImageRef background{};
};

class WindowFrameSkin : public FrameSkin {  // type 1
 public:
  WindowFrameSkin();
  void Transfer(RecordIO& io) override;

  MenuBarSkin menuBar;
  uint32_t skinClient = 0;
  ImageRef mdiClient{};
};

class ShapeSkin : public SkinObject {  // type 2
 public:
  ShapeSkin();
  void Transfer(RecordIO& io) override;

  ImageRef window{};
  Rect32 rect1{}, rect2{};
  uint8_t alpha = 255;
  uint32_t colorKey = 0xFFFFFF;
  uint32_t keepStyle = 1;
};

class CaptionButtonSkin : public ElementSkin {  // type 3
 public:
  CaptionButtonSkin();
  void Transfer(RecordIO& io) override;

  ImageRef hot{}, pressed{}, unavailable{};
  uint32_t action = 0;
  uint32_t toggle = 0;
};

struct StateBlock {
  GridImageRef image;
  TextEffect effect;
  uint8_t reserved[16];
};

class ButtonSkin : public ControlSkin {  // type 4
 public:
  ButtonSkin();
  void Transfer(RecordIO& io) override;

  StateBlock states[6];  // normal, pressed, default, focused, highlighted, disabled
  char reservedText[50] = {};
  uint32_t reserved3 = 0;
  uint32_t reserved4 = 0;
  uint32_t reserved5 = 1000;
};

struct CheckState {
  uint8_t background[88];  // an image reference in the first 72 bytes
  ImageRef box;
  TextEffect effect;
  uint8_t reserved[16];
};

class CheckSkin : public ControlSkin {  // types 5 and 11
 public:
  explicit CheckSkin(uint32_t type);
  void Transfer(RecordIO& io) override;

  CheckState states[7];
  char reservedText[50] = {};
  uint32_t transparent = 0;
};

class ComboSkin : public ControlSkin {  // types 6 and 33
 public:
  explicit ComboSkin(uint32_t type);
  void Transfer(RecordIO& io) override;

  GridImageRef thumbs[4]{};  // normal, pressed, hovered, disabled
  uint32_t focusColor;
  uint32_t disabledBackground, disabledText, focusText;
};

class EditSkin : public ControlSkin {  // types 7, 9, 26, 28, 30 and the start of 29
 public:
  explicit EditSkin(uint32_t type = SKIN_EDIT);
  void Transfer(RecordIO& io) override { TransferEdit(io); }

  ImageRef background{};

 protected:
  void TransferEdit(RecordIO& io);
};

class TreeSkin : public EditSkin {  // type 29
 public:
  TreeSkin();
  void Transfer(RecordIO& io) override;

  GridImageRef activeItem{}, inactiveItem{};
  uint32_t activeColor, inactiveColor;
  TextEffect activeText, inactiveText;
};

class GroupBoxSkin : public ControlSkin {  // type 8
 public:
  GroupBoxSkin();
  void Transfer(RecordIO& io) override;

  GridImageRef captionImage{};
  uint32_t captionColor;
  TextEffect effect;
  uint32_t transparent = 0;
};

class ProgressSkin : public ControlSkin {  // type 10
 public:
  ProgressSkin();
  void Transfer(RecordIO& io) override;

  GridImageRef progressImage{};
  uint32_t reserved3 = 0, style = 0, reserved4 = 0;
};

struct ScrollBlock {
  ImageRef arrow1, arrow2;
  GridImageRef track, thumb;
};

class ScrollBarSkin : public ControlSkin {  // type 12
 public:
  ScrollBarSkin();
  void Transfer(RecordIO& io) override;

  ScrollBlock horizontal[4]{};  // normal, pressed, highlighted, disabled
  ImageRef gripper{};
  uint32_t preview[5] = {0, 100, 10, 1, 10};
  ScrollBlock vertical[4]{};
};

class TrackBarSkin : public ControlSkin {  // type 13
 public:
  TrackBarSkin();
  void Transfer(RecordIO& io) override;

  GridImageRef thumbHorizontal{};
  uint32_t reserved3 = 0;
  uint32_t reserved4[4] = {};
  GridImageRef channel{};
  uint32_t transparent = 0;
  GridImageRef thumbVertical{};
};

class StaticSkin : public ControlSkin {  // type 14
 public:
  StaticSkin();
  void Transfer(RecordIO& io) override;

  uint32_t transparent = 1;
  TextEffect effect;
  char reservedText[51] = {};
};

class StatusBarSkin : public ControlSkin {  // type 15
 public:
  StatusBarSkin();
  void Transfer(RecordIO& io) override;

  GridImageRef itemImage{};
  ImageRef second{};
};

class TabSkin : public ControlSkin {  // type 16
 public:
  TabSkin();
  void Transfer(RecordIO& io) override;

  StateBlock states[4];  // normal, pressed, disabled, hovered
  GridImageRef frame{};
  uint32_t transparent = 0;
};

class PopupMenuSkin : public FrameSkin {  // type 17
 public:
  PopupMenuSkin();
  void Transfer(RecordIO& io) override;

  Rect32 rects[3]{};
  uint32_t activeItemColor = 0xFAE6E6;
  uint32_t separatorColor = 0;
  GridImageRef separatorImage{}, activeImage{};
  ImageRef submenu{}, checkImage{};
};

class SkinPicture : public SkinObject {  // type 18
 public:
  SkinPicture();
  ~SkinPicture() override;
  void Transfer(RecordIO& io) override;
  // Sets the encoded file a compiler stores, and decodes it.
  bool SetEncoded(std::vector<uint8_t> bytes, uint32_t format);

  std::vector<uint8_t> encoded;  // the picture file as stored in the skin
  uint32_t format = 0;
  Picture picture;
  void* bitmap = nullptr;  // device bitmap made by the drawing code
};

class ToolBarSkin : public ControlSkin {  // type 23
 public:
  ToolBarSkin();
  void Transfer(RecordIO& io) override;

  GridImageRef buttons[5]{};  // normal, pressed or checked, hot, disabled, unused
};

class InfoSkin : public SkinObject {  // type 25
 public:
  InfoSkin();
  uint32_t TransparentColor() const override { return color3; }
  void Transfer(RecordIO& io) override;

  char author[51] = "VeneerKit Builder";
  char description[51] = "VeneerKit Skin File";
  char application[51] = {};
  uint32_t useTransparentColor = 1;
  char email[51] = "skins@veneerkit.example";
  char homepage[51] = "http://www.veneerkit.example/";
};

class SpinSkin : public ControlSkin {  // type 27
 public:
  SpinSkin();
  void Transfer(RecordIO& io) override;

  ImageRef vertical[4][2]{};    // normal, hover, pressed, disabled; up and down
  ImageRef horizontal[4][2]{};
};

class DateTimeSkin : public ControlSkin {  // type 31
 public:
  DateTimeSkin();
  void Transfer(RecordIO& io) override;

  GridImageRef buttons[3]{};  // normal, pressed, disabled
  ImageRef face{};
  TextEffect faceEffect;
  ImageRef disabledFace{};
  TextEffect disabledEffect;
  uint32_t disabledFill;
};

class MonthCalSkin : public ControlSkin {  // type 35
 public:
  MonthCalSkin();
  void Transfer(RecordIO& io) override;

  GridImageRef buttons[6]{};  // previous normal, pressed, disabled; next the same
  uint32_t monthBackground, titleBackground, titleText, trailingText;
};

class RebarSkin : public ControlSkin {  // type 36
 public:
  RebarSkin();
  void Transfer(RecordIO& io) override;

  GridImageRef bandImage{};
  TextEffect bandEffect;
};

class HeaderSkin : public ControlSkin {  // type 37
 public:
  HeaderSkin();
  void Transfer(RecordIO& io) override;

  TextEffect effect;
  GridImageRef item{};
};

class CaptionLabelSkin : public ElementSkin {  // type 38
 public:
  CaptionLabelSkin();
  ~CaptionLabelSkin() override;
  void Release() override;
  void Link(SkinFile& file) override;
  void Transfer(RecordIO& io) override;

  uint32_t role = 0;
  uint32_t anchors[4] = {};  // left, top, right, bottom
  uint32_t unused = 0;
  uint32_t combineMode = 2;
  FontSpec labelFont;
  TextEffect labelEffect;
  char labelText[51] = {};
  uint32_t horizontalAlign = 0, verticalAlign = 1;
  FramePiece piece;
};

class ImageListSkin : public SkinObject {  // type 39
 public:
  ImageListSkin();
  void Transfer(RecordIO& io) override;

  uint32_t cellWidth = 16, cellHeight = 16, depthIndex = 5, growth = 10;
  ImageRef picture{};
};

class AnimateSkin : public ControlSkin {  // type 40
 public:
  AnimateSkin();
  void Transfer(RecordIO& io) override;

  ImageRef background{};
};

class TooltipSkin : public FrameSkin {  // type 42
 public:
  TooltipSkin();
  void Transfer(RecordIO& io) override;

  uint32_t showDelay = 1000, hideDelay = 8000, value = 0;
  std::string text;
};

struct CustomProperty {
  uint32_t kind = 0;
  char key[31] = {};
  char defaultText[51] = {};
  std::vector<uint8_t> value;
  std::vector<char> text;  // zero-terminated when not empty
};

class CustomSkin : public ControlSkin {  // type 100
 public:
  CustomSkin();
  void Transfer(RecordIO& io) override;
  // Answers from the custom properties only, the first match in record order.
  const SkinProperty* FindProperty(const char* key) const override;
  void SetCustom(std::vector<CustomProperty> list);

  char customText[51] = {};
  std::vector<CustomProperty> custom;

 private:
  void RebuildViews();
  std::vector<SkinProperty> views_;
};

}  // namespace skin
