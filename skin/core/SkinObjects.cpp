#include "SkinObjects.h"

#include <cstring>
#include <utility>

#include "SkinFile.h"

namespace skin {

namespace {

const SkinPlatform* g_platform = nullptr;

// Upper case as the system code page (1252) has it, so keys compare as the platform compares.
unsigned char Upper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
  }
  return c;
}

// Compares a query (at most 99 characters) with a stored key of at most `capacity` bytes.
bool KeyEquals(const char* query, const char* key, size_t capacity) {
  size_t q = BoundedLength(query, 99), k = BoundedLength(key, capacity);
  if (q != k) return false;
  for (size_t i = 0; i < q; ++i)
    if (Upper(static_cast<unsigned char>(query[i])) != Upper(static_cast<unsigned char>(key[i]))) return false;
  return true;
}

void ReadChildren(SkinObject& parent, RecordIO& io) {
  uint32_t count = io.Count(static_cast<uint32_t>(parent.children.size()));
  if (io.Writing()) {
    for (auto& child : parent.children) {
      uint32_t type = child.second->type;
      io.U32(type);
      child.second->Transfer(io);
    }
    return;
  }
  if (!io.Reading()) return;
  for (uint32_t i = 0; i < count; ++i) {
    // Past the end every further entry reads as id 0, which changes nothing: stop there.
    if (io.Stream().AtEnd()) break;
    uint32_t type = io.Count(0);
    if (!IsChildType(type) || io.depth >= RecordIO::kMaxDepth) continue;
    std::unique_ptr<SkinObject> child = CreateSkinObject(type);
    ++io.depth;
    child->Transfer(io);
    --io.depth;
    parent.AddChild(std::move(child));
  }
}

const char* const kFrameEndings[9] = {"TOPLEFT",    "MIDDLETOP",   "TOPRIGHT",  "MIDDLELEFT",  "ClIENT",
                                      "MIDDLERIGHT", "BOTTOMLEFt", "BOTTOMMIDDLE", "BOTtoMRIGHT"};
const char* const kActiveFrameKeys[9] = {
    "ACTIVEFRAME.TOPLEFT",     "ACTIVEFRAME.MIDDLETOP",   "ACTIVEFRAME.TOPRIGHT",
    "ACTIVEFRAME.MIDDLELEFT",  "ACTIVEFRAME.ClIENT",      "ACTIVEFRAME.MIDDLERIGHT",
    "ACTIVEFRAME.BOTTOMLEFt",  "ACTIVEFRAME.BOTTOMMIDDLE", "ACTIVEFRAME.BOTtoMRIGHT"};
const char* const kInactiveFrameKeys[9] = {
    "DEACTIVEFRAME.TOPLEFT",    "DEACTIVEFRAME.MIDDLETOP",   "DEACTIVEFRAME.TOPRIGHT",
    "DEACTIVEFRAME.MIDDLELEFT", "DEACTIVEFRAME.ClIENT",      "DEACTIVEFRAME.MIDDLERIGHT",
    "DEACTIVEFRAME.BOTTOMLEFt", "DEACTIVEFRAME.BOTTOMMIDDLE", "DEACTIVEFRAME.BOTtoMRIGHT"};
const char* const kMenuFrameKeys[9] = {"FRAME.TOPLEFT",    "FRAME.MIDDLETOP",    "FRAME.TOPRIGHT",
                                       "FRAME.MIDDLELEFT", "FRAME.ClIENT",       "FRAME.MIDDLERIGHT",
                                       "FRAME.BOTTOMLEFt", "FRAME.BOTTOMMIDDLE", "FRAME.BOTtoMRIGHT"};

void SetRgb(uint8_t rgb[3], uint32_t color) {
  rgb[0] = static_cast<uint8_t>(color);
  rgb[1] = static_cast<uint8_t>(color >> 8);
  rgb[2] = static_cast<uint8_t>(color >> 16);
}

}  // namespace

void SetSkinPlatform(const SkinPlatform* platform) { g_platform = platform; }
const SkinPlatform* CurrentSkinPlatform() { return g_platform; }

TextEffect DefaultTextEffect() {
  TextEffect e{};
  SetRgb(e.text, SysColor(kColorBtnText));
  e.unused2 = 255;
  SetRgb(e.shadow, SysColor(kColorBtnShadow));
  e.flags = 0x8004;
  return e;
}

FontSpec DefaultFont(const char* face) {
  FontSpec f{};
  f.font.height = -12;
  f.font.weight = 400;
  f.font.outPrecision = 3;
  f.font.clipPrecision = 2;
  f.font.quality = 1;
  std::strncpy(f.font.faceName, face, sizeof f.font.faceName - 1);
  return f;
}

bool IsKnownType(uint32_t type) {
  return (type >= 1 && type <= 20) || (type >= 23 && type <= 31) || type == 33 ||
         (type >= 35 && type <= 40) || type == 42 || type == 100;
}

bool IsChildType(uint32_t type) {
  return IsKnownType(type) && type != SKIN_FRAME && type != SKIN_SHAPE && type != SKIN_PICTURE &&
         type != SKIN_PLAIN && type != SKIN_MENUBAR && type != SKIN_IMAGELIST;
}

std::unique_ptr<SkinObject> CreateSkinObject(uint32_t type) {
  switch (type) {
    case SKIN_FRAME: return std::make_unique<WindowFrameSkin>();
    case SKIN_SHAPE: return std::make_unique<ShapeSkin>();
    case SKIN_CAPTION_BUTTON: return std::make_unique<CaptionButtonSkin>();
    case SKIN_BUTTON: return std::make_unique<ButtonSkin>();
    case SKIN_CHECKBOX:
    case SKIN_RADIO: return std::make_unique<CheckSkin>(type);
    case SKIN_COMBOBOX:
    case SKIN_COMBOBOX_ALT: return std::make_unique<ComboSkin>(type);
    case SKIN_EDIT:
    case SKIN_LISTBOX:
    case SKIN_SCROLLCONTROL:
    case SKIN_LISTVIEW:
    case SKIN_RICHEDIT: return std::make_unique<EditSkin>(type);
    case SKIN_TREEVIEW: return std::make_unique<TreeSkin>();
    case SKIN_GROUPBOX: return std::make_unique<GroupBoxSkin>();
    case SKIN_PROGRESS: return std::make_unique<ProgressSkin>();
    case SKIN_SCROLLBAR: return std::make_unique<ScrollBarSkin>();
    case SKIN_TRACKBAR: return std::make_unique<TrackBarSkin>();
    case SKIN_STATIC: return std::make_unique<StaticSkin>();
    case SKIN_STATUSBAR: return std::make_unique<StatusBarSkin>();
    case SKIN_TAB: return std::make_unique<TabSkin>();
    case SKIN_POPUPMENU: return std::make_unique<PopupMenuSkin>();
    case SKIN_PICTURE: return std::make_unique<SkinPicture>();
    case SKIN_PLAIN: return std::make_unique<SkinObject>(SKIN_PLAIN);
    case SKIN_MENUBAR: return std::make_unique<MenuBarSkin>();
    case SKIN_TOOLBAR: return std::make_unique<ToolBarSkin>();
    case SKIN_CONTROLBAR: return std::make_unique<ControlSkin>(SKIN_CONTROLBAR);
    case SKIN_INFO: return std::make_unique<InfoSkin>();
    case SKIN_SPIN: return std::make_unique<SpinSkin>();
    case SKIN_DATETIME: return std::make_unique<DateTimeSkin>();
    case SKIN_MONTHCAL: return std::make_unique<MonthCalSkin>();
    case SKIN_REBAR: return std::make_unique<RebarSkin>();
    case SKIN_HEADER: return std::make_unique<HeaderSkin>();
    case SKIN_CAPTION_LABEL: return std::make_unique<CaptionLabelSkin>();
    case SKIN_IMAGELIST: return std::make_unique<ImageListSkin>();
    case SKIN_ANIMATE: return std::make_unique<AnimateSkin>();
    case SKIN_TOOLTIP: return std::make_unique<TooltipSkin>();
    case SKIN_CUSTOM: return std::make_unique<CustomSkin>();
  }
  return nullptr;
}

// ---- SkinObject

SkinObject::SkinObject(uint32_t type)
    : color1(SysColor(kColorBtnFace)), color2(SysColor(kColorWindowText)), type(type) {
  Register("NAME", PK_TEXT, name);
  Register("AUTOPLACE", PK_FLAG, autoPlace);
}

SkinObject::~SkinObject() = default;

void SkinObject::Register(const char* key, int kind, void* value, size_t size) {
  properties_.push_back(SkinProperty{kind, size, value, key, "", nullptr, false});
}

void SkinObject::SetName(const char* text) {
  std::memset(name, 0, sizeof name);
  std::strncpy(name, text, sizeof name - 1);
}

SkinObject* SkinObject::Child(const std::string& childName) const {
  auto it = children.find(childName);
  return it == children.end() ? nullptr : it->second.get();
}

bool SkinObject::AddChild(std::unique_ptr<SkinObject> child) {
  std::string key = child->Name();
  return children.emplace(std::move(key), std::move(child)).second;
}

const SkinProperty* SkinObject::FindProperty(const char* key) const {
  if (!key) return nullptr;
  for (const SkinProperty& p : properties_)
    if (KeyEquals(key, p.key, 31)) return &p;
  return nullptr;
}

void SkinObject::Release() {
  for (auto& child : children) child.second->Release();
}

void SkinObject::Link(SkinFile& file) {
  for (auto& child : children) child.second->Link(file);
}

void SkinObject::Save(MemoryStream& stream, int version) {
  RecordIO io(stream, RecordIO::kWrite, version);
  Transfer(io);
}

void SkinObject::Load(MemoryStream& stream, int version) {
  RecordIO io(stream, RecordIO::kRead, version);
  Transfer(io);
}

void SkinObject::Transfer(RecordIO& io) { TransferBase(io); }

void SkinObject::TransferBase(RecordIO& io) {
  io.Text(name, sizeof name);
  io.U32(color1);
  io.U32(color2);
  io.U32(color3);
  io.Text(tooltip, sizeof tooltip);
  io.U32(reserved);
  if (io.version >= 8) {
    io.Rect(rect);
    io.U32(autoPlace);
  }
  ReadChildren(*this, io);
}

// ---- ControlSkin

ControlSkin::ControlSkin(uint32_t type, const char* borderKey) : SkinObject(type), font(DefaultFont("MS Sans Serif")) {
  Register("FONT", PK_FONT, font);
  Register("CONTROLID", PK_INTEGER, controlId);
  Register("AUTOSKINFONT", PK_FLAG, autoSkinFont);
  if (borderKey) Register(borderKey, PK_GRID, border);
}

ControlSkin::~ControlSkin() {
  if (fontHandle && g_platform && g_platform->deleteObject) g_platform->deleteObject(fontHandle);
}

void ControlSkin::Release() { SkinObject::Release(); }

void ControlSkin::Link(SkinFile& file) {
  SkinObject::Link(file);
  if (!g_platform) return;
  if (fontHandle && g_platform->deleteObject) g_platform->deleteObject(fontHandle);
  fontHandle = g_platform->createFont ? g_platform->createFont(font.font) : nullptr;
}

void ControlSkin::TransferControl(RecordIO& io) {
  TransferBase(io);
  TransferControlPart(io);
}

void ControlSkin::TransferControlPart(RecordIO& io) {
  io.Font(font);
  io.Grid(border);
  if (io.version >= 4 && io.version < 8) {
    Rect32 old = rect;
    io.Rect(old);
    if (io.Reading()) rect = Rect32{0, 0, 60, 30};
  }
  if (io.version >= 6) {
    io.U32(controlId);
    if (io.Reading() && io.version == 6) controlId = 0;
  }
  if (io.version >= 8) io.U32(reserved2);
  if (io.version >= 10) io.U32(autoSkinFont);
}

void ControlSkin::ResetEffectToFont(TextEffect& effect) const {
  effect = DefaultTextEffect();
  SetRgb(effect.text, font.color);
}

// ---- ElementSkin

ElementSkin::ElementSkin(uint32_t type) : SkinObject(type) { rect = Rect32{1, 1, 21, 21}; }

void ElementSkin::TransferElement(RecordIO& io) {
  TransferBase(io);
  io.Image(image);
  if (io.version < 8) io.Rect(rect);
  io.U32(anchor);
  io.U32(command);
  if (io.version >= 11) {
    io.U32(visibility);
    io.Text(reservedText, sizeof reservedText);
  }
}

// ---- FrameSkin and its pieces

void FreeFramePiece(FramePiece& piece) {
  if (piece.region && g_platform && g_platform->deleteObject) g_platform->deleteObject(piece.region);
  piece.picture.reset();
  piece.region = nullptr;
  piece.width = piece.height = 0;
}

void BuildFramePiece(SkinFile& file, const ImageRef& ref, FramePiece& piece) {
  FreeFramePiece(piece);
  std::string pictureName(ref.name, BoundedLength(ref.name, sizeof ref.name));
  Picture* source = file.FindPicture(pictureName.c_str());
  if (!source) return;
  auto crop = std::make_unique<Picture>();
  if (!source->Crop(ref.source.left, ref.source.top, ref.source.right, ref.source.bottom, crop.get())) return;
  piece.width = crop->Width();
  piece.height = crop->Height();
  SkinObject* info = file.Info();
  if (info && static_cast<InfoSkin*>(info)->useTransparentColor && g_platform && g_platform->createRegion)
    piece.region = g_platform->createRegion(*crop, info->TransparentColor());
  piece.picture = std::move(crop);
}

FrameSkin::FrameSkin(uint32_t type)
    : SkinObject(type), captionFont(DefaultFont("Arial")), captionEffect(DefaultTextEffect()) {
  SetSampleBorders(10, 30, 12);
  if (type == SKIN_FRAME) {
    for (int i = 0; i < 9; ++i) {
      Register(kActiveFrameKeys[i], PK_IMAGE, parts[i]);
      Register(kInactiveFrameKeys[i], PK_IMAGE, parts[9 + i]);
    }
    Register("CAPTIONFONT", PK_FONT, captionFont);
    Register("ACTIVEFRAME.COLOR", PK_COLOR, activeColor);
    Register("DEACTIVEFRAME.COLOR", PK_COLOR, inactiveColor);
  } else if (type == SKIN_POPUPMENU) {
    for (int i = 0; i < 9; ++i) Register(kMenuFrameKeys[i], PK_IMAGE, parts[i]);
    Register("ITEM.FONT", PK_FONT, captionFont);
    Register("FRAME.COLOR", PK_COLOR, activeColor);
  }
  (void)kFrameEndings;
}

FrameSkin::~FrameSkin() {
  for (FramePiece& piece : pieces) FreeFramePiece(piece);
}

void FrameSkin::SetSampleBorders(int side, int caption, int bottom) {
  const int w = 276, h = 160;
  const int xs[4] = {0, side, w - side, w};
  const int ys[4] = {0, caption, h - bottom, h};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) sampleRects[r * 3 + c] = Rect32{xs[c], ys[r], xs[c + 1], ys[r + 1]};
  if (side == 10 && caption == 30) {
    // The caption row of the default frame is split at 86 and 173, not at the side borders.
    sampleRects[0].right = sampleRects[1].left = 86;
    sampleRects[1].right = sampleRects[2].left = 173;
  }
}

void FrameSkin::Release() {
  for (FramePiece& piece : pieces) FreeFramePiece(piece);
  SkinObject::Release();
}

void FrameSkin::Link(SkinFile& file) {
  Release();
  for (int i = 0; i < 18; ++i) BuildFramePiece(file, parts[i], pieces[i]);
  SkinObject::Link(file);
}

void FrameSkin::TransferFrame(RecordIO& io) {
  TransferBase(io);
  for (ImageRef& part : parts) io.Image(part);
  for (Rect32& r : sampleRects) io.Rect(r);
  io.Font(captionFont);
  io.U32(unused1);
  io.U32(unused2);
  io.U32(activeColor);
  io.U32(inactiveColor);
  io.U32(clientColor);
  if (io.version >= 3) {
    io.Effect(captionEffect);
    if (io.Reading() && io.version < 9) captionEffect = DefaultTextEffect();
  }
  if (io.version >= 13) {
    io.Grid(minimizedActive);
    io.Grid(minimizedInactive);
  }
}

// ---- type 20, menu bar

MenuBarSkin::MenuBarSkin()
    : ElementSkin(SKIN_MENUBAR),
      menuFont(DefaultFont("Arial")),
      normalEffect(DefaultTextEffect()),
      disabledEffect(DefaultTextEffect()),
      hotEffect(DefaultTextEffect()),
      pressedEffect(DefaultTextEffect()) {}

void MenuBarSkin::Transfer(RecordIO& io) {
  TransferElement(io);
  io.Font(menuFont);
  io.Effect(normalEffect);
  io.Effect(disabledEffect);
  io.Effect(hotEffect);
  io.U32(hotFill);
  io.Grid(hotImage);
  io.Effect(pressedEffect);
  io.U32(pressedFill);
  io.Grid(pressedImage);
  if (io.version >= 2)
    for (ImageRef& r : childButtons) io.Image(r);
  if (io.version >= 3) io.Grid(background);
}

// ---- type 1, window frame

WindowFrameSkin::WindowFrameSkin() : FrameSkin(SKIN_FRAME) {
  Register("SKINCLIENT", PK_FLAG, skinClient);
  Register("MDICLIENT", PK_IMAGE, mdiClient);
}

void WindowFrameSkin::Transfer(RecordIO& io) {
  TransferFrame(io);
  uint32_t menuType = SKIN_MENUBAR;
  io.U32(menuType);  // read and ignored: the menu bar is always type 20
  ++io.depth;
  menuBar.Transfer(io);
  --io.depth;
  if (io.version >= 6) {
    io.U32(skinClient);
    io.Image(mdiClient);
  }
}

// ---- type 2, shape

ShapeSkin::ShapeSkin() : SkinObject(SKIN_SHAPE) {}

void ShapeSkin::Transfer(RecordIO& io) {
  TransferBase(io);
  io.Image(window);
  io.Rect(rect1);
  io.Rect(rect2);
  io.U8(alpha);
  io.U32(colorKey);
  io.U32(keepStyle);
}

// ---- type 3, caption button

CaptionButtonSkin::CaptionButtonSkin() : ElementSkin(SKIN_CAPTION_BUTTON) {}

void CaptionButtonSkin::Transfer(RecordIO& io) {
  TransferElement(io);
  io.Image(hot);
  io.Image(pressed);
  io.Image(unavailable);
  io.U32(action);
  io.U32(toggle);
}

// ---- type 4, push button

ButtonSkin::ButtonSkin() : ControlSkin(SKIN_BUTTON) {
  static const char* const kKeys[6][2] = {
      {"NORMAL.IMAGE", "NORMAL.TEXTEFFECT"},         {"PRESSED.IMAGE", "PRESSED.TEXTEFFECT"},
      {"DEFAULT.IMAGE", "DEFAULT.TEXTEFFECT"},       {"FOCUSED.IMAGE", "FOCUSED.TEXTEFFECT"},
      {"HIGHLIGHTED.IMAGE", "HIGHLIGHTED.TEXTEFFECT"}, {"DISABLED.IMAGE", "DISABLED.TEXTEFFECT"}};
  for (int i = 0; i < 6; ++i) {
    states[i] = StateBlock{};
    states[i].effect = DefaultTextEffect();
    Register(kKeys[i][0], PK_GRID, states[i].image);
    Register(kKeys[i][1], PK_TEXTEFFECT, states[i].effect);
  }
}

void ButtonSkin::Transfer(RecordIO& io) {
  if (io.version >= 7)
    TransferControl(io);
  else
    TransferBase(io);
  for (StateBlock& s : states) {
    io.Grid(s.image);
    io.Effect(s.effect);
    io.Bytes(s.reserved, sizeof s.reserved);
  }
  io.Text(reservedText, sizeof reservedText);
  io.U32(reserved3);
  if (io.version < 7) io.Font(font);
  io.U32(reserved4);
  if (io.version < 7) io.U32(reserved5);
  if (io.Reading() && io.version < 9)
    for (StateBlock& s : states) ResetEffectToFont(s.effect);
}

// ---- types 5 and 11, check box and radio button

CheckSkin::CheckSkin(uint32_t type) : ControlSkin(type) {
  static const char* const kKeys[7][3] = {
      {"NORMAL.BACKGROUNDIMAGE", "NORMAL.BOXIMAGE", "NORMAL.TEXTEFFECT"},
      {"SELECTED.BACKGROUNDIMAGE", "SELECTED.BOXIMAGE", "SELECTED.TEXTEFFECT"},
      {"DISABLED.BACKGROUNDIMAGE", "DISABLED.BOXIMAGE", "DISABLED.TEXTEFFECT"},
      {"GRAYEDNORMAL.BACKGROUNDIMAGE", "GRAYEDNORMAL.BOXIMAGE", "GRAYEDNORMAL.TEXTEFFECT"},
      {"GRAYEDSELECTED.BACKGROUNDIMAGE", "GRAYEDSELECTED.BOXIMAGE", "GRAYEDSELECTED.TEXTEFFECT"},
      {"HIGHLIGHTEDNORMAL.BACKGROUNDIMAGE", "HIGHLIGHTEDNORMAL.BOXIMAGE", "HIGHLIGHTEDNORMAL.TEXTEFFECT"},
      {"HIGHLIGHTEDSELECTED.BACKGROUNDIMAGE", "HIGHLIGHTEDSELECTED.BOXIMAGE", "HIGHLIGHTEDSELECTED.TEXTEFFECT"}};
  for (int i = 0; i < 7; ++i) {
    states[i] = CheckState{};
    states[i].effect = DefaultTextEffect();
    Register(kKeys[i][0], PK_IMAGE, states[i].background, sizeof(ImageRef));
    Register(kKeys[i][1], PK_IMAGE, states[i].box);
    Register(kKeys[i][2], PK_TEXTEFFECT, states[i].effect);
  }
  Register("TRANSPARENT", PK_FLAG, transparent);
}

void CheckSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  for (CheckState& s : states) {
    io.Image(*reinterpret_cast<ImageRef*>(s.background));
    io.Bytes(s.background + sizeof(ImageRef), sizeof s.background - sizeof(ImageRef));
    io.Image(s.box);
    io.Effect(s.effect);
    io.Bytes(s.reserved, sizeof s.reserved);
  }
  io.Text(reservedText, sizeof reservedText);
  io.U32(transparent);
  if (io.Reading() && io.version < 9) {
    for (CheckState& s : states) s.effect = DefaultTextEffect();
    transparent = 0;
  }
}

// ---- types 6 and 33, combo box

ComboSkin::ComboSkin(uint32_t type)
    : ControlSkin(type),
      focusColor(SysColor(kColorHighlight)),
      disabledBackground(SysColor(kColorBtnFace)),
      disabledText(SysColor(kColorGrayText)),
      focusText(SysColor(kColorHighlightText)) {
  color1 = SysColor(kColorWindow);
  color2 = SysColor(kColorWindowText);
  Register("THUMB.NORMAL", PK_GRID, thumbs[0]);
  Register("THUMB.PRESSED", PK_GRID, thumbs[1]);
  Register("THUMB.HOVERED", PK_GRID, thumbs[2]);
  Register("THUMB.DISABLED", PK_GRID, thumbs[3]);
  Register("COLOR.FOCUS", PK_COLOR, focusColor);
  Register("COLOR.DISABLEDBACKGROUND", PK_COLOR, disabledBackground);
  Register("COLOR.DISABLEDTEXT", PK_COLOR, disabledText);
  Register("COLOR.FOCUSTEXTCOLOR", PK_COLOR, focusText);
  Register("COLOR.BACKCOLOR", PK_COLOR, color1);
  Register("COLOR.TEXTCOLOR", PK_COLOR, color2);
}

void ComboSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  for (GridImageRef& g : thumbs) io.Grid(g);
  io.U32(focusColor);
  if (io.version >= 11) {
    io.U32(disabledBackground);
    io.U32(disabledText);
    io.U32(focusText);
  } else if (io.Reading()) {
    if (io.version < 9) {
      color1 = SysColor(kColorBtnFace);
      color2 = SysColor(kColorBtnText);
    }
    disabledBackground = color1;
    disabledText = color2;
    color1 = SysColor(kColorWindow);
    color2 = SysColor(kColorWindowText);
  }
}

// ---- types 7, 9, 26, 28, 30: edit-like controls; 29 adds its items

EditSkin::EditSkin(uint32_t type) : ControlSkin(type, "BORDER") {
  color1 = SysColor(kColorWindow);
  color2 = SysColor(kColorWindowText);
  color3 = SysColor(kColorBtnFace);
  Register("BACKGROUND", PK_IMAGE, background);
  Register("BACKCOLOR", PK_COLOR, color1);
  Register("DISABLEDCOLOR", PK_COLOR, color3);
}

void EditSkin::TransferEdit(RecordIO& io) {
  TransferControl(io);
  io.Image(background);
  if (io.Reading() && io.version < 11) {
    color1 = SysColor(kColorWindow);
    color2 = SysColor(kColorWindowText);
    color3 = SysColor(kColorBtnFace);
  }
}

TreeSkin::TreeSkin()
    : EditSkin(SKIN_TREEVIEW),
      activeColor(SysColor(kColorHighlight)),
      inactiveColor(SysColor(kColorInactiveCaption)),
      activeText(DefaultTextEffect()),
      inactiveText(DefaultTextEffect()) {
  SetRgb(activeText.text, SysColor(kColorHighlightText));
  Register("ACTIVEITEM", PK_GRID, activeItem);
  Register("INACTIVEITEM", PK_GRID, inactiveItem);
  Register("ACTIVECOLOR", PK_COLOR, activeColor);
  Register("INACTIVECOLOR", PK_COLOR, inactiveColor);
  Register("ACTIVETEXT", PK_TEXTEFFECT, activeText);
  Register("INACTIVETEXT", PK_TEXTEFFECT, inactiveText);
}

void TreeSkin::Transfer(RecordIO& io) {
  TransferEdit(io);
  if (io.version >= 12) {
    io.Grid(activeItem);
    io.Grid(inactiveItem);
    io.U32(activeColor);
    io.U32(inactiveColor);
    io.Effect(activeText);
    io.Effect(inactiveText);
  }
}

// ---- type 8, group box

GroupBoxSkin::GroupBoxSkin()
    : ControlSkin(SKIN_GROUPBOX, "FRAMEIMAGE"), captionColor(SysColor(kColorBtnFace)), effect(DefaultTextEffect()) {
  Register("CAPTIONIMAGE", PK_GRID, captionImage);
  Register("CAPTIONCOLOR", PK_COLOR, captionColor);
  Register("TEXTEFFECT", PK_TEXTEFFECT, effect);
  Register("TRANSPARENT", PK_FLAG, transparent);
}

void GroupBoxSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  io.Grid(captionImage);
  io.U32(captionColor);
  io.Effect(effect);
  io.U32(transparent);
  if (io.Reading() && io.version < 9) {
    effect = DefaultTextEffect();
    transparent = 0;
  }
}

// ---- type 10, progress bar

ProgressSkin::ProgressSkin() : ControlSkin(SKIN_PROGRESS, "BACKGROUND") {
  Register("PROGRESSIMAGE", PK_GRID, progressImage);
  Register("STYLE", PK_FLAG, style);
  Register("BACKCOLOR", PK_COLOR, color1);
  Register("PROGRESSCOLOR", PK_COLOR, color2);
}

void ProgressSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  io.Grid(progressImage);
  io.U32(reserved3);
  io.U32(style);
  io.U32(reserved4);
}

// ---- type 12, scroll bar

ScrollBarSkin::ScrollBarSkin() : ControlSkin(SKIN_SCROLLBAR) {
  static const char* const kKeys[2][4][4] = {
      {{"NORMAL.ARROW1", "NORMAL.ARROW2", "NORMAL.SCROLLBAR", "NORMAL.THUMB"},
       {"PRESSED.ARROW1", "PRESSED.ARROW2", "PRESSED.SCROLLBAR", "PRESSED.THUMB"},
       {"HIGHLIGHTED.ARROW1", "HIGHLIGHTED.ARROW2", "HIGHLIGHTED.SCROLLBAR", "HIGHLIGHTED.THUMB"},
       {"DISABLED.ARROW1", "DISABLED.ARROW2", "DISABLED.SCROLLBAR", "DISABLED.THUMB"}},
      {{"VNORMAL.ARROW1", "VNORMAL.ARROW2", "VNORMAL.SCROLLBAR", "VNORMAL.THUMB"},
       {"VPRESSED.ARROW1", "VPRESSED.ARROW2", "VPRESSED.SCROLLBAR", "VPRESSED.THUMB"},
       {"VHIGHLIGHTED.ARROW1", "VHIGHLIGHTED.ARROW2", "VHIGHLIGHTED.SCROLLBAR", "VHIGHLIGHTED.THUMB"},
       {"VDISABLED.ARROW1", "VDISABLED.ARROW2", "VDISABLED.SCROLLBAR", "VDISABLED.THUMB"}}};
  for (int bar = 0; bar < 2; ++bar) {
    ScrollBlock* blocks = bar ? vertical : horizontal;
    for (int i = 0; i < 4; ++i) {
      Register(kKeys[bar][i][0], PK_IMAGE, blocks[i].arrow1);
      Register(kKeys[bar][i][1], PK_IMAGE, blocks[i].arrow2);
      Register(kKeys[bar][i][2], PK_GRID, blocks[i].track);
      Register(kKeys[bar][i][3], PK_GRID, blocks[i].thumb);
    }
  }
  Register("GRIPPER", PK_IMAGE, gripper);
}

void ScrollBarSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  auto blocks = [&io](ScrollBlock* b) {
    for (int i = 0; i < 4; ++i) {
      io.Image(b[i].arrow1);
      io.Image(b[i].arrow2);
      io.Grid(b[i].track);
      io.Grid(b[i].thumb);
    }
  };
  blocks(horizontal);
  io.Image(gripper);
  for (uint32_t& v : preview) io.U32(v);
  if (io.version >= 12) blocks(vertical);
}

// ---- type 13, track bar

TrackBarSkin::TrackBarSkin() : ControlSkin(SKIN_TRACKBAR, "BACKGROUND") {
  Register("THUMB.HORIZONTAL", PK_GRID, thumbHorizontal);
  Register("CHANNEL", PK_GRID, channel);
  Register("TRANSPARENT", PK_FLAG, transparent);
  Register("THUMB.VERTICAL", PK_GRID, thumbVertical);
}

void TrackBarSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  io.Grid(thumbHorizontal);
  io.U32(reserved3);
  for (uint32_t& v : reserved4) io.U32(v);
  io.Grid(channel);
  if (io.version >= 9) {
    io.U32(transparent);
    io.Grid(thumbVertical);
  }
}

// ---- type 14, static

StaticSkin::StaticSkin() : ControlSkin(SKIN_STATIC, "BACKIMAGE"), effect(DefaultTextEffect()) {
  Register("TRANSPARENT", PK_FLAG, transparent);
  Register("TEXTEFFECT", PK_TEXTEFFECT, effect);
  Register("BACKCOLOR", PK_COLOR, color1);
}

void StaticSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  io.U32(transparent);
  io.Effect(effect);
  io.Text(reservedText, sizeof reservedText);
  if (io.Reading() && io.version < 9) ResetEffectToFont(effect);
}

// ---- type 15, status bar

StatusBarSkin::StatusBarSkin() : ControlSkin(SKIN_STATUSBAR, "BACKIMAGE") {
  Register("ITEM.ITEMIMAGE", PK_GRID, itemImage);
  Register("ITEM.FONT", PK_FONT, font);
}

void StatusBarSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  io.Grid(itemImage);
  io.Image(second);
}

// ---- type 16, tab control

TabSkin::TabSkin() : ControlSkin(SKIN_TAB, "BACKGROUND") {
  static const char* const kKeys[4][2] = {{"NORMAL.TABIMAGE", "NORMAL.TEXTEFFECT"},
                                          {"PRESSED.TABIMAGE", "PRESSED.TEXTEFFECT"},
                                          {"DISABLED.TABIMAGE", "DISABLED.TEXTEFFECT"},
                                          {"HOVERED.TABIMAGE", "HOVERED.TEXTEFFECT"}};
  for (int i = 0; i < 4; ++i) {
    states[i] = StateBlock{};
    states[i].effect = DefaultTextEffect();
    Register(kKeys[i][0], PK_GRID, states[i].image);
    Register(kKeys[i][1], PK_TEXTEFFECT, states[i].effect);
  }
  Register("FRAME", PK_GRID, frame);
  Register("TRANSpARENT", PK_FLAG, transparent);
}

void TabSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  for (StateBlock& s : states) {
    io.Grid(s.image);
    io.Effect(s.effect);
    io.Bytes(s.reserved, sizeof s.reserved);
  }
  io.Grid(frame);
  if (io.version >= 9) io.U32(transparent);
}

// ---- type 17, popup menu

PopupMenuSkin::PopupMenuSkin() : FrameSkin(SKIN_POPUPMENU) {
  SetSampleBorders(4, 4, 4);
  activeColor = 0xE2B61D;
  Register("ITEM.ACTIVECOLOR", PK_COLOR, activeItemColor);
  Register("ITEM.SEPARATORCOLOR", PK_COLOR, separatorColor);
  Register("ITEM.SEPARATORIMAGE", PK_GRID, separatorImage);
  Register("ITEM.ACTIVEIMAGE", PK_GRID, activeImage);
  Register("ITEM.SUBMENU", PK_IMAGE, submenu);
  Register("ITEM.CHECKIMAGE", PK_IMAGE, checkImage);
}

void PopupMenuSkin::Transfer(RecordIO& io) {
  TransferFrame(io);
  for (Rect32& r : rects) io.Rect(r);
  io.U32(activeItemColor);
  io.U32(separatorColor);
  io.Grid(separatorImage);
  io.Grid(activeImage);
  io.Image(submenu);
  if (io.version >= 3) io.Image(checkImage);
}

// ---- type 18, picture

SkinPicture::SkinPicture() : SkinObject(SKIN_PICTURE) {}

SkinPicture::~SkinPicture() {
  if (bitmap && g_platform && g_platform->deleteObject) g_platform->deleteObject(bitmap);
}

bool SkinPicture::SetEncoded(std::vector<uint8_t> bytes, uint32_t formatId) {
  encoded = std::move(bytes);
  format = formatId;
  picture.Clear();
  return encoded.empty() || picture.Decode(encoded.data(), encoded.size(), static_cast<int>(format));
}

void SkinPicture::Transfer(RecordIO& io) {
  TransferBase(io);
  if (io.Filling()) {
    // A small true picture, so that written and read pictures can be compared by pixel.
    Picture p;
    p.Create(2 + io.Random() % 3, 1 + io.Random() % 3, 24, kFormatBmp);
    for (int y = 0; y < p.Height(); ++y)
      for (int x = 0; x < p.Width(); ++x) p.SetPixelValue(x, y, io.Random() & 0xFFFFFF);
    SetEncoded(EncodeBmp(p), kFormatBmp);
    return;
  }
  uint32_t size = io.Count(static_cast<uint32_t>(encoded.size()));
  io.U32(format);
  if (io.Writing()) {
    if (size) io.Bytes(encoded.data(), size);
    return;
  }
  // Only what the stream holds is taken; a size beyond it cannot make a larger buffer.
  MemoryStream& s = io.Stream();
  size_t available = size < s.Remaining() ? size : s.Remaining();
  encoded.assign(s.Data() + s.Position(), s.Data() + s.Position() + available);
  s.Seek(static_cast<long long>(size), 1);
  picture.Clear();
  if (size) picture.Decode(encoded.data(), encoded.size(), static_cast<int>(format));
}

// ---- type 23, tool bar

ToolBarSkin::ToolBarSkin() : ControlSkin(SKIN_TOOLBAR) {}

void ToolBarSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  for (GridImageRef& g : buttons) io.Grid(g);
}

// ---- type 25, skin information

InfoSkin::InfoSkin() : SkinObject(SKIN_INFO) {
  color3 = 0xFF00FF;
  Register("AUTHOR", PK_TEXT, author);
  Register("DESCRIPTION", PK_TEXT, description);
  Register("APPLICATION", PK_TEXT, application);
  Register("USETRANSPARENTCOLOR", PK_FLAG, useTransparentColor);
  Register("EMAIL", PK_TEXT, email);
  Register("HOMEPAGE", PK_TEXT, homepage);
}

void InfoSkin::Transfer(RecordIO& io) {
  TransferBase(io);
  io.Text(author, sizeof author);
  io.Text(description, sizeof description);
  io.Text(application, sizeof application);
  io.U32(useTransparentColor);
  if (io.version >= 4) {
    io.Text(email, sizeof email);
    io.Text(homepage, sizeof homepage);
  }
}

// ---- type 27, spin

SpinSkin::SpinSkin() : ControlSkin(SKIN_SPIN) {
  static const char* const kKeys[2][4][2] = {
      {{"VERTICAL.NORMAL.UP", "VERTICAL.NORMAL.DOWN"},
       {"VERTICAL.HOVER.UP", "VERTICAL.HOVER.DOWN"},
       {"VERTICAL.PRESSED.UP", "VERTICAL.PRESSED.DOWN"},
       {"VERTICAL.DISABLED.UP", "VERTICAL.DISABLED.DOWN"}},
      {{"HORIZONTAL.NORMAL.UP", "HORIZONTAL.NORMAL.DOWN"},
       {"HORIZONTAL.HOVER.UP", "HORIZONTAL.HOVER.DOWN"},
       {"HORIZONTAL.PRESSED.UP", "HORIZONTAL.PRESSED.DOWN"},
       {"HORIZONTAL.DISABLED.UP", "HORIZONTAL.DISABLED.DOWN"}}};
  for (int d = 0; d < 2; ++d)
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 2; ++j) Register(kKeys[d][i][j], PK_IMAGE, d ? horizontal[i][j] : vertical[i][j]);
}

void SpinSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  for (auto& block : vertical)
    for (ImageRef& r : block) io.Image(r);
  if (io.version >= 13)
    for (auto& block : horizontal)
      for (ImageRef& r : block) io.Image(r);
}

// ---- type 31, date picker

DateTimeSkin::DateTimeSkin()
    : ControlSkin(SKIN_DATETIME),
      faceEffect(DefaultTextEffect()),
      disabledEffect(DefaultTextEffect()),
      disabledFill(SysColor(kColorBtnFace)) {
  color1 = SysColor(kColorWindow);
}

void DateTimeSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  for (GridImageRef& g : buttons) io.Grid(g);
  io.Image(face);
  io.Effect(faceEffect);
  io.Image(disabledFace);
  io.Effect(disabledEffect);
  io.U32(disabledFill);
}

// ---- type 35, month calendar

MonthCalSkin::MonthCalSkin()
    : ControlSkin(SKIN_MONTHCAL),
      monthBackground(SysColor(kColorWindow)),
      titleBackground(SysColor(kColorActiveCaption)),
      titleText(SysColor(kColorCaptionText)),
      trailingText(SysColor(kColorGrayText)) {
  color1 = SysColor(kColorWindow);
  color2 = SysColor(kColorWindowText);
}

void MonthCalSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  for (GridImageRef& g : buttons) io.Grid(g);
  io.U32(monthBackground);
  io.U32(titleBackground);
  io.U32(titleText);
  io.U32(trailingText);
}

// ---- type 36, rebar

RebarSkin::RebarSkin() : ControlSkin(SKIN_REBAR, "BACKGROUND"), bandEffect(DefaultTextEffect()) {
  Register("BANDIMAGE", PK_GRID, bandImage);
}

void RebarSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  io.Grid(bandImage);
  io.Effect(bandEffect);
}

// ---- type 37, header

HeaderSkin::HeaderSkin() : ControlSkin(SKIN_HEADER, "BACKGROUND"), effect(DefaultTextEffect()) {
  Register("TEXTEFFECT", PK_TEXTEFFECT, effect);
  Register("ITEM", PK_GRID, item);
}

void HeaderSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  io.Effect(effect);
  io.Grid(item);
}

// ---- type 38, caption label

CaptionLabelSkin::CaptionLabelSkin()
    : ElementSkin(SKIN_CAPTION_LABEL), labelFont(DefaultFont("MS Sans Serif")), labelEffect(DefaultTextEffect()) {}

CaptionLabelSkin::~CaptionLabelSkin() { FreeFramePiece(piece); }

void CaptionLabelSkin::Release() {
  FreeFramePiece(piece);
  ElementSkin::Release();
}

void CaptionLabelSkin::Link(SkinFile& file) {
  Release();
  BuildFramePiece(file, image, piece);
  ElementSkin::Link(file);
}

void CaptionLabelSkin::Transfer(RecordIO& io) {
  TransferElement(io);
  io.U32(role);
  for (uint32_t& a : anchors) io.U32(a);
  io.U32(unused);
  io.U32(combineMode);
  io.Font(labelFont);
  io.Effect(labelEffect);
  io.Text(labelText, sizeof labelText);
  io.U32(horizontalAlign);
  io.U32(verticalAlign);
}

// ---- type 39, image list

ImageListSkin::ImageListSkin() : SkinObject(SKIN_IMAGELIST) {}

void ImageListSkin::Transfer(RecordIO& io) {
  TransferBase(io);
  io.U32(cellWidth);
  io.U32(cellHeight);
  io.U32(depthIndex);
  io.U32(growth);
  io.Image(picture);
}

// ---- type 40, animation

AnimateSkin::AnimateSkin() : ControlSkin(SKIN_ANIMATE, "BORDER") { Register("BACKGROUND", PK_IMAGE, background); }

void AnimateSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  io.Image(background);
}

// ---- type 42, tooltip

TooltipSkin::TooltipSkin() : FrameSkin(SKIN_TOOLTIP) {
  SetSampleBorders(1, 1, 1);
  clientColor = SysColor(kColorInfoBk);
  activeColor = inactiveColor = 0;
}

void TooltipSkin::Transfer(RecordIO& io) {
  TransferFrame(io);
  io.U32(showDelay);
  io.U32(hideDelay);
  io.U32(value);
  if (io.Filling()) {
    text.assign(io.Random() % 40, 'x');
    for (char& c : text) c = static_cast<char>('a' + io.Random() % 26);
    return;
  }
  uint32_t length = io.Count(text.empty() ? 0 : static_cast<uint32_t>(text.size() + 1));
  if (io.Writing()) {
    if (length) io.Bytes(const_cast<char*>(text.c_str()), length);  // with its terminator
    return;
  }
  MemoryStream& s = io.Stream();
  size_t available = length < s.Remaining() ? length : s.Remaining();
  const char* p = reinterpret_cast<const char*>(s.Data() + s.Position());
  text.assign(p, BoundedLength(p, available));
  s.Seek(static_cast<long long>(length), 1);
}

// ---- type 100, custom properties

CustomSkin::CustomSkin() : ControlSkin(SKIN_CUSTOM) {}

void CustomSkin::SetCustom(std::vector<CustomProperty> list) {
  custom = std::move(list);
  RebuildViews();
}

void CustomSkin::RebuildViews() {
  views_.clear();
  for (CustomProperty& p : custom)
    views_.push_back(SkinProperty{static_cast<int>(p.kind), p.value.size(), p.value.empty() ? nullptr : p.value.data(),
                                  p.key, p.defaultText, p.text.empty() ? nullptr : p.text.data(), true});
}

const SkinProperty* CustomSkin::FindProperty(const char* key) const {
  if (!key) return nullptr;
  for (const SkinProperty& p : views_)
    if (KeyEquals(key, p.key, sizeof(CustomProperty::key))) return &p;
  return nullptr;
}

void CustomSkin::Transfer(RecordIO& io) {
  TransferControl(io);
  io.Text(customText, sizeof customText);
  if (io.Filling()) {
    std::vector<CustomProperty> list(1 + io.Random() % 3);
    for (CustomProperty& p : list) {
      p.kind = io.Random() % 10;
      io.Text(p.key, sizeof p.key);
      io.Text(p.defaultText, sizeof p.defaultText);
      p.value.resize(io.Random() % 9);
      io.Bytes(p.value.data(), p.value.size());
      p.text.assign(io.Random() % 6, 'q');
      if (!p.text.empty()) p.text.back() = 0;
    }
    SetCustom(std::move(list));
    return;
  }
  uint32_t count = io.Count(static_cast<uint32_t>(custom.size()));
  if (io.Writing()) {
    for (CustomProperty& p : custom) {
      io.U32(p.kind);
      io.Text(p.key, sizeof p.key);
      io.Text(p.defaultText, sizeof p.defaultText);
      io.Count(static_cast<uint32_t>(p.value.size()));
      io.Bytes(p.value.data(), p.value.size());
      io.Count(static_cast<uint32_t>(p.text.size()));
      io.Bytes(p.text.data(), p.text.size());
    }
    return;
  }
  MemoryStream& s = io.Stream();
  // A buffer larger than what the stream still holds is one that cannot be filled: the bytes
  // are passed over as for a failed allocation.
  auto take = [&s](uint32_t n, auto& buffer) {
    if (n <= s.Remaining()) {
      buffer.resize(n);
      s.Read(buffer.data(), n);
    } else {
      buffer.clear();
      s.Seek(0, 2);
    }
  };
  std::vector<CustomProperty> list;
  for (uint32_t i = 0; i < count; ++i) {
    // Entries past the end are all alike and empty; one of them stands for the rest.
    bool atEnd = s.AtEnd();
    CustomProperty p;
    io.U32(p.kind);
    io.Text(p.key, sizeof p.key);
    io.Text(p.defaultText, sizeof p.defaultText);
    take(io.Count(0), p.value);
    take(io.Count(0), p.text);
    if (!p.text.empty()) p.text.back() = 0;
    list.push_back(std::move(p));
    if (atEnd) break;
  }
  SetCustom(std::move(list));
}

}  // namespace skin
