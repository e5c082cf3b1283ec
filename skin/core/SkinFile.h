#pragma once
// A loaded skin: the object, picture and plain maps (names in byte order), the format it was
// written in, and the result code of its last load. Reading and writing of the outer format:
//
//   uint32 L | LZO1X-1 body of L bytes: header (188), objects, pictures, plain objects
//
// Writing (for skin compilers): build objects with CreateSkinObject, fill their fields, add
// them with AddObject / AddPicture / AddPlain, then Save(bytes, version) gives a file that
// LoadFromStream reads back into the same objects, field by field.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "MemoryStream.h"
#include "SkinObjects.h"

namespace skin {

// Result codes of a load, as the engine interface reports them.
enum SkinLoadError {
  SKERR_NONE = 0,
  SKERR_FILE_READ = 4,
  SKERR_DECOMPRESS = 5,
  SKERR_SHORT_HEADER = 6,
  SKERR_BAD_HEADER = 7,
};

constexpr uint8_t kFormatKind = 1;
constexpr uint8_t kFormatVersion = 13;
constexpr size_t kHeaderSize = 188;
extern const char kSkinMagic[20];  // "VENEERKIT_SKIN_FILE"

struct SkinFormat {
  uint8_t kind;
  uint8_t version;
};
// The process-wide format that record readers and drawing code consult.
SkinFormat CurrentFormat();
void SetCurrentFormat(SkinFormat format);

class SkinFile {
 public:
  SkinFile();
  ~SkinFile();
  SkinFile(const SkinFile&) = delete;
  SkinFile& operator=(const SkinFile&) = delete;

  void Clear();
  bool LoadFromStream(MemoryStream& stream);
  bool LoadFromFile(const char* path);
  bool LoadFromBytes(const void* bytes, size_t n);

  SkinObject* FindObject(const char* name);
  SkinObject* FindFirstOfType(uint32_t type);
  Picture* FindPicture(const char* name);
  SkinPicture* FindSkinPicture(const char* name);
  // The first type-25 object in name order, or null.
  SkinObject* Info();

  // Adds under the object's name, replacing (and destroying) an object of the same name.
  void AddObject(std::unique_ptr<SkinObject> object);
  void AddPicture(std::unique_ptr<SkinPicture> picture);
  void AddPlain(std::unique_ptr<SkinObject> object);

  // The uncompressed body at a format version, and the whole file (length and LZO1X-1 body).
  bool SaveBody(std::vector<uint8_t>& body, uint8_t version = kFormatVersion, const char* maker = "");
  bool Save(std::vector<uint8_t>& file, uint8_t version = kFormatVersion, const char* maker = "");
  bool SaveToFile(const char* path, uint8_t version = kFormatVersion, const char* maker = "");

  const SkinObjectMap& Objects() const { return objects_; }
  const std::map<std::string, std::unique_ptr<SkinPicture>>& Pictures() const { return pictures_; }
  const SkinObjectMap& PlainObjects() const { return plain_; }
  uint8_t Kind() const { return kind_; }
  uint8_t Version() const { return version_; }
  int ResultCode() const { return code_; }
  // Bytes of the body left unread by the last load (0 when every byte was consumed).
  size_t UnreadBytes() const { return unread_; }

  // Split of the last load's time, for the benchmark (seconds).
  struct LoadTimes {
    double decompress = 0, records = 0, pictures = 0;
  };
  const LoadTimes& Times() const { return times_; }

 private:
  bool Fail(int code);
  void LinkAll();

  std::recursive_mutex lock_;
  SkinObjectMap objects_;
  std::map<std::string, std::unique_ptr<SkinPicture>> pictures_;
  SkinObjectMap plain_;
  uint8_t kind_ = kFormatKind;
  uint8_t version_ = kFormatVersion;
  int code_ = SKERR_NONE;
  size_t unread_ = 0;
  LoadTimes times_;
};

// The LZO1X-1 outer format of a body, and its reverse (false on any fault).
bool CompressSkinBody(const std::vector<uint8_t>& body, std::vector<uint8_t>& file);
bool DecompressSkinBody(const uint8_t* file, size_t n, std::vector<uint8_t>& body);

}  // namespace skin
