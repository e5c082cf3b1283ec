#include "SkinFile.h"

#include <lzo/lzo1x.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace skin {

const char kSkinMagic[20] = "VENEERKIT_SKIN_FILE";

namespace {

std::atomic<uint16_t> g_format{static_cast<uint16_t>(kFormatKind | (kFormatVersion << 8))};

// LZO1X expands at most about 255 times (a run byte per 255 output bytes); a declared length
// beyond that, or beyond what any skin needs, cannot be genuine and is not allocated.
constexpr uint64_t kMaxBody = 256ull * 1024 * 1024;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

template <class Map, class Ptr>
void Store(Map& map, Ptr object) {
  std::string key = object->Name();
  map[key] = std::move(object);  // a repeated name replaces and destroys the earlier one
}

SkinObject* SearchChildren(SkinObject& parent, const std::string& name) {
  if (SkinObject* hit = parent.Child(name)) return hit;
  for (auto& child : parent.children)
    if (SkinObject* hit = SearchChildren(*child.second, name)) return hit;
  return nullptr;
}

}  // namespace

SkinFormat CurrentFormat() {
  uint16_t v = g_format.load();
  return SkinFormat{static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>(v >> 8)};
}

void SetCurrentFormat(SkinFormat format) { g_format.store(static_cast<uint16_t>(format.kind | (format.version << 8))); }

namespace {
// The body in one heap block of exactly the declared length, or null.
uint8_t* Decompress(const uint8_t* file, size_t n, size_t& length) {
  length = 0;
  if (lzo_init() != LZO_E_OK || !file || n < 4) return nullptr;
  uint32_t declared;
  std::memcpy(&declared, file, 4);
  uint64_t compressed = n - 4;
  if (declared > kMaxBody || declared > compressed * 256 + 64) return nullptr;
  uint8_t* block = static_cast<uint8_t*>(std::malloc(declared ? declared : 1));
  if (!block) return nullptr;
  lzo_uint out = declared;
  int rc = lzo1x_decompress_safe(file + 4, static_cast<lzo_uint>(compressed), block, &out, nullptr);
  if (rc != LZO_E_OK || out != declared) {
    std::free(block);
    return nullptr;
  }
  length = declared;
  return block;
}
}  // namespace

bool DecompressSkinBody(const uint8_t* file, size_t n, std::vector<uint8_t>& body) {
  size_t length;
  uint8_t* block = Decompress(file, n, length);
  body.assign(block, block ? block + length : block);
  std::free(block);
  return block != nullptr;
}

bool CompressSkinBody(const std::vector<uint8_t>& body, std::vector<uint8_t>& file) {
  file.clear();
  if (lzo_init() != LZO_E_OK || (static_cast<uint64_t>(body.size()) >> 32) != 0) return false;
  std::vector<uint8_t> work(LZO1X_1_MEM_COMPRESS);
  file.resize(4 + body.size() + body.size() / 16 + 64 + 3);
  uint32_t length = static_cast<uint32_t>(body.size());
  std::memcpy(file.data(), &length, 4);
  lzo_uint out = 0;
  if (lzo1x_1_compress(body.data(), body.size(), file.data() + 4, &out, work.data()) != LZO_E_OK) {
    file.clear();
    return false;
  }
  file.resize(4 + out);
  return true;
}

SkinFile::SkinFile() = default;

SkinFile::~SkinFile() { Clear(); }

void SkinFile::Clear() {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  objects_.clear();
  pictures_.clear();
  plain_.clear();
  kind_ = kFormatKind;
  version_ = kFormatVersion;
  SetCurrentFormat(SkinFormat{kFormatKind, kFormatVersion});
}

bool SkinFile::Fail(int code) {
  code_ = code;
  return false;
}

bool SkinFile::LoadFromFile(const char* path) {
  MemoryStream raw;
  if (!raw.LoadFile(path)) {
    Clear();
    return Fail(SKERR_FILE_READ);
  }
  return LoadFromStream(raw);
}

bool SkinFile::LoadFromBytes(const void* bytes, size_t n) {
  MemoryStream raw(bytes, n);
  return LoadFromStream(raw);
}

bool SkinFile::LoadFromStream(MemoryStream& stream) {
  Clear();
  std::lock_guard<std::recursive_mutex> hold(lock_);
  times_ = LoadTimes{};
  unread_ = 0;
  auto start = std::chrono::steady_clock::now();
  size_t length;
  uint8_t* block = Decompress(stream.Data(), stream.Size(), length);
  if (!block) return Fail(SKERR_DECOMPRESS);
  MemoryStream body(MemoryStream::kGrowthStep);
  body.Adopt(block, length);
  times_.decompress = Seconds(start);

  uint8_t header[kHeaderSize];
  if (body.Read(header, kHeaderSize) < kHeaderSize) return Fail(SKERR_SHORT_HEADER);
  if (std::memcmp(header, kSkinMagic, 19) != 0 || header[20] != kFormatKind) return Fail(SKERR_BAD_HEADER);
  kind_ = header[20];
  version_ = header[21];
  SetCurrentFormat(SkinFormat{kind_, version_});
  const int version = CurrentFormat().version;
  uint32_t count;
  std::memcpy(&count, header + 176, 4);

  start = std::chrono::steady_clock::now();
  RecordIO io(body, RecordIO::kRead, version);
  for (uint32_t i = 0; i < count; ++i) {
    // Past the end every id reads as 0, an unknown id that consumes nothing: nothing more can come.
    if (body.AtEnd()) break;
    uint32_t type = io.Count(0);
    std::unique_ptr<SkinObject> object = CreateSkinObject(type);
    if (!object) continue;
    object->Transfer(io);
    Store(objects_, std::move(object));
  }
  times_.records = Seconds(start);

  start = std::chrono::steady_clock::now();
  uint32_t pictures = io.Count(0);
  for (uint32_t i = 0; i < pictures; ++i) {
    // Past the end each record is the same empty picture; one of them stands for the rest.
    bool atEnd = body.AtEnd();
    io.Count(0);  // the type id, 18
    auto picture = std::make_unique<SkinPicture>();
    picture->Transfer(io);
    Store(pictures_, std::move(picture));
    if (atEnd) break;
  }
  times_.pictures = Seconds(start);

  start = std::chrono::steady_clock::now();
  uint32_t plain = io.Count(0);
  for (uint32_t i = 0; i < plain; ++i) {
    bool atEnd = body.AtEnd();
    io.Count(0);  // the type id, 19
    auto object = std::make_unique<SkinObject>(SKIN_PLAIN);
    object->Transfer(io);
    Store(plain_, std::move(object));
    if (atEnd) break;
  }
  unread_ = body.Remaining();
  LinkAll();
  times_.records += Seconds(start);
  code_ = SKERR_NONE;
  return true;
}

void SkinFile::LinkAll() {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  for (auto& entry : objects_) entry.second->Link(*this);
}

SkinObject* SkinFile::FindObject(const char* name) {
  if (!name) return nullptr;
  std::lock_guard<std::recursive_mutex> hold(lock_);
  std::string key(name);
  auto it = objects_.find(key);
  if (it != objects_.end()) return it->second.get();
  for (auto& entry : objects_)
    if (SkinObject* hit = SearchChildren(*entry.second, key)) return hit;
  auto pic = pictures_.find(key);
  if (pic != pictures_.end()) return pic->second.get();
  auto p = plain_.find(key);
  return p != plain_.end() ? p->second.get() : nullptr;
}

SkinObject* SkinFile::FindFirstOfType(uint32_t type) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  if (type == SKIN_CONTROLBAR) type = SKIN_TOOLBAR;
  for (auto& entry : objects_)
    if (entry.second->type == type) return entry.second.get();
  return nullptr;
}

SkinPicture* SkinFile::FindSkinPicture(const char* name) {
  if (!name) return nullptr;
  std::lock_guard<std::recursive_mutex> hold(lock_);
  auto it = pictures_.find(name);
  return it == pictures_.end() ? nullptr : it->second.get();
}

Picture* SkinFile::FindPicture(const char* name) {
  SkinPicture* p = FindSkinPicture(name);
  return p ? &p->picture : nullptr;
}

SkinObject* SkinFile::Info() { return FindFirstOfType(SKIN_INFO); }

void SkinFile::AddObject(std::unique_ptr<SkinObject> object) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  if (object) Store(objects_, std::move(object));
}

void SkinFile::AddPicture(std::unique_ptr<SkinPicture> picture) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  if (picture) Store(pictures_, std::move(picture));
}

void SkinFile::AddPlain(std::unique_ptr<SkinObject> object) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  if (object) Store(plain_, std::move(object));
}

bool SkinFile::SaveBody(std::vector<uint8_t>& out, uint8_t version, const char* maker) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  MemoryStream s;
  uint8_t header[kHeaderSize] = {};
  std::memcpy(header, kSkinMagic, sizeof kSkinMagic);
  header[20] = kFormatKind;
  header[21] = version;
  if (maker) std::strncpy(reinterpret_cast<char*>(header + 22), maker, 153);
  uint32_t count = static_cast<uint32_t>(objects_.size());
  std::memcpy(header + 176, &count, 4);
  s.Write(header, sizeof header);
  RecordIO io(s, RecordIO::kWrite, version);
  for (auto& entry : objects_) {
    uint32_t type = entry.second->type;
    io.U32(type);
    entry.second->Transfer(io);
  }
  io.Count(static_cast<uint32_t>(pictures_.size()));
  for (auto& entry : pictures_) {
    io.Count(SKIN_PICTURE);
    entry.second->Transfer(io);
  }
  io.Count(static_cast<uint32_t>(plain_.size()));
  for (auto& entry : plain_) {
    io.Count(SKIN_PLAIN);
    entry.second->Transfer(io);
  }
  out.assign(s.Data(), s.Data() + s.Size());
  return s.Size() >= kHeaderSize;
}

bool SkinFile::Save(std::vector<uint8_t>& file, uint8_t version, const char* maker) {
  std::vector<uint8_t> body;
  return SaveBody(body, version, maker) && CompressSkinBody(body, file);
}

bool SkinFile::SaveToFile(const char* path, uint8_t version, const char* maker) {
  std::vector<uint8_t> file;
  if (!Save(file, version, maker)) return false;
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace skin
